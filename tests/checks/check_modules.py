#!/usr/bin/env python3
"""Checks the built modules of both architectures: export ordinals, shared data
sections, and that nothing mapped into the shell imports a MinGW runtime DLL.

  check_modules.py BUILD_DIR [BUILD_DIR...]   (each a build tree with dist/)
"""
import os
import re
import subprocess
import sys
import unittest

BUILD_DIRS = []

OBJDUMP = {"pei-x86-64": "x86_64-w64-mingw32-objdump", "pei-i386": "i686-w64-mingw32-objdump"}

EXPECTED_EXPORTS = {
    "fxengine.dll": {5: "fxHookProgMan", 6: "fxUnhookProgMan", 7: "fxStartStopAniOnDesktop",
                     8: "fxBubbleWndProc", 11: "fxFrameWndProc", 17: "GetMsgProc"},
    "fxbanner.dll": {1: "fxHookShellTrayWnd", 2: "fxUnhookShellTrayWnd"},
    "sysapply.dll": {2: "sysapplySHChangeNotify", 3: "sysapplyProcessIconMetrics", 4: "sysapplyProcessRegColors"},
}
SHARED_SECTION = ["fxengine.dll", "fxbanner.dll"]
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "comctl32.dll",
               "ole32.dll", "oleaut32.dll", "msvcrt.dll", "shlwapi.dll", "comdlg32.dll", "winmm.dll",
               "ntdll.dll", "version.dll", "uxtheme.dll", "msimg32.dll"}


def objdump(path, *args):
    fmt = subprocess.run(["x86_64-w64-mingw32-objdump", "-f", path], capture_output=True, text=True).stdout
    tool = OBJDUMP["pei-i386" if "pei-i386" in fmt else "pei-x86-64"]
    return subprocess.run([tool, *args, path], capture_output=True, text=True, check=True).stdout


def exports(path):
    text = objdump(path, "-p")
    base = int(re.search(r"Ordinal Base\s+(\d+)", text).group(1))
    table = text.split("[Ordinal/Name Pointer] Table", 1)[1]
    found = {}
    for m in re.finditer(r"^\s*\[\s*(\d+)\]\s+(\S+)\s*$", table, re.M):
        found[int(m.group(1)) + base] = m.group(2)
    return found


def imports(path):
    return {m.lower() for m in re.findall(r"DLL Name:\s*(\S+)", objdump(path, "-p"))}


class Modules(unittest.TestCase):
    def dists(self):
        self.assertTrue(BUILD_DIRS, "no build directories given")
        for b in BUILD_DIRS:
            dist = os.path.join(b, "dist")
            if not os.path.isdir(dist):
                self.skipTest(f"{dist} is not installed")
            yield dist

    def test_export_ordinals(self):
        for dist in self.dists():
            for dll, want in EXPECTED_EXPORTS.items():
                with self.subTest(dist=dist, dll=dll):
                    got = exports(os.path.join(dist, dll))
                    for ordinal, name in want.items():
                        self.assertEqual(got.get(ordinal), name, f"ordinal {ordinal}")

    def test_shared_sections(self):
        for dist in self.dists():
            for dll in SHARED_SECTION:
                with self.subTest(dist=dist, dll=dll):
                    headers = objdump(os.path.join(dist, dll), "-h")
                    m = re.search(r"\.shared\s.*\n\s*(.*)", headers)
                    self.assertIsNotNone(m, "no .shared section")
                    self.assertIn("SHARED", m.group(1))

    def test_only_system_dlls(self):
        for dist in self.dists():
            ours = {f.lower() for f in os.listdir(dist) if f.lower().endswith(".dll")}
            for f in sorted(os.listdir(dist)):
                if not f.lower().endswith((".dll", ".exe")):
                    continue
                with self.subTest(dist=dist, module=f):
                    foreign = imports(os.path.join(dist, f)) - SYSTEM_DLLS - ours
                    self.assertEqual(foreign, set(), "imports outside the system")


if __name__ == "__main__":
    BUILD_DIRS[:] = sys.argv[1:]
    unittest.main(argv=[sys.argv[0], "-v"])
