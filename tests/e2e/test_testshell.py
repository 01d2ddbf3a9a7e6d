"""End-to-end tests of the stand-in shell (testshell.exe) itself: the window tree the
suite relies on, and the desktop, taskbar, Start menu and tray behaving as the real
shell's do under real X input."""

import os
import tempfile
import time
import unittest

import harness as h

suite = None


def setUpModule():
    global suite
    suite = h.LiveSuite(shell_only=True)
    suite.__enter__()


def tearDownModule():
    suite.__exit__(None, None, None)


class WindowTree(unittest.TestCase):
    def test_desktop_tree_and_taskbar_are_the_ones_found_by_class(self):
        state = h.shell_state()
        desktop = h.find("Progman")
        self.assertEqual(state.handle("desktop"), desktop)
        self.assertEqual(h.window_text(desktop), "Program Manager")
        style, _ = h.window_style(desktop)
        self.assertTrue(style & h.WS_POPUP, "the desktop window must be a popup")
        self.assertEqual(h.window_rect(desktop)[:2], (0, 0))

        view = h.child(desktop, "SHELLDLL_DefView")
        self.assertEqual(view, state.handle("view"))
        self.assertEqual(h.child(view, "SysListView32"), state.handle("list"))

        # Wine's explorer has a hidden taskbar of its own: ours must come first.
        tray = h.find("Shell_TrayWnd")
        self.assertEqual(tray, state.handle("tray"))
        self.assertEqual(h.window_class(state.handle("start_button")).lower(), "button")
        tasks = h.child(tray, "MSTaskSwWClass")
        self.assertEqual(h.child(tasks, "SysTabControl32"), state.handle("tabs"))
        self.assertEqual(state.number("start_menu_items"), 8)

    def test_control_window_answers_from_both_threads(self):
        self.assertEqual(h.control(h.CTL_PING), 1)
        self.assertEqual(h.control(h.CTL_PING, 1), 1, "the taskbar thread must answer too")
        self.assertEqual(h.control(h.CTL_ENGINE_LOADED), 0)
        self.assertEqual(h.control(h.CTL_FREE_ENGINE), 0)
        for target in (0, 1, 2):  # desktop, view, list view: nobody has replaced them
            current = h.control(h.CTL_CURRENT_PROC, target)
            self.assertNotEqual(current, 0)
            self.assertEqual(current, h.control(h.CTL_ORIGINAL_PROC, target))


class StartMenu(unittest.TestCase):
    def tearDown(self):
        if h.shell_state().start_menu_open:
            h.key("Escape")

    def test_click_opens_menu_above_button_and_escape_closes_it(self):
        state = h.shell_state()
        button = h.window_rect(state.handle("start_button"))
        tray = h.window_rect(state.handle("tray"))
        h.click(*h.centre(button))
        opened = h.wait_state(lambda s: s.start_menu_open and s.handle("start_menu_window"),
                              message="the Start menu did not open")
        menu = opened.handle("start_menu_window")
        self.assertEqual(h.window_class(menu), "#32768")
        left, top, right, bottom = h.window_rect(menu)
        self.assertLessEqual(bottom, tray[1] + 1, "the menu sits above the taskbar")
        self.assertLess(abs(left - button[0]), 8, "the menu starts at the Start button")
        # Eight items, the separator being 8 pixels: Win95-sized items are taller than 24.
        self.assertGreater(bottom - top, 7 * 24 + 8)

        # The owner-drawn items leave the 21-pixel side strip to the banner: nothing
        # but the menu background there, while the items beside it have icons.
        time.sleep(0.3)
        img = h.screenshot()
        strip = (left + 4, top + 4, left + 4 + 16, bottom - 4)
        items = (left + 4 + 21, top + 4, right - 4, bottom - 4)
        self.assertEqual(len(img.colours(strip)), 1, "something was drawn into the side strip")
        self.assertGreater(len(img.colours(items)), 20)

        h.key("Escape")
        closed = h.wait_state(lambda s: not s.start_menu_open, message="Escape did not close the menu")
        self.assertEqual(closed.number("start_menu_openings"), opened.number("start_menu_openings"))
        self.assertFalse(h.is_window(menu) and h.probe("visible", hex(menu)).startswith("1"))


class Tray(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="fx-tray-")
        self.log = os.path.join(self.dir, "tray.log")
        self.client = h.start(h.build_path("tests", "support", "trayclient", "trayclient.exe"),
                              "--id", 42, "--tip", "E2E tray tip", "--log", h.windows_path(self.log))

    def tearDown(self):
        if self.client.poll() is None:
            self.client.kill()
            self.client.wait()
        h.remove(self.dir)

    def test_icon_from_another_process_shows_tip_and_gets_real_clicks(self):
        state = h.wait_state(lambda s: s.tray_icon(42), message="the tray icon never appeared")
        icon = state.tray_icon(42)
        self.assertEqual(icon.tip, "E2E tray tip")
        self.assertEqual(icon.callback, h.WM_APP + 77)
        self.assertEqual((icon.rect[2] - icon.rect[0], icon.rect[3] - icon.rect[1]), (16, 16))
        notify = h.window_rect(state.handle("notify"))
        self.assertTrue(notify[0] <= icon.rect[0] and icon.rect[2] <= notify[2])

        # The icon's own pixels are on screen, not just the area's background.
        self.assertGreater(len(h.screenshot().colours(icon.rect)), 3)

        h.click(*h.centre(icon.rect), button=1)
        h.click(*h.centre(icon.rect), button=3)
        log = h.wait_until(lambda: "event=0x205" in h.read_text(self.log) and h.read_text(self.log),
                           message="no right-button callback reached the owner")
        for event in ("0x201", "0x202", "0x204", "0x205"):  # button down and up, left and right
            self.assertIn("callback id=42 event=%s" % event, log)

        # NIM_DELETE when the owner closes.
        h.post(icon.owner, h.WM_CLOSE)
        h.wait_state(lambda s: not s.tray_icon(42), message="the icon stayed after NIM_DELETE")


