"""Helpers for end-to-end tests against the live suite under Wine (python3 stdlib only).

The live environment (Xvfb, Wine prefix, stand-in shell, optionally the loader) is
started by scripts/suite; this module runs it, drives it with real X input
(xdotool), looks at it through fxprobe.exe and reads screenshots as pixels.

    import harness as h
    h.up(shell_only=True)             # scripts/suite up; idempotent
    state = h.shell_state()           # the stand-in shell's state file, parsed
    h.click(*state.start_button_centre())
    h.wait_until(lambda: h.shell_state().start_menu_open)
    img = h.screenshot()              # Image: .pixel(x, y) -> (r, g, b)

Environment: FX_BUILD_DIR (default <repo>/build/x64), FX_PROBE, FX_WINE_DIR, DISPLAY,
FX_SUITE (another start script than scripts/suite).
"""

import os
import re
import shutil
import subprocess
import time
from collections import namedtuple

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
BUILD_DIR = os.environ.get("FX_BUILD_DIR", os.path.join(ROOT, "build", "x64"))
SUITE = os.environ.get("FX_SUITE", os.path.join(ROOT, "scripts", "suite"))

WM_CLOSE = 0x0010
WM_WININICHANGE = 0x001A
WM_COMMAND = 0x0111
WM_APP = 0x8000
SPI_SETNONCLIENTMETRICS = 42
WS_POPUP = 0x80000000

# Control messages of the stand-in shell (tests/support/protocol/testshell_protocol.h).
CTL_CURRENT_PROC = 1
CTL_ORIGINAL_PROC = 2
CTL_FREE_ENGINE = 3
CTL_ENGINE_LOADED = 4
CTL_PING = 5
CTL_WRITE_STATE = 10


class HarnessError(RuntimeError):
    pass


# --- environment -----------------------------------------------------------------

_env = None


def env():
    """The environment of scripts/wine-env (WINEPREFIX, WINELOADER, ...) plus HOME."""
    global _env
    if _env is None:
        out = subprocess.run(
            ["bash", "-c", '. "$1/scripts/wine-env" 2>/dev/null; env -0', "_", ROOT],
            check=True, stdout=subprocess.PIPE).stdout
        e = dict(item.split("=", 1) for item in out.decode().split("\0") if "=" in item)
        e["HOME"] = e.get("FX_WINE_HOME", e.get("HOME", ""))
        _env = e
    return _env


def _with_display(extra=None):
    e = dict(env())
    display = os.environ.get("DISPLAY") or _suite_display()
    if display:
        e["DISPLAY"] = display
    if extra:
        e.update(extra)
    return e


def _suite_display():
    path = os.path.join(env()["FX_WINE_DIR"], "suite", "display")
    try:
        with open(path) as f:
            return f.read().strip()
    except OSError:
        return ""


def prefix_dir():
    return env()["WINEPREFIX"]


def user_dir():
    """C:\\users\\<user> of the prefix, as a Unix path."""
    users = os.path.join(prefix_dir(), "drive_c", "users")
    name = os.environ.get("USER") or subprocess.run(["id", "-un"], stdout=subprocess.PIPE,
                                                   text=True).stdout.strip()
    return os.path.join(users, name)


def desktop_dir():
    """The desktop folder the stand-in shell shows (started without --desktop)."""
    return os.path.join(user_dir(), "Desktop")


def windows_path(unix_path):
    """A Unix path as Wine sees it through drive Z:."""
    return "Z:" + os.path.abspath(unix_path).replace("/", "\\")


def build_path(*parts):
    return os.path.join(BUILD_DIR, *parts)


# --- the live suite --------------------------------------------------------------

def up(shell_only=True, two_progman=False, extra=()):
    """scripts/suite up; returns {'DISPLAY': ..., 'WINEPREFIX': ...} and exports DISPLAY."""
    args = [SUITE, "up"]
    if shell_only:
        args.append("--shell-only")
    if two_progman:
        args.append("--two-progman")
    args.extend(extra)
    e = dict(os.environ)
    e.setdefault("FX_BUILD_DIR", BUILD_DIR)
    out = subprocess.run(args, check=True, stdout=subprocess.PIPE, text=True, env=e).stdout
    values = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
    if values.get("DISPLAY"):
        os.environ["DISPLAY"] = values["DISPLAY"]
    return values


