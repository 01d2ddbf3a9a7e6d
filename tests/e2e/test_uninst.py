"""End-to-end tests of the uninstall launcher (fxuninst.exe) against the live suite:
the real loader attached to the stand-in shell ends, giving everything back, and the
uninstall command recorded under HKEY_LOCAL_MACHINE runs once per start. A test
double (uninst_recorder.exe, built with the unit tests) stands in for the
uninstaller and leaves one file per run."""

import os
import shutil
import subprocess
import tempfile
import time
import unittest

import harness as h

UNINSTALL_KEY = r"HKLM\Software\Brantix\Quorvel Desktop Enhancements\1.0"
LOADER_CLASS = "FxLoader_Brantix1"

suite = None


def setUpModule():
    global suite
    suite = h.LiveSuite(shell_only=False)
    suite.__enter__()


def tearDownModule():
    suite.__exit__(None, None, None)


def loader_pid():
    """The loader's pid as scripts/suite recorded it, or None."""
    text = h.read_text(os.path.join(h.env()["FX_WINE_DIR"], "suite", "loader.pid")).strip()
    return int(text) if text else None


def process_alive(pid):
    try:
        os.kill(pid, 0)
        return True
    except OSError:
        return False


def procedures_given_back():
    """The desktop, view and list view have their own procedures again."""
    return all(h.control(h.CTL_CURRENT_PROC, t) == h.control(h.CTL_ORIGINAL_PROC, t) for t in (0, 1, 2))


class UninstallLauncher(unittest.TestCase):
    def setUp(self):
        self.runs = tempfile.mkdtemp(prefix="fx-uninst-")
        self.recorder = h.build_path("tests", "unit", "uninst", "uninst_recorder.exe")
        self.assertTrue(os.path.exists(self.recorder), "build the unit tests first: " + self.recorder)
        self.launcher = h.build_path("dist", "fxuninst.exe")
        self.delete_key()
        # Each test starts with the loader attached (an earlier test may have ended it).
        h.up(shell_only=False)
        self.loader = h.find(LOADER_CLASS)
        self.assertTrue(self.loader, "the loader is not running")
        self.assertFalse(procedures_given_back(), "the engine is not attached")
        h.wait_state(lambda s: any(t.owner == self.loader for t in s.tray_icons),
                     message="the loader shows no tray icon")

    def tearDown(self):
        self.delete_key()
        shutil.rmtree(self.runs, ignore_errors=True)

    def delete_key(self):
        subprocess.run([h.env()["WINELOADER"], "reg", "delete", UNINSTALL_KEY, "/f"], env=h._with_display(),
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def store(self, command):
        h.reg("add", UNINSTALL_KEY, "/v", "UninstallString", "/d", command, "/f")

    def recorder_command(self, length=0):
        command = "%s %s " % (h.windows_path(self.recorder), h.windows_path(self.runs))
        return command + "x" * max(0, length - len(command))

    def run_launcher(self):
        r = subprocess.run([h.env()["WINELOADER"], self.launcher], env=h._with_display(),
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
        self.assertEqual(r.returncode, 0, "fxuninst must always end with exit code 0")

    def recorded(self):
        lines = []
        for name in sorted(os.listdir(self.runs)):
            if name.startswith("run-"):
                lines.append(h.read_text(os.path.join(self.runs, name)))
        return lines

    def wait_runs(self, count):
        """The recorded runs once count have arrived; with count 0 after a grace time
        (the launcher has already started whatever it starts when it ends)."""
        if count:
            h.wait_until(lambda: len(self.recorded()) >= count, timeout=15,
                         message="the uninstall command did not run")
        time.sleep(1.5 if count == 0 else 0.5)
        return self.recorded()

    def assert_loader_ended(self, pid):
        h.wait_until(lambda: not h.find(LOADER_CLASS), timeout=15, message="the loader window stayed")
        h.wait_until(procedures_given_back, timeout=15, message="the engine kept the shell's procedures")
        h.wait_state(lambda s: not any(t.owner == self.loader for t in s.tray_icons),
                     message="the loader's tray icon stayed")
        if pid:
            h.wait_until(lambda: not process_alive(pid), timeout=15, message="the loader process did not end")

    def test_loader_ends_and_the_command_runs_once_per_start(self):
        command = self.recorder_command()
        self.store(command)
        pid = loader_pid()

        self.run_launcher()
        self.assert_loader_ended(pid)
        self.assertEqual(self.wait_runs(1), [command])

        # A second start finds no loader and starts the uninstaller again.
        self.run_launcher()
        self.assertEqual(self.wait_runs(2), [command, command])

    def test_without_a_usable_command_the_loader_still_ends_and_nothing_runs(self):
        cases = [
            ("missing", None),
            ("empty", ""),
            ("longer than 259 characters", self.recorder_command(300)),
        ]
        for what, value in cases:
            with self.subTest(what):
                h.up(shell_only=False)
                self.loader = h.find(LOADER_CLASS)
                self.assertTrue(self.loader)
                h.wait_state(lambda s: any(t.owner == self.loader for t in s.tray_icons))
                self.delete_key()
                if value is not None:
                    self.store(value)
                pid = loader_pid()
                self.run_launcher()
                self.assert_loader_ended(pid)
                self.assertEqual(self.wait_runs(0), [])


if __name__ == "__main__":
    unittest.main()
