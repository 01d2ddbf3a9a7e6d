"""End-to-end tests of the loader and the engine's injection against the live suite:
the stand-in shell with the installed loader, driven by messages and real mouse
input, observed through the shell's control window, the registry and files."""

import os
import re
import shutil
import subprocess
import tempfile
import time
import unittest

import harness as h

LOADER_CLASS = "FxLoader_Brantix1"
HELPER_CLASS = "FxHelperWClass"
SETTINGS = r"HKCU\Software\Brantix\Quorvel Desktop Enhancements"
METRICS = r"HKCU\Control Panel\desktop\WindowMetrics"
FXCMD_ANI_STOP = 4448
FXCMD_RELOAD = 4451
FXLM_SHORTCUT_ARROWS = 1113
FXLM_ANI_STATE = 1115
TRAY_TIP_PREFIX_ZH = "显示自定义在:"

suite = None


def setUpModule():
    global suite
    suite = h.LiveSuite(shell_only=False)
    suite.__enter__()


def tearDownModule():
    suite.__exit__(None, None, None)


def dist(*parts):
    return h.build_path("dist", *parts)


def procedures(kind):
    return [h.control(kind, t) for t in (0, 1, 2)]


def replaced():
    return all(c != o for c, o in zip(procedures(h.CTL_CURRENT_PROC), procedures(h.CTL_ORIGINAL_PROC)))


def restored():
    return procedures(h.CTL_CURRENT_PROC) == procedures(h.CTL_ORIGINAL_PROC)


def loader_pid():
    text = h.read_text(os.path.join(h.env()["FX_WINE_DIR"], "suite", "loader.pid")).strip()
    return int(text) if text else None


def pid_alive(pid):
    try:
        os.kill(pid, 0)
        return True
    except OSError:
        return False


def close_loader():
    loader = h.find(LOADER_CLASS)
    pid = loader_pid()
    if loader:
        h.post(loader, h.WM_CLOSE)
    h.wait_until(lambda: not h.find(LOADER_CLASS), message="loader window gone")
    h.wait_until(restored, message="procedures given back")
    if pid:
        h.wait_until(lambda: not pid_alive(pid), message="loader process ended")


def reg_value(key, name):
    """The data of a registry value as `reg query` prints it, or None."""
    out = h.wine("reg", "query", key, "/v", name, check=False)
    for line in out.splitlines():
        m = re.match(r"\s*(.*?)\s+(REG_[A-Z_]+)(?:\s+(.*))?$", line)
        if m and m.group(1).lower() == name.lower():
            return (m.group(3) or "").strip()
    return None


def loader_tray_icon(state=None):
    state = state or h.shell_state()
    loader = h.find(LOADER_CLASS)
    return next((t for t in state.tray_icons if t.owner == loader), None)


def enginecall(action, ani, label):
    tool = h.build_path("tests", "support", "suitetools", "enginecall.exe")
    return h.wine(tool, h.windows_path(dist()), action, ani, label).strip()


