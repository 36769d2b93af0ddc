"""The mechanics of the end-to-end driver, the same under Wine and on Windows: the Windows programs
it starts (through `wine`, or directly with --native), the mouse, keys and screenshots of our
yg_desk.exe, and the receiver's log. panel_e2e.py holds the checks."""

import os
import queue
import re
import struct
import subprocess
import sys
import threading
import time
import zlib
from pathlib import Path


def log(text):
    """Prints a line in UTF-8. On Windows Python writes to a pipe (a CI log, ctest's capture) in
    the ANSI code page, and cp1252 has none of the captions' characters: print would raise."""
    sys.stdout.flush()
    sys.stdout.buffer.write(text.encode("utf-8") + b"\n")
    sys.stdout.buffer.flush()


def wait_for(condition, timeout, interval=0.05):
    """Polls condition() until it returns something true; returns that, or None on timeout."""
    end = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= end:
            return None
        time.sleep(interval)


def run(args, timeout=30, **options):
    """The tool's output; none from a tool that hangs, so that the checks that wanted it fail and the
    run goes on."""
    try:
        return subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL,
                              timeout=timeout, check=False, **options).stdout.decode("utf-8", "replace")
    except subprocess.TimeoutExpired:
        log(f"NOTE no answer from {' '.join(map(str, args))} in {timeout} s")
        return ""


def numbers(text):
    return [int(n) for n in text.split(",")]


# ---------------------------------------------------------------------------------------------
# The Windows side: programs, and what the probe says about windows


class Programs:
    """Starts the Windows programs: through `wine` on Linux, directly on Windows (native)."""

    def __init__(self, bin_dir, panel_exe, native=False):
        self.bin = Path(bin_dir)
        self.panel_exe = Path(panel_exe)
        self.native = native
        self.started = []
        # On Windows a console tool started from a program without a console would open a window
        # of its own, over the windows under test.
        self.options = {"creationflags": subprocess.CREATE_NO_WINDOW} if os.name == "nt" else {}

    def command(self, exe, *args):
        return ([] if self.native else ["wine"]) + [str(exe), *map(str, args)]

    def host_path(self, path):
        """The file as the Windows programs name it: Wine maps the whole Unix tree to drive Z:."""
        path = Path(path).resolve()
        return str(path) if self.native else "Z:" + str(path).replace("/", "\\")

    def start(self, exe, *args, pipes=False):
        pipe = subprocess.PIPE if pipes else subprocess.DEVNULL
        proc = subprocess.Popen(self.command(exe, *args), stdin=pipe, stdout=pipe, stderr=subprocess.DEVNULL,
                                **self.options)
        self.started.append(proc)
        return proc

    def probe(self, *args):
        return self.run_tool("yg_probe.exe", *args)

    def run_tool(self, exe, *args, timeout=30):
        return run(self.command(self.bin / exe, *args), timeout=timeout, **self.options)

    def facts(self, *args):
        """The probe's key=value lines as a dict (child lines left out)."""
        facts = {}
        for line in self.probe(*args).splitlines():
            line = line.rstrip("\r")
            if "=" in line and not line.startswith(("child ", "window ")):
                key, value = line.split("=", 1)
                facts[key] = value
        return facts

    def tree(self, window_class, attempts=1):
        """(window facts, [child dicts]) of the first top-level window of the class."""
        for _ in range(attempts):
            window, children = self._tree(window_class)
            if window.get("found") == "1":
                break
        return window, children

    def _tree(self, window_class):
        window, children = {}, []
        for line in self.probe("tree", window_class).splitlines():
            line = line.rstrip("\r")
            if line.startswith("child "):
                head, _, text = line.partition(" text=")
                child = dict(part.split("=", 1) for part in head.split()[1:])
                child["text"] = text
                children.append(child)
            elif "=" in line:
                key, value = line.split("=", 1)
                window[key] = value
        return window, children

    def count(self, window_class):
        return int(self.facts("count", window_class).get("count", "0"))

    def stop_all(self):
        for proc in self.started:
            if proc.poll() is None:
                proc.kill()
                try:
                    proc.wait(5)
                except subprocess.TimeoutExpired:
                    pass


