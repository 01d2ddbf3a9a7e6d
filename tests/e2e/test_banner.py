"""End-to-end tests of the Start-menu banner: the installed loader hooks the stand-in
shell's taskbar, a real click on the Start button opens the menu, and screenshots
show what the banner paints into the 21-pixel side strip."""

import os
import shutil
import struct
import tempfile
import time
import unittest

import harness as h

SETTINGS = r"HKCU\Software\Brantix\Quorvel Desktop Enhancements"
STRIP = 21
GREY = (128, 128, 128)

suite = None


def setUpModule():
    global suite
    suite = h.LiveSuite(shell_only=False)
    suite.__enter__()


def tearDownModule():
    clear_settings()
    suite.__exit__(None, None, None)


def clear_settings():
    for name in ("BannerSwitch", "MoveBanner", "BannerSpeed", "Banner"):
        if registry_has(name):
            h.reg("delete", SETTINGS, "/v", name, "/f")


def registry_has(name):
    try:
        h.reg("query", SETTINGS, "/v", name)
        return True
    except h.HarnessError:
        return False


def set_dword(name, value):
    h.reg("add", SETTINGS, "/v", name, "/t", "REG_DWORD", "/d", str(value & 0xFFFFFFFF), "/f")


def set_text(name, value):
    h.reg("add", SETTINGS, "/v", name, "/t", "REG_SZ", "/d", value, "/f")


# --- bitmaps ----------------------------------------------------------------------

class Picture:
    """Pixels as (r, g, b) rows, top row first."""

    def __init__(self, width, height, rows):
        self.width, self.height, self.rows = width, height, rows

    def pixel(self, x, y):
        return self.rows[y][x]


def pattern(width, height):
    """Every pixel its own colour: column in red, row in green and blue."""
    rows = [[((x * 6 + 3) & 0xFF, y & 0xFF, 0x40 + (y >> 8) * 0x20) for x in range(width)]
            for y in range(height)]
    return Picture(width, height, rows)


def write_bmp24(path, pic):
    stride = (pic.width * 3 + 3) & ~3
    bits = bytearray()
    for row in reversed(pic.rows):
        line = b"".join(struct.pack("BBB", b, g, r) for (r, g, b) in row)
        bits += line + b"\0" * (stride - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, pic.width, pic.height, 1, 24, 0, len(bits), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(bits), 0, 0, 14 + 40)
    with open(path, "wb") as f:
        f.write(head + info + bits)