def down():
    subprocess.run([SUITE, "down"], check=False, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def suite_running():
    """True when scripts/suite status reports a running stand-in shell."""
    out = subprocess.run([SUITE, "status"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                         text=True).stdout
    return bool(re.search(r"^shell: running", out, re.M))


class LiveSuite:
    """Context for a test module: brings the suite up, and down again only if it
    was not running before (a developer's session stays as it was)."""

    def __init__(self, **kwargs):
        self.kwargs = kwargs
        self.started = False

    def __enter__(self):
        self.started = not suite_running()
        up(**self.kwargs)
        return self

    def __exit__(self, *exc):
        if self.started:
            down()
        return False


# --- running Windows programs ----------------------------------------------------

def wine(exe, *args, timeout=60, check=True):
    """Runs a Windows program to completion; returns its stdout without carriage returns."""
    r = subprocess.run([env()["WINELOADER"], exe, *map(str, args)], env=_with_display(),
                       stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=timeout)
    out = r.stdout.decode("utf-8", "replace").replace("\r", "")
    if check and r.returncode != 0:
        raise HarnessError("%s %s: exit %d: %s" % (os.path.basename(exe), " ".join(map(str, args)),
                                                  r.returncode, r.stderr.decode("utf-8", "replace")))
    return out


def start(exe, *args, log=None):
    """Starts a Windows program in the background; returns the Popen (its pid is the
    program's, so it can be ended by pid)."""
    out = open(log, "wb") if log else subprocess.DEVNULL
    return subprocess.Popen([env()["WINELOADER"], exe, *map(str, args)], env=_with_display(),
                            stdout=out, stderr=subprocess.STDOUT, cwd=os.path.dirname(exe) or None)


def reg(*args):
    """wine reg ARGS... (reg add/delete/query)."""
    return wine("reg", *args)


def probe_exe():
    return os.environ.get("FX_PROBE") or build_path("tests", "support", "probe", "fxprobe.exe")


def probe(*args, check=True, timeout=60):
    """fxprobe.exe ARGS...; returns stdout (stripped). check=False returns None on failure."""
    r = subprocess.run([env()["WINELOADER"], probe_exe(), *map(str, args)], env=_with_display(),
                       stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=timeout)
    out = r.stdout.decode("utf-8", "replace").replace("\r", "").strip()
    if r.returncode != 0:
        if check:
            raise HarnessError("fxprobe %s: exit %d: %s" % (" ".join(map(str, args)), r.returncode,
                                                           r.stderr.decode("utf-8", "replace").strip()))
        return None
    return out


def hwnd(text):
    """A window handle printed by the probe ("0x1005e") as an int; 0 for None/empty."""
    return int(text, 16) if text else 0


def find(cls, title=None):
    """FindWindow; 0 when there is none."""
    args = ["find", cls] + ([title] if title is not None else [])
    return hwnd(probe(*args, check=False))


def child(parent, cls):
    return hwnd(probe("child", hex(parent), cls, check=False))


def send(window, msg, wparam=0, lparam=0):
    return int(probe("send", hex(window), msg, wparam, lparam))


def post(window, msg, wparam=0, lparam=0):
    probe("post", hex(window), msg, wparam, lparam)


def window_rect(window):
    return tuple(int(v) for v in probe("rect", hex(window)).split())


def window_style(window):
    style, ex_style = probe("style", hex(window)).split()
    return int(style, 16), int(ex_style, 16)


def window_class(window):
    return probe("class", hex(window))


def window_text(window):
    return probe("text", hex(window))


def is_window(window):
    return probe("is-window", hex(window)) == "1"


def control(n, wparam=0):
    """WM_APP+n to the stand-in shell's control window; its answer."""
    return int(probe("ctl", n, wparam))


# --- the stand-in shell's state ----------------------------------------------------

TrayIcon = namedtuple("TrayIcon", "owner uid callback rect tip")
Tab = namedtuple("Tab", "window rect title")
Item = namedtuple("Item", "rect text")
Folder = namedtuple("Folder", "window title")


def _rect(text):
    return tuple(int(v) for v in text.split(","))


def centre(rect):
    return ((rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2)


class ShellState:
    """The state file of the stand-in shell (format documented in
    tests/support/testshell/snapshot.cpp)."""

    def __init__(self, text):
        self.values = {}
        self.tray_icons, self.tabs, self.items, self.folders = [], [], [], []
        for line in text.splitlines():
            if "=" not in line:
                continue
            key, value = line.split("=", 1)
            if key == "tray_icon":
                owner, uid, callback, rect, tip = value.split("\t", 4)
                self.tray_icons.append(TrayIcon(int(owner, 16), int(uid), int(callback, 16), _rect(rect), tip))
            elif key == "tab":
                window, rect, title = value.split("\t", 2)
                self.tabs.append(Tab(int(window, 16), _rect(rect), title))
            elif key == "item":
                rect, text = value.split("\t", 1)
                self.items.append(Item(_rect(rect), text))
            elif key == "folder":
                window, title = value.split("\t", 1)
                self.folders.append(Folder(int(window, 16), title))
            else:
                self.values[key] = value

    def handle(self, key):
        return int(self.values.get(key, "0x0"), 16)

    def number(self, key):
        return int(self.values.get(key, "0"))

    @property
    def start_menu_open(self):
        return self.values.get("start_menu_open") == "1"

    def item(self, text):
        return next((i for i in self.items if i.text == text), None)

    def tray_icon(self, uid, owner=None):
        return next((t for t in self.tray_icons if t.uid == uid and (owner is None or t.owner == owner)), None)

    def folder(self, title):
        return next((f for f in self.folders if f.title == title), None)


def shell_state():
    return ShellState(probe("shell-state"))


# --- X input ---------------------------------------------------------------------

def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True, env=_with_display())


def move(x, y):
    xdotool("mousemove", x, y)


def click(x, y, button=1):
    xdotool("mousemove", x, y, "click", button)


def double_click(x, y, button=1):
    # Two clicks 80 ms apart reach Wine as a double click.
    xdotool("mousemove", x, y, "click", "--repeat", 2, "--delay", 80, button)


def key(*names):
    """Keys go to the window under the pointer (no window manager)."""
    xdotool("key", *names)


# --- screenshots -----------------------------------------------------------------

class Image:
    """An RGB picture of the screen (or a part of it)."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def crop(self, left, top, right, bottom):
        rows = [self.data[(y * self.width + left) * 3:(y * self.width + right) * 3] for y in range(top, bottom)]
        return Image(right - left, bottom - top, b"".join(rows))

    def colours(self, rect=None):
        """The set of colours in rect (left, top, right, bottom) or the whole image."""
        img = self.crop(*rect) if rect else self
        return {tuple(img.data[i:i + 3]) for i in range(0, len(img.data), 3)}

    def count(self, colour, rect=None, tolerance=0):
        img = self.crop(*rect) if rect else self
        n = 0
        for i in range(0, len(img.data), 3):
            if all(abs(img.data[i + c] - colour[c]) <= tolerance for c in range(3)):
                n += 1
        return n

    def save_ppm(self, path):
        with open(path, "wb") as f:
            f.write(b"P6\n%d %d\n255\n" % (self.width, self.height))
            f.write(self.data)


def parse_ppm(blob):
    """A binary PPM (P6, maxval 255) as an Image."""
    tokens, pos = [], 0
    while len(tokens) < 4:
        while blob[pos:pos + 1].isspace():
            pos += 1
        if blob[pos:pos + 1] == b"#":
            pos = blob.index(b"\n", pos) + 1
            continue
        end = pos
        while not blob[end:end + 1].isspace():
            end += 1
        tokens.append(blob[pos:end])
        pos = end
    if tokens[0] != b"P6" or int(tokens[3]) != 255:
        raise HarnessError("not an 8-bit binary PPM")
    width, height = int(tokens[1]), int(tokens[2])
    pos += 1  # the single whitespace after maxval
    return Image(width, height, blob[pos:pos + width * height * 3])


def screenshot(path=None):
    """The whole screen as an Image (ImageMagick's import); also written to path
    (PPM) when given."""
    blob = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], check=True,
                          stdout=subprocess.PIPE, env=_with_display()).stdout
    img = parse_ppm(blob)
    if path:
        img.save_ppm(path)
    return img


# --- waiting ---------------------------------------------------------------------

def wait_until(predicate, timeout=10.0, interval=0.1, message=None):
    """Calls predicate until it returns something true; returns that value or raises."""
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            value = predicate()
            if value:
                return value
        except HarnessError as e:  # the shell may be busy for a moment
            last_error = e
        if time.monotonic() >= deadline:
            raise HarnessError(message or "timed out after %.1f s%s" % (
                timeout, ": %s" % last_error if last_error else ""))
        time.sleep(interval)


def wait_state(predicate, timeout=10.0, message=None):
    """Waits until predicate(shell_state()) is true; returns that state."""
    holder = {}

    def check():
        holder["state"] = shell_state()
        return predicate(holder["state"])

    wait_until(check, timeout=timeout, message=message)
    return holder["state"]


def wait_window(cls, timeout_ms=10000, title=None):
    args = ["wait", cls, timeout_ms] + ([title] if title is not None else [])
    return hwnd(probe(*args))


def read_text(path, default=""):
    try:
        with open(path, encoding="utf-8", errors="replace") as f:
            return f.read()
    except OSError:
        return default


def remove(path):
    if os.path.isdir(path):
        shutil.rmtree(path, ignore_errors=True)
    elif os.path.exists(path):
        os.remove(path)