# ---------------------------------------------------------------------------------------------
# The mouse, the keyboard and the screen, through yg_desk.exe


class Screen:
    """A hand on the mouse and keyboard, and an eye on the screen: yg_desk.exe, started once and
    kept, injects with SendInput and takes the screenshots.

    Under Wine a button held down while the mouse moves goes through X instead (xdotool): Windows
    sends the moves and the release to the window the button went down in, wherever the pointer
    is, but Wine routes injected mouse input to the window under the pointer unless the foreground
    window holds the capture, and the panel never is the foreground. X's implicit pointer grab
    does what Windows does, and Wine follows it."""

    ANSWER_TIMEOUT = 30

    def __init__(self, out_dir, programs):
        self.out = Path(out_dir)
        self.programs = programs
        self.proc = None
        self.answers = queue.Queue()
        self.facts = {}
        self.held = set()
        self.at = (0, 0)
        self.through_x = not programs.native

    def ask(self, command):
        """Sends one command to yg_desk and returns its answer's facts; an error answer raises."""
        if self.proc is None:
            self._start()
        self.proc.stdin.write((command + "\n").encode("utf-8"))
        self.proc.stdin.flush()
        try:
            answer = self.answers.get(timeout=self.ANSWER_TIMEOUT)
        except queue.Empty:
            raise RuntimeError(f"yg_desk did not answer {command!r}") from None
        if answer is None or not answer.startswith("ok"):
            raise RuntimeError(f"yg_desk: {command!r} got {answer!r}")
        return dict(word.split("=", 1) for word in answer.split()[1:] if "=" in word)

    def _start(self):
        self.proc = self.programs.start(self.programs.bin / "yg_desk.exe", pipes=True)
        # A queue of this copy's own: the end of one that was closed must not answer for it.
        self.answers = queue.Queue()
        threading.Thread(target=self._read_answers, args=(self.proc, self.answers), daemon=True).start()
        self.facts = self.ask("info")

    @staticmethod
    def _read_answers(proc, answers):
        for line in proc.stdout:
            answers.put(line.decode("utf-8", "replace").rstrip("\r\n"))
        answers.put(None)

    def close(self):
        if self.proc is None:
            return
        try:
            self.proc.stdin.close()
        except OSError:
            pass  # it has ended already
        try:
            self.proc.wait(5)
        except subprocess.TimeoutExpired:
            self.proc.kill()
        self.proc = None

    def info(self, name):
        if self.proc is None:
            self._start()
        return self.facts[name]

    @property
    def mark(self):
        """What dwExtraInfo of the driver's own input holds."""
        return self.info("mark")

    def size(self):
        return tuple(numbers(self.info("screen")))

    def dpi(self):
        return int(self.info("dpi"))

    def move(self, x, y):
        if self.held and self.through_x:
            xdotool("mousemove", x, y)
        else:
            self.ask(f"move {x} {y}")
        self.at = (x, y)

    # The pointer comes to rest before the button goes down, as a hand's does: a tooltip still
    # shown for the key it came from hides first. (Under Wine a press on a vanishing tip is lost.)
    # The button goes down and up where it was aimed, whatever moved the pointer meanwhile.
    def click(self, x, y, button=1):
        self.move(x, y)
        time.sleep(0.1)
        self.ask(f"down {button} {x} {y}")
        self.ask(f"up {button} {x} {y}")

    def clicks(self, x, y, count, delay_ms):
        """`count` clicks of the left button, `delay_ms` apart: a double click when quick."""
        self.move(x, y)
        time.sleep(0.1)
        for i in range(count):
            if i:
                time.sleep(delay_ms / 1000)
            self.ask(f"down 1 {x} {y}")
            self.ask(f"up 1 {x} {y}")

    def press(self, x, y, button=1):
        self.move(x, y)
        time.sleep(0.1)
        if self.through_x:
            xdotool("mousemove", x, y, "mousedown", button)
        else:
            self.ask(f"down {button} {x} {y}")
        self.held.add(button)

    def release(self, button=1):
        if self.through_x:
            xdotool("mouseup", button)
        else:
            self.ask(f"up {button} {self.at[0]} {self.at[1]}")
        self.held.discard(button)

    def key(self, chord):
        """Taps a key with its modifiers, named as X does: Tab, shift+Tab."""
        self.ask(f"key {chord}")

    def shot(self, name):
        path = self.out / name
        self.ask(f"shot {self.programs.host_path(path)}")
        return path

    @staticmethod
    def pixel(png, x, y):
        """The (r, g, b) of a pixel of a screenshot, or None when there is no such pixel."""
        try:
            width, height, rows = read_png(png)
        except (OSError, ValueError):
            return None
        if not (0 <= x < width and 0 <= y < height):
            return None
        return tuple(rows[y][3 * x:3 * x + 3])


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=False, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def read_png(path):
    """(width, height, rows of RGB bytes) of an 8-bit RGB PNG without filters, as yg_desk writes."""
    data = Path(path).read_bytes()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(f"{path} is no PNG")
    at, header, idat = 8, None, b""
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    if header is None or header[2:5] != (8, 2, 0) or header[6] != 0:
        raise ValueError(f"{path} is not an 8-bit RGB PNG without interlacing")
    width, height = header[:2]
    raw = zlib.decompress(idat)
    stride = 3 * width + 1
    rows = [raw[y * stride:(y + 1) * stride] for y in range(height)]
    if len(raw) != stride * height or any(row[0] != 0 for row in rows):
        raise ValueError(f"{path}: rows of the wrong size or filtered")
    return width, height, [row[1:] for row in rows]