def read_bmp(path):
    """An uncompressed 8- or 24-bit bottom-up BMP, as the banner's artwork is made."""
    with open(path, "rb") as f:
        data = f.read()
    offset = struct.unpack_from("<I", data, 10)[0]
    size, width, height, _, bpp = struct.unpack_from("<IiiHH", data, 14)
    palette = []
    if bpp == 8:
        for i in range(256):
            b, g, r, _ = struct.unpack_from("BBBB", data, 14 + size + 4 * i)
            palette.append((r, g, b))
    stride = (width * bpp // 8 + 3) & ~3
    rows = []
    for y in range(height):
        start = offset + (height - 1 - y) * stride
        if bpp == 8:
            rows.append([palette[data[start + x]] for x in range(width)])
        else:
            rows.append([(data[start + 3 * x + 2], data[start + 3 * x + 1], data[start + 3 * x]) for x in range(width)])
    return Picture(width, height, rows)


def strip_bytes(pixel_at, height):
    """The strip's picture as screenshot bytes; pixel_at(x, y) gives each pixel."""
    return b"".join(bytes(pixel_at(x, y)) for y in range(height) for x in range(STRIP))


def horizontal_frames(pic, client_height):
    """Screenshot bytes of the strip for each offset of a horizontal banner narrower
    than the strip: a loop of 21 columns over grey, moved `offset` columns left."""
    top = client_height - pic.height
    frames = {}
    for offset in range(STRIP):
        def at(x, y):
            col = (x + offset) % STRIP
            return pic.pixel(col, y - top) if y >= top and col < pic.width else GREY
        frames[strip_bytes(at, client_height)] = offset
    return frames


def vertical_frames(pic, client_height):
    """The same for a vertical banner shorter than the menu: a loop of the client's
    rows, moved `offset` rows up from the bottom-aligned start."""
    start = client_height - pic.height
    frames = {}
    for offset in range(client_height):
        def at(x, y):
            row = (y - start + offset) % client_height
            return pic.pixel(x, row) if row < pic.height and x < pic.width else GREY
        frames[strip_bytes(at, client_height)] = offset
    return frames


# --- the Start menu ---------------------------------------------------------------

def open_menu():
    """Clicks the Start button; returns the menu window's rectangle on screen (Wine's
    menu windows draw their frame inside the client area, so it is the client's)."""
    state = h.shell_state()
    h.click(*h.centre(h.window_rect(state.handle("start_button"))))
    opened = h.wait_state(lambda s: s.start_menu_open and s.handle("start_menu_window"),
                          message="the Start menu did not open")
    return h.window_rect(opened.handle("start_menu_window"))


def close_menu():
    if h.shell_state().start_menu_open:
        h.key("Escape")
        h.wait_state(lambda s: not s.start_menu_open, message="Escape did not close the menu")


def strip_of(img, rect):
    left, top, _, bottom = rect
    return img.crop(left, top, left + STRIP, bottom).data


def shell_gdi_objects():
    pid = h.probe("pid", hex(h.shell_state().handle("tray"))).split()[0]
    return int(h.probe("gdi-count", pid))


def watch(frames, rect, loop, longest):
    """Screenshots until the banner has gone once round its loop of `loop` pixels
    (or `longest` seconds): (time, offset or None) for each."""
    seen, moved = [], 0
    end = time.monotonic() + longest
    while time.monotonic() < end and moved < loop + 2:
        t = time.monotonic()
        seen.append((t, frames.get(strip_of(h.screenshot(), rect))))
        if len(seen) > 1 and seen[-1][1] is not None and seen[-2][1] is not None:
            moved += (seen[-1][1] - seen[-2][1]) % loop
    return seen


class Banner(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.mkdtemp(prefix="fx-banner-")
        cls.narrow = pattern(13, 100)   # narrower than the strip, shorter than the menu
        cls.wide = pattern(30, 100)     # wider than the strip
        cls.narrow_path = os.path.join(cls.dir, "narrow.bmp")
        cls.wide_path = os.path.join(cls.dir, "wide.bmp")
        write_bmp24(cls.narrow_path, cls.narrow)
        write_bmp24(cls.wide_path, cls.wide)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.dir, ignore_errors=True)

    def setUp(self):
        close_menu()
        clear_settings()

    def tearDown(self):
        close_menu()

    def test_still_banner_sits_on_the_bottom_showing_its_leftmost_21_columns(self):
        set_dword("MoveBanner", 0)
        cases = [
            # A full path is used as it is.
            ("full path", h.windows_path(self.wide_path), self.wide),
            # An empty name is "Default Logo" from the banners folder beside the DLL.
            ("default", "", read_bmp(h.build_path("dist", "banners", "Default Logo.bmp"))),
        ]
        for name, value, pic in cases:
            with self.subTest(name):
                set_text("Banner", value)
                rect = open_menu()
                time.sleep(0.4)
                img = h.screenshot()
                left, top, _, bottom = rect
                height = bottom - top
                rows = min(pic.height, height)
                for y in range(rows):
                    for x in range(STRIP):
                        self.assertEqual(img.pixel(left + x, bottom - rows + y), pic.pixel(x, pic.height - rows + y),
                                         "strip pixel (%d, %d)" % (x, height - rows + y))
                if rows < height:  # a still banner fills no grey above itself
                    self.assertNotIn(GREY, img.colours((left + 2, top + 2, left + STRIP, bottom - rows)))
                close_menu()

    def test_switched_off_paints_nothing(self):
        set_dword("BannerSwitch", 0)
        set_text("Banner", h.windows_path(self.wide_path))
        left, top, right, bottom = open_menu()
        time.sleep(0.4)
        img = h.screenshot()
        strip = img.colours((left + 4, top + 4, left + STRIP, bottom - 4))
        self.assertEqual(strip, {img.pixel(left + STRIP + 1, top + 4)},
                         "the strip should show the menu's own background only")

    def test_horizontal_banner_moves_a_column_left_per_tick_and_wraps_without_a_gap(self):
        set_dword("MoveBanner", 1)
        set_dword("BannerSpeed", 6)  # 281 ms: screenshots see single ticks
        set_text("Banner", h.windows_path(self.narrow_path))
        rect = open_menu()
        frames = horizontal_frames(self.narrow, rect[3] - rect[1])
        seen = watch(frames, rect, STRIP, longest=3 * STRIP * 0.281)
        self.assert_moves(seen, step=1, loop=STRIP, period=0.281)

    def test_vertical_banner_moves_two_rows_up_per_tick_and_wraps_without_a_gap(self):
        set_dword("MoveBanner", 2)
        set_dword("BannerSpeed", 2)  # 57 ms: a whole turn of the menu's height in a few seconds
        set_text("Banner", h.windows_path(self.wide_path))
        rect = open_menu()
        height = rect[3] - rect[1]
        frames = vertical_frames(self.wide, height)
        seen = watch(frames, rect, height, longest=3 * height / 2 * 0.057)
        self.assert_moves(seen, step=2, loop=height, period=0.057)

    def assert_moves(self, seen, step, loop, period):
        """Every screenshot is a whole frame of the loop; between two of them the
        banner went on by whole ticks of `step` pixels, as many as the time allows;
        and the whole run goes round the loop."""
        offsets = [o for _, o in seen]
        unmatched = offsets.count(None)
        self.assertEqual(unmatched, 0, "%d of %d screenshots show no frame of the loop" % (unmatched, len(seen)))
        total = 0
        for (t0, a), (t1, b) in zip(seen, seen[1:]):
            moved = (b - a) % loop
            self.assertEqual(moved % step, 0, "moved %d pixels between two screenshots" % moved)
            ticks = moved // step
            self.assertLessEqual(ticks, (t1 - t0) / period + 2,
                                 "%d ticks in %.3f s at %.0f ms a tick" % (ticks, t1 - t0, period * 1000))
            total += moved
        self.assertGreaterEqual(total, loop, "the banner did not go round its loop")
        if step == 1:
            steps = {(b - a) % loop for (_, a), (_, b) in zip(seen, seen[1:])}
            self.assertIn(1, steps, "no two screenshots a single tick apart")

    def test_closing_stops_the_timer_and_frees_the_bitmap(self):
        set_dword("MoveBanner", 1)
        set_dword("BannerSpeed", 6)
        set_text("Banner", h.windows_path(self.narrow_path))
        counts = []
        for _ in range(3):
            clicked = time.time()
            rect = open_menu()
            frames = horizontal_frames(self.narrow, rect[3] - rect[1])
            before_first = time.time()
            first = frames.get(strip_of(h.screenshot(), rect))
            # Ticks that can have passed since the click, however slow the machine is.
            allowed = (time.time() - clicked) / 0.281 + 2
            time.sleep(1.5)
            later = frames.get(strip_of(h.screenshot(), rect))
            between = time.time() - before_first
            # Each opening starts from its first frame, and one timer moves it.
            self.assertIsNotNone(first)
            self.assertLessEqual(first, allowed, "the opening did not start from its first frame")
            self.assertIsNotNone(later)
            self.assertLessEqual(later - first, between / 0.281 + 2, "more than one timer moves the banner")
            self.assertGreaterEqual(later - first, 3)
            close_menu()
            time.sleep(0.3)
            counts.append(shell_gdi_objects())
        self.assertEqual(counts[1], counts[2], "each opening leaves GDI objects behind: %s" % counts)


if __name__ == "__main__":
    unittest.main()
