#!/usr/bin/env python3
"""Tests of the end-to-end driver's mechanics that need no Windows program: which of the receiver's
lines count as the panel's keys, how a screenshot is read, which way each mouse action goes, and
how programs are started under Wine and on Windows."""

import os
import struct
import subprocess
import sys
import tempfile
import unittest
import zlib
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

import driver  # noqa: E402

MARK = "0x59474b44"


class FakeScreen:
    mark = MARK


class ReceiverEvents(unittest.TestCase):
    def setUp(self):
        self.receiver = driver.Receiver(programs=None, log_path="unused.log", screen=FakeScreen())

    def test_the_drivers_own_keys_are_left_out(self):
        cases = [
            # (log line, the hook event it is, or None when it is not the panel's)
            ("hook down vk=73 scan=0 injected=1 extended=0", ("down", 73, 0, 1, 0)),
            ("hook up vk=160 scan=0 injected=1 extended=0", ("up", 160, 0, 1, 0)),
            (f"hook down vk=9 scan=15 injected=1 extended=0 extra={MARK}", None),
            (f"hook up vk=160 scan=42 injected=1 extended=0 extra={MARK}", None),
            # Someone else's extra information is not the driver's: it counts, and shows up.
            ("hook down vk=74 scan=0 injected=1 extended=0 extra=0x1", ("down", 74, 0, 1, 0)),
            ("hook down vk=72 scan=35 injected=0 extended=0", ("down", 72, 35, 0, 0)),
            ("msg down vk=73", None),
            ("activate 0", None),
        ]
        for line, event in cases:
            with self.subTest(line=line):
                self.assertEqual(self.receiver.hook_events([line]), [event] if event else [])

    def test_the_drivers_own_keys_are_left_out_of_the_queue_too(self):
        cases = [
            ("msg down vk=73", ("down", 73)),
            ("msg up vk=16", ("up", 16)),
            (f"msg down vk=9 extra={MARK}", None),
            ("msg up vk=9 extra=0x2", ("up", 9)),
            ("hook down vk=73 scan=0 injected=1 extended=0", None),
            ("char 105", None),
        ]
        for line, event in cases:
            with self.subTest(line=line):
                self.assertEqual(self.receiver.message_events([line]), [event] if event else [])

    def test_the_order_of_the_panels_keys_is_kept_around_the_drivers(self):
        lines = ["hook down vk=160 scan=0 injected=1 extended=0",
                 f"hook down vk=9 scan=15 injected=1 extended=0 extra={MARK}",
                 "hook down vk=57 scan=0 injected=1 extended=0",
                 f"hook up vk=9 scan=15 injected=1 extended=0 extra={MARK}",
                 "hook up vk=57 scan=0 injected=1 extended=0",
                 "hook up vk=160 scan=0 injected=1 extended=0"]
        self.assertEqual([(d, vk) for d, vk, *_ in self.receiver.hook_events(lines)],
                         [("down", 160), ("down", 57), ("up", 57), ("up", 160)])


def png(width, height, pixel, filters=None, colour_type=2):
    """A PNG made with zlib's own deflate, independently of yg_desk's encoder."""
    raw = b""
    for y in range(height):
        raw += bytes([filters[y] if filters else 0])
        raw += b"".join(bytes(pixel(x, y)) for x in range(width))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


class Screenshots(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)

    def write(self, name, data):
        path = Path(self.folder.name) / name
        path.write_bytes(data)
        return path

    def test_pixels_are_read_where_they_are(self):
        path = self.write("a.png", png(5, 4, lambda x, y: (x * 50, y * 60, 255 - x - y)))
        for x, y in ((0, 0), (4, 0), (0, 3), (4, 3), (2, 1)):
            with self.subTest(x=x, y=y):
                self.assertEqual(driver.Screen.pixel(path, x, y), (x * 50, y * 60, 255 - x - y))

    def test_no_pixel_outside_the_picture_or_in_a_file_not_ours(self):
        good = self.write("good.png", png(3, 3, lambda x, y: (1, 2, 3)))
        filtered = self.write("filtered.png", png(3, 3, lambda x, y: (1, 2, 3), filters=[0, 1, 0]))
        rgba = self.write("rgba.png", png(3, 3, lambda x, y: (1, 2, 3, 4), colour_type=6))
        cases = [(good, 3, 0), (good, 0, 3), (good, -1, 0), (filtered, 0, 0), (rgba, 0, 0),
                 (self.write("text.png", b"not a picture"), 0, 0), (Path(self.folder.name) / "missing.png", 0, 0)]
        for path, x, y in cases:
            with self.subTest(path=path.name, x=x, y=y):
                self.assertIsNone(driver.Screen.pixel(path, x, y))