# ---------------------------------------------------------------------------------------------
# The receiver's log

HOOK_LINE = re.compile(r"hook (down|up) vk=(\d+) scan=(\d+) injected=(\d) extended=(\d)(?: extra=(0x[0-9a-f]+))?")
MESSAGE_LINE = re.compile(r"msg (down|up) vk=(\d+)(?: extra=(0x[0-9a-f]+))?")


class Receiver:
    """yg_receiver's log. The driver's own keys (its Tab) reach the receiver's hook too; they carry
    the driver's mark and are left out of the events, which are the panel's alone."""

    def __init__(self, programs, log_path, screen=None):
        self.wine = programs
        self.log = Path(log_path)
        self.screen = screen
        self.mark = 0

    def start(self, x, y, w, h):
        if self.log.exists():
            self.log.unlink()
        self.proc = self.wine.start(self.wine.bin / "yg_receiver.exe", self.wine.host_path(self.log),
                                    "--at", x, y, w, h)
        return wait_for(lambda: "ready" in self.lines(), 20)

    def lines(self):
        try:
            return self.log.read_text(encoding="utf-8", errors="replace").splitlines()
        except FileNotFoundError:
            return []

    def new_lines(self):
        return self.lines()[self.mark:]

    def set_mark(self):
        self.mark = len(self.lines())

    def _driver_mark(self):
        return self.screen.mark if self.screen else None

    def hook_events(self, lines):
        events, driver = [], self._driver_mark()
        for line in lines:
            m = HOOK_LINE.match(line)
            if m and (m.group(6) is None or m.group(6) != driver):
                events.append((m.group(1), int(m.group(2)), int(m.group(3)), int(m.group(4)), int(m.group(5))))
        return events

    def message_events(self, lines):
        driver = self._driver_mark()
        return [(m.group(1), int(m.group(2))) for m in (MESSAGE_LINE.match(line) for line in lines)
                if m and (m.group(3) is None or m.group(3) != driver)]

    def wait_hook_events(self, count, timeout=5):
        wait_for(lambda: len(self.hook_events(self.new_lines())) >= count, timeout)
        time.sleep(0.15)  # anything beyond the expected events has time to show
        return self.new_lines()

    def lost_activation(self, lines):
        """Every change of the receiver's activation or focus: one that it got back at once may show
        under Wine only as getting it again, with no word of losing it."""
        return [line for line in lines if line.rsplit(" ", 1)[0] in ("activate", "activateapp", "focus")]