class Desktop(unittest.TestCase):
    def setUp(self):
        self.made = []

    def tearDown(self):
        for path in self.made:
            h.remove(path)

    def make(self, name, folder=False):
        path = os.path.join(h.desktop_dir(), name)
        if folder:
            os.makedirs(path, exist_ok=True)
        else:
            with open(path, "w") as f:
                f.write("e2e\n")
        self.made.append(path)
        return path

    def test_files_appear_and_vanish_as_the_folder_changes(self):
        path = self.make("e2e appears.txt")
        h.wait_state(lambda s: s.item("e2e appears.txt"), message="a new file did not appear on the desktop")
        os.remove(path)
        h.wait_state(lambda s: not s.item("e2e appears.txt"), message="a removed file stayed on the desktop")

    def test_label_edited_in_place_renames_the_file(self):
        old = self.make("e2e old name.txt")
        new = os.path.join(h.desktop_dir(), "e2e new name.txt")
        self.made.append(new)
        state = h.wait_state(lambda s: s.item("e2e old name.txt"))
        h.click(*h.centre(state.item("e2e old name.txt").rect))
        time.sleep(0.5)
        h.key("F2")
        time.sleep(0.5)
        h.xdotool("type", "--delay", 30, "e2e new name.txt")
        h.key("Return")
        h.wait_until(lambda: os.path.exists(new) and not os.path.exists(old),
                     message="the in-place edit did not rename the file")
        h.wait_state(lambda s: s.item("e2e new name.txt") and not s.item("e2e old name.txt"))

    def test_double_click_on_folder_opens_folder_window_with_tab(self):
        self.make("E2E Folder", folder=True)
        state = h.wait_state(lambda s: s.item("E2E Folder"))
        h.double_click(*h.centre(state.item("E2E Folder").rect))
        title = "C:\\users\\%s\\Desktop\\E2E Folder" % os.path.basename(h.user_dir())
        state = h.wait_state(lambda s: s.folder(title) and any(t.title == title for t in s.tabs),
                             message="no folder window (with its taskbar tab) for %s" % title)
        window = state.folder(title).window
        self.assertEqual(h.window_class(window), "CabinetWClass")
        self.assertEqual(h.window_text(window), title)
        view = h.child(window, "SHELLDLL_DefView")
        self.assertTrue(view and h.child(view, "SysListView32"))

        # The desktop stays under the folder window on screen as well.
        time.sleep(0.5)
        left, top, right, _ = h.window_rect(window)
        self.assertEqual(h.hwnd(h.probe("at", (left + right) // 2, top + 8)), window)

        # Its taskbar button minimizes the active window and restores it again.
        tab = next(t for t in state.tabs if t.window == window)
        h.click(*h.centre(tab.rect))
        h.wait_until(lambda: h.probe("visible", hex(window)) == "1 1", message="the tab did not minimize")
        h.click(*h.centre(tab.rect))
        h.wait_until(lambda: h.probe("visible", hex(window)) == "1 0", message="the tab did not restore")
        h.post(window, h.WM_CLOSE)
        h.wait_state(lambda s: not s.folder(title), message="the folder window did not close")

    def test_shell_icon_size_change_rebuilds_the_desktop_icons(self):
        key = r"HKCU\Control Panel\desktop\WindowMetrics"
        self.make("e2e size.txt")
        before = h.wait_state(lambda s: s.item("e2e size.txt"))
        desktop = before.handle("desktop")
        size = before.number("icon_size")
        try:
            h.reg("add", key, "/v", "Shell Icon Size", "/t", "REG_SZ", "/d", str(size + 16), "/f")
            h.send(desktop, h.WM_WININICHANGE, h.SPI_SETNONCLIENTMETRICS, 0)
            after = h.wait_state(lambda s: s.item("e2e size.txt"))
            self.assertEqual(after.number("icon_rebuilds"), before.number("icon_rebuilds") + 1)
            self.assertEqual(after.number("icon_size"), size + 16)
            rect = after.item("e2e size.txt").rect
            self.assertEqual(rect[2] - rect[0], size + 16)

            # The same size again is no change: nothing to rebuild.
            h.send(desktop, h.WM_WININICHANGE, h.SPI_SETNONCLIENTMETRICS, 0)
            self.assertEqual(h.shell_state().number("icon_rebuilds"), after.number("icon_rebuilds"))
        finally:
            h.reg("add", key, "/v", "Shell Icon Size", "/t", "REG_SZ", "/d", str(size), "/f")
            h.send(desktop, h.WM_WININICHANGE, h.SPI_SETNONCLIENTMETRICS, 0)
        restored = h.wait_state(lambda s: s.item("e2e size.txt"))
        self.assertEqual(restored.number("icon_rebuilds"), before.number("icon_rebuilds") + 2)
        rect = restored.item("e2e size.txt").rect
        self.assertEqual(rect[2] - rect[0], size)


if __name__ == "__main__":
    unittest.main()