class FakePrograms:
    def __init__(self, native):
        self.native = native


class Routes(unittest.TestCase):
    """Which way each action of the hand goes: yg_desk (SendInput) or X."""

    def actions(self, native, steps):
        screen = driver.Screen("unused", FakePrograms(native))
        sent = []
        screen.ask = lambda command: sent.append(("desk", command)) or {}
        original = driver.xdotool
        driver.xdotool = lambda *args: sent.append(("x", " ".join(map(str, args))))
        try:
            for step in steps:
                getattr(screen, step[0])(*step[1:])
        finally:
            driver.xdotool = original
        return sent

    DRAG = [("press", 10, 20), ("move", 30, 40), ("release",), ("move", 50, 60), ("click", 5, 6, 3), ("key", "Tab")]

    def test_natively_every_action_is_sendinput(self):
        self.assertEqual(self.actions(True, self.DRAG), [
            ("desk", "move 10 20"), ("desk", "down 1 10 20"), ("desk", "move 30 40"), ("desk", "up 1 30 40"),
            ("desk", "move 50 60"), ("desk", "move 5 6"), ("desk", "down 3 5 6"), ("desk", "up 3 5 6"),
            ("desk", "key Tab")])

    def test_under_wine_only_a_held_button_goes_through_x(self):
        self.assertEqual(self.actions(False, self.DRAG), [
            ("desk", "move 10 20"), ("x", "mousemove 10 20 mousedown 1"), ("x", "mousemove 30 40"), ("x", "mouseup 1"),
            ("desk", "move 50 60"), ("desk", "move 5 6"), ("desk", "down 3 5 6"), ("desk", "up 3 5 6"),
            ("desk", "key Tab")])


class Starting(unittest.TestCase):
    def test_programs_start_through_wine_or_directly(self):
        exe = Path("/build/tools/yg_probe.exe")
        self.assertEqual(driver.Programs("bin", "panel.exe").command(exe, "tree", 5),
                         ["wine", str(exe), "tree", "5"])
        self.assertEqual(driver.Programs("bin", "panel.exe", native=True).command(exe, "tree", 5),
                         [str(exe), "tree", "5"])

    def test_wine_names_a_unix_file_on_drive_z(self):
        if sys.platform == "win32":
            self.skipTest("Unix paths only")
        self.assertEqual(driver.Programs("bin", "panel.exe").host_path("/tmp/e2e/receiver.log"),
                         "Z:\\tmp\\e2e\\receiver.log")


class Logging(unittest.TestCase):
    def test_a_line_goes_out_in_utf8_whatever_the_output_encoding(self):
        # On Windows a pipe gets the ANSI code page: cp1252 cannot write the captions at all, and
        # cp936 writes them in GBK, which a UTF-8 log (a CI run's, ctest's) shows garbled.
        line = "FAIL without the help file, click 1 shows 未找到文件 ＝I键"
        for encoding in ("cp1252", "cp936", "ascii", "utf-8"):
            with self.subTest(encoding=encoding):
                out = subprocess.run(
                    [sys.executable, "-B", "-c", f"import driver; print('a', flush=True); driver.log({line!r}); print('b')"],
                    cwd=Path(__file__).resolve().parent, stdout=subprocess.PIPE, stderr=subprocess.PIPE, check=False,
                    env={**os.environ, "PYTHONIOENCODING": encoding, "PYTHONUTF8": "0"})
                self.assertEqual(out.returncode, 0, out.stderr.decode("utf-8", "replace"))
                self.assertEqual(out.stdout.replace(b"\r\n", b"\n"), f"a\n{line}\nb\n".encode("utf-8"))


if __name__ == "__main__":
    unittest.main()