class Attached(unittest.TestCase):
    def setUp(self):
        h.up(shell_only=False)

    def test_three_procedures_replaced_and_helper_started(self):
        self.assertTrue(replaced())
        self.assertTrue(h.find(HELPER_CLASS), "the engine starts its helper")
        self.assertEqual(h.control(h.CTL_ENGINE_LOADED), 1)

    def test_start_stop_request_from_another_process(self):
        self.assertEqual(enginecall("start", r"C:\nowhere.ani", "No Such Item"), "1")
        self.assertEqual(enginecall("stop", "", "Not Animating"), "1")
        self.assertEqual(enginecall("start", "p" * 600, "l" * 600), "1")
        self.assertEqual(h.control(h.CTL_PING), 1)

    def test_second_loader_ends_at_once_with_one_tray_icon(self):
        t0 = time.time()
        r = subprocess.run([h.env()["WINELOADER"], dist("fxloader.exe")], env=h._with_display(),
                           cwd=dist(), timeout=30, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.assertEqual(r.returncode, 0)
        self.assertLess(time.time() - t0, 10)
        loader = h.find(LOADER_CLASS)
        self.assertEqual(len([t for t in h.shell_state().tray_icons if t.owner == loader]), 1)

    def test_tray_tip_from_strings_file_and_menu_on_right_click(self):
        icon = h.wait_until(loader_tray_icon, message="loader tray icon")
        self.assertTrue(icon.tip.startswith("Desktop enhancements are on for "), icon.tip)
        self.assertLessEqual(len(icon.tip.encode("gbk")), 63)
        h.click(*h.centre(icon.rect), button=3)
        menu = h.wait_until(lambda: h.find("#32768"), message="tray menu")
        self.assertTrue(h.is_window(menu))
        h.screenshot(os.path.join(tempfile.gettempdir(), "fx-tray-menu.ppm"))
        # A click elsewhere dismisses it, as for every tray menu.
        h.click(500, 300)
        h.wait_until(lambda: (h.probe("visible", hex(menu), check=False) or "0").startswith("0"),
                     message="menu closed")

    def test_shortcut_arrows_toggle_and_icon_size_comes_back(self):
        size_before = reg_value(METRICS, "Shell Icon Size")
        rebuilds = h.shell_state().number("icon_rebuilds")
        loader = h.find(LOADER_CLASS)
        try:
            h.post(loader, FXLM_SHORTCUT_ARROWS, 1)
            h.wait_until(lambda: reg_value(r"HKCR\lnkfile", "IsShortcut") is None, message="arrows removed")
            h.wait_state(lambda s: s.number("icon_rebuilds") >= rebuilds + 2, message="icons rebuilt twice")
            self.assertEqual(reg_value(METRICS, "Shell Icon Size"), size_before or "32")
            self.assertEqual(h.shell_state().values.get("icon_size"), size_before or "32")

            # Already removed: nothing changes and nothing is refreshed.
            rebuilds = h.shell_state().number("icon_rebuilds")
            h.post(loader, FXLM_SHORTCUT_ARROWS, 1)
            time.sleep(1.0)
            self.assertEqual(h.shell_state().number("icon_rebuilds"), rebuilds)
        finally:
            h.post(loader, FXLM_SHORTCUT_ARROWS, 0)
            h.wait_until(lambda: reg_value(r"HKCR\lnkfile", "IsShortcut") is not None, message="arrows back")
            h.wait_until(lambda: reg_value(METRICS, "Shell Icon Size") == (size_before or "32"))


class LoaderWithoutStringsFile(unittest.TestCase):
    """The installed folder without its strings file and with a recording stand-in
    for the settings program (both put back afterwards)."""

    @classmethod
    def setUpClass(cls):
        h.up(shell_only=False)
        cls.folder = dist()
        cls.strings = dist("kvlstring.eng")
        cls.panel = dist("fxpanel.exe")
        close_loader()
        os.replace(cls.strings, cls.strings + ".away")
        shutil.copy(h.build_path("tests", "support", "suitetools", "start_recorder.exe"), cls.panel)
        h.up(shell_only=False)

    @classmethod
    def tearDownClass(cls):
        try:
            close_loader()
        finally:
            os.replace(cls.strings + ".away", cls.strings)
            h.remove(cls.panel)
            h.remove(dist("starts.log"))
            h.up(shell_only=False)

    def test_chinese_built_in_texts_without_strings_file(self):
        icon = h.wait_until(loader_tray_icon, message="loader tray icon")
        self.assertTrue(icon.tip.startswith(TRAY_TIP_PREFIX_ZH + " "), icon.tip)

    def test_two_left_clicks_within_a_second_start_settings_once(self):
        log = os.path.join(self.folder, "starts.log")
        h.remove(log)
        icon = h.wait_until(loader_tray_icon, message="loader tray icon")
        x, y = h.centre(icon.rect)
        h.click(x, y)
        time.sleep(0.3)
        h.click(x, y)
        h.wait_until(lambda: h.read_text(log).count("start") >= 1, message="settings program started")
        time.sleep(1.5)
        self.assertEqual(h.read_text(log).count("start"), 1)
        h.click(x, y)
        h.wait_until(lambda: h.read_text(log).count("start") == 2, message="a later click starts it again")


class LeavingTheShell(unittest.TestCase):
    def setUp(self):
        h.up(shell_only=False)

    def tearDown(self):
        for w in filter(None, [h.find("FxRecorderLoader")]):
            h.post(w, h.WM_CLOSE)
        h.up(shell_only=False)

    def test_close_gives_everything_back_and_the_engine_leaves(self):
        self.assertTrue(replaced())
        close_loader()
        h.wait_until(lambda: not h.find(HELPER_CLASS), message="helper closed")
        self.assertIsNone(loader_tray_icon())
        # What the system does when the hook is gone: unload the engine once.
        self.assertIn(h.control(h.CTL_FREE_ENGINE), (0, 1))
        desktop = h.find("Progman")
        for _ in range(3):
            h.send(desktop, h.WM_COMMAND, FXCMD_ANI_STOP)
        self.assertEqual(h.control(h.CTL_ENGINE_LOADED), 0, "engine came back: its hook is still installed")
        self.assertEqual(h.control(h.CTL_PING), 1)
        self.assertTrue(restored())

    def test_killed_loader_leaves_a_working_shell_and_a_new_one_attaches(self):
        os.kill(loader_pid(), 9)
        h.wait_until(lambda: not h.find(LOADER_CLASS), message="loader gone")
        self.assertEqual(h.control(h.CTL_PING), 1)
        # The system would unload the hook's module now: the engine must stay.
        self.assertEqual(h.control(h.CTL_FREE_ENGINE), 2)
        desktop = h.find("Progman")
        self.assertEqual(h.send(desktop, h.WM_COMMAND, FXCMD_ANI_STOP), 1)
        self.assertTrue(replaced())

        # Reload reports the animation state to whatever loader window there is.
        log = os.path.join(tempfile.mkdtemp(prefix="fx-rec-"), "loader.log")
        rec = h.start(h.build_path("tests", "support", "suitetools", "msgrecorder.exe"), LOADER_CLASS,
                      h.windows_path(log))
        try:
            window = h.wait_window(LOADER_CLASS)
            h.post(desktop, h.WM_COMMAND, FXCMD_RELOAD)
            h.wait_until(lambda: "%d 1 0" % FXLM_ANI_STATE in h.read_text(log), message="1115(1)")
            h.wine("reg", "add", SETTINGS, "/v", "Icon Animation", "/t", "REG_DWORD", "/d", "0", "/f")
            h.post(desktop, h.WM_COMMAND, FXCMD_RELOAD)
            h.wait_until(lambda: h.read_text(log).count("%d 0 0" % FXLM_ANI_STATE) == 2, message="1115(0) twice")
        finally:
            h.wine("reg", "delete", SETTINGS, "/v", "Icon Animation", "/f", check=False)
            h.post(window, h.WM_CLOSE)
            rec.wait(timeout=30)

        h.up(shell_only=False)
        self.assertEqual(enginecall("stop", "", "Nothing"), "1")
        close_loader()
        self.assertTrue(restored())


class ShellRestart(unittest.TestCase):
    def setUp(self):
        h.up(shell_only=False)

    def tearDown(self):
        close_loader()
        h.up(shell_only=False)

    def test_tray_icon_comes_back_when_the_taskbar_is_created_again(self):
        shell = int(h.read_text(os.path.join(h.env()["FX_WINE_DIR"], "suite", "shell.pid")).strip())
        os.kill(shell, 9)
        h.wait_until(lambda: not pid_alive(shell), message="shell gone")
        h.up(shell_only=False, extra=("--no-loader",))
        icon = h.wait_until(loader_tray_icon, message="tray icon added again after TaskbarCreated")
        self.assertTrue(icon.tip.startswith("Desktop enhancements are on for "))


class TwoProgramManagers(unittest.TestCase):
    def setUp(self):
        h.down()
        h.up(shell_only=False, two_progman=True)

    def tearDown(self):
        h.down()
        h.up(shell_only=False)

    def test_engine_skips_the_first_progman_when_it_is_not_a_popup(self):
        first = h.find("Progman")
        style, _ = h.window_style(first)
        self.assertFalse(style & h.WS_POPUP)
        state = h.shell_state()
        self.assertNotEqual(first, state.handle("desktop"))
        self.assertTrue(replaced())


if __name__ == "__main__":
    unittest.main()
