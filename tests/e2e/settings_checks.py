"""The panel's settings, chosen from the title bar's window menu with the mouse as a user chooses
them, and what each changes: the About box, the remote-desktop mode's scan codes at the receiver's
hook, starting at sign-in, 150% keys, and the place and mode kept over a restart. After every
choice the receiver must have the keyboard again and take the next click's keys. Used by
panel_e2e.py, which passes its run in.

The settings live in the Wine prefix's registry. What they were before is written to a file in
the prefix first and put back at the end, also by the next run should this one die halfway, so
that every run starts from the defaults and leaves the user's settings as it found them."""

import os
import re
import signal
import subprocess
import tempfile
import time
from pathlib import Path

from driver import read_png

# The panel's items, last in the window menu, in their order, as a user reads them; the key
# sizes, the idle opacities and the hover times form submenus.
MENU_ITEMS = ["记住位置和模式(P)", "键盘大小(K)", "开机时启动(W)", "远程桌面兼容(D)", "显示/隐藏快捷键（Ctrl+Alt+K）(H)",
              "通知区域图标(I)", "空闲时透明(T)", "悬停点击(V)", "按住连发(E)", "关于(B)…"]
# The key sizes the submenu lets a user choose on the run's 1024 by 768 screen, by DPI; the others
# are greyed. Worked out by hand: the expanded panel is 5860 by 1800 twips, 1440 a logical inch,
# so at 144 DPI and 200% it is 1172 pixels wide, at 168 DPI and 150% 1025.5.
KEY_SIZES = [100, 125, 150, 200]
CHOOSABLE_SIZES = {96: [100, 125, 150, 200], 120: [100, 125, 150, 200], 144: [100, 125, 150], 168: [100, 125]}

SOFTWARE = r"HKEY_CURRENT_USER\Software"
PANEL_KEY = SOFTWARE + r"\雁格输入法\键盘面板"
RUN_KEY = SOFTWARE + r"\Microsoft\Windows\CurrentVersion\Run"
RUN_VALUE = "雁格输入法按键面板"
# Task Manager's record of the Run value, under the same name: 03 and a time when turned off.
APPROVAL_KEY = SOFTWARE + r"\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run"
TURNED_OFF = "hex:03,00,00,00,17,79,bd,01,17,d9,d1,01"


# ---------------------------------------------------------------------------------------------
# The registry, through reg export and reg import of .reg files (UTF-16 with a byte-order mark, so
# that the Chinese key and value names pass whatever the locale)


def parse_reg(text):
    """{key: {value name: value text}} of a .reg file; value texts as the file writes them."""
    keys, current = {}, None
    for line in text.splitlines():
        line = line.rstrip("\r")
        if line.startswith("[") and line.endswith("]"):
            current = keys.setdefault(line[1:-1], {})
        elif current is not None and line.startswith('"') and '"=' in line:
            name, _, value = line[1:].partition('"=')
            current[name] = value
    return keys


def reg_string(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


class Registry:
    def __init__(self, programs):
        self.programs = programs
        # A folder that outlives a run's output folder, so that the next run puts right what one
        # that died left: the prefix's drive C under Wine, the temporary folder on Windows.
        self.folder = (Path(tempfile.gettempdir()) if programs.native
                       else Path(os.environ.get("WINEPREFIX", "")) / "drive_c")
        self.restore_file = self.folder / "yg-e2e-settings-restore.reg"

    def reg(self, *args):
        # reg.exe, not regedit.exe: Windows starts regedit with the highest rights the user has,
        # which for an administrator means a consent prompt (or error 740 from a script).
        subprocess.run(self.programs.command("reg", *args), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60, check=False, **self.programs.options)

    def read(self):
        """The current user's software keys."""
        path = self.folder / "yg-e2e-export.reg"
        # reg now and then ends without writing its export under a loaded machine: ask again
        # rather than read that as an empty registry.
        for _ in range(3):
            path.unlink(missing_ok=True)
            self.reg("export", SOFTWARE, self.programs.host_path(path), "/y")
            try:
                return parse_reg(path.read_bytes().decode("utf-16"))
            except (FileNotFoundError, UnicodeDecodeError):
                time.sleep(0.5)
            finally:
                path.unlink(missing_ok=True)
        return {}

    def panel_values(self):
        return self.read().get(PANEL_KEY, {})

    def run_value(self, key=RUN_KEY):
        return self.read().get(key, {}).get(RUN_VALUE)

    def apply(self, text, name="yg-e2e-import.reg"):
        path = self.folder / name
        path.write_bytes(("Windows Registry Editor Version 5.00\r\n\r\n" + text).encode("utf-16"))
        self.reg("import", self.programs.host_path(path))
        path.unlink(missing_ok=True)

    def put_back(self):
        """The user's settings as they were before the run (or before a run that died)."""
        if self.restore_file.exists():
            self.apply(self.restore_file.read_bytes().decode("utf-16").split("\r\n\r\n", 1)[1])
            self.restore_file.unlink()

    def start_from_defaults(self):
        """Notes what the user has, then clears it: the panel starts with every default."""
        self.put_back()
        keys = self.read()
        restore = [f"[-{PANEL_KEY}]"]
        if PANEL_KEY in keys:
            restore += [f"[{PANEL_KEY}]"] + [f'"{n}"={v}' for n, v in keys[PANEL_KEY].items()]
        for key in (RUN_KEY, APPROVAL_KEY):
            restore += [f"[{key}]", f'"{RUN_VALUE}"=' + (keys.get(key, {}).get(RUN_VALUE) or "-")]
        text = "\r\n".join(restore) + "\r\n"
        self.restore_file.write_bytes(("Windows Registry Editor Version 5.00\r\n\r\n" + text).encode("utf-16"))
        self.apply(f"[-{PANEL_KEY}]\r\n[{RUN_KEY}]\r\n\"{RUN_VALUE}\"=-\r\n[{APPROVAL_KEY}]\r\n\"{RUN_VALUE}\"=-\r\n")


# ---------------------------------------------------------------------------------------------
# The window menu, read from the screen: its items are rows of dark text, the separators light
# lines between them


class WindowMenu:
    def __init__(self, run):
        self.run = run

    def menus(self):
        return [line for line in self.run.wine.probe("list").splitlines()
                if "class=#32768" in line and "visible=1" in line]

    def open(self):
        """Right-clicks the title bar; the menu window's facts, or None."""
        panel = self.run.panel
        panel.refresh()
        left, top, _, _ = panel.rect()
        self.run.screen.click(left + panel.px(1500), (top + panel.client()[1]) // 2, button=3)
        if not self.run.c.check(run_wait(self.run, self.menus, 5), "a right click on the title bar opens the window menu"):
            return None
        time.sleep(0.3)  # drawn
        window, _ = self.run.wine.tree("#32768")
        return window

    def rows(self, window, shot):
        """The item rows of a menu window, top to bottom: (top, bottom, leftmost ink x) on the
        screen. A row is a run of pixel lines with dark ink, lines a few pixels apart belonging to
        one row as the strokes of a character do; a line inked across most of the menu is a
        separator or the frame, and the frame's sides are left out."""
        left, top, right, bottom = [int(n) for n in window["rect"].split(",")]
        left, top, right, bottom = left + 2, top + 2, right - 2, bottom - 2
        _, _, pixels = read_png(self.run.screen.shot(shot))
        ink = {}
        for y in range(bottom - top):
            row = pixels[top + y]
            for x in range(right - left):
                r, g, b = row[3 * (left + x):3 * (left + x) + 3]
                if (299 * r + 587 * g + 114 * b) // 1000 < 128:  # dark, as grey
                    ink.setdefault(y, []).append(x)
        gap = max(3, self.run.px(60))
        rows = []
        for y in sorted(ink):
            if len(ink[y]) > (right - left) // 2:
                continue
            x = min(ink[y])
            if rows and y - rows[-1][1] <= gap:
                rows[-1] = (rows[-1][0], y, min(rows[-1][2], x))
            else:
                rows.append((y, y, x))
        return [(top + a, top + b, left + x) for a, b, x in rows]

    def click_row(self, window, row):
        left, _, right, _ = [int(n) for n in window["rect"].split(",")]
        self.run.screen.click(left + (right - left) // 3, (row[0] + row[1]) // 2)

    def our_rows(self, window, shot):
        rows = self.rows(window, shot)
        ok = self.run.c.check(len(rows) >= len(MENU_ITEMS), "the window menu shows the panel's items",
                              f"rows {rows}")
        return rows[-len(MENU_ITEMS):] if ok else None

    def choose(self, item):
        window = self.open()
        rows = window and self.our_rows(window, "menu.png")
        if not rows:
            return False
        self.click_row(window, rows[MENU_ITEMS.index(item)])
        return True

    def checks(self):
        """{item: True when it shows a check mark}, read from an opened menu, then closed again.
        A mark stands in the margin left of the captions, where only the marked rows have ink."""
        window = self.open()
        rows = window and self.our_rows(window, "menu-checks.png")
        marks = {}
        if rows:
            text_left = rows[MENU_ITEMS.index("关于(B)…")][2]  # never marked
            marks = {item: row[2] < text_left - 2 for item, row in zip(MENU_ITEMS, rows)}
        self.close()
        return marks

    def choose_size(self, percent):
        if not self.choose_in_submenu("键盘大小(K)", self.sizes(), self.current_size, percent):
            return False
        self.current_size = percent
        return True

    def sizes(self):
        """The key sizes a user can choose here: from the table on the run's own screen, else the
        ones at which the expanded panel fits the screen (less than the work area: a native run's
        taskbar)."""
        if tuple(self.run.args.screen) == (1024, 768) and self.run.dpi in CHOOSABLE_SIZES:
            return CHOOSABLE_SIZES[self.run.dpi]
        sw, sh = self.run.args.screen
        return [p for p in KEY_SIZES if self.run.px(5860 * p / 100) <= sw and self.run.px(1800 * p / 100) <= sh - 48]

    def choose_in_submenu(self, item, choices, current, chosen):
        """Opens the submenu of `item`, checks that its rows are `choices` with the dot on
        `current`, and clicks the row of `chosen`."""
        window = self.open()
        rows = window and self.our_rows(window, "menu.png")
        if not rows:
            return False
        self.click_row(window, rows[MENU_ITEMS.index(item)])
        sub = run_wait(self.run, lambda: (lambda w: w if w.get("hwnd") != window["hwnd"] else None)(
            self.run.wine.tree("#32768")[0]), 5)
        if not self.run.c.check(sub, f"the submenu of {item} opens"):
            self.close()
            return False
        time.sleep(0.3)
        found = self.rows(sub, "menu-sub.png")
        if not self.run.c.equal(len(found), len(choices), f"the submenu of {item} has {len(choices)} rows"):
            self.close()
            return False
        self.run.c.equal([row[2] < min(r[2] for r in found) + 3 for row in found],
                         [choice == current for choice in choices], f"the submenu of {item} marks {current}")
        self.click_row(sub, found[choices.index(chosen)])
        return True

    current_size = 100

    def close(self):
        """A click beside the menu closes it."""
        self.run.screen.click(self.run.args.screen[0] - 100, 100)
        run_wait(self.run, lambda: not self.menus(), 5)


# ---------------------------------------------------------------------------------------------
# The checks


def check_settings(run, registry):
    """Every item but the key size (check_key_size), each switched on and off again: the run goes
    on with the defaults."""
    menu = WindowMenu(run)
    check_first_menu(run, menu)
    check_about(run, menu)
    check_about_receiver_held(run, menu)
    check_remote_desktop(run, menu, registry)
    check_sign_in(run, menu, registry)
    check_remembered_place(run, menu, registry)


def check_first_menu(run, menu):
    marks = menu.checks()
    run.c.equal(marks, {item: False for item in MENU_ITEMS}, "at first no item of the panel is checked")
    run.expect_receiver_typing("the window menu closed without a choice")


def check_about(run, menu):
    if not menu.choose("关于(B)…"):
        return
    about_box_gives_back(run)


def check_about_receiver_held(run, menu):
    """The receiver held still (SIGSTOP) while 关于 is chosen: when the panel handles the choice
    the menu has handed the foreground back, but the receiver has not taken it yet. The box must
    still give it back to the receiver, not leave it with the panel. Wine only: a Linux signal."""
    if run.wine.native:
        return
    window = menu.open()
    rows = window and menu.our_rows(window, "menu.png")
    if not rows:
        return
    pid = run.receiver.proc.pid
    os.kill(pid, signal.SIGSTOP)
    try:
        menu.click_row(window, rows[MENU_ITEMS.index("关于(B)…")])
        box = run_wait(run, lambda: about_box(run), 10)
    finally:
        os.kill(pid, signal.SIGCONT)
    # Looked for again: while the receiver was held, Wine 10 had not yet put the box on the screen.
    if run.c.check(box, "关于 shows the About box while the receiver is held still"):
        about_box_gives_back(run, "the About box chosen while the receiver was held still")


def about_box_gives_back(run, what="the About box"):
    box = run_wait(run, lambda: about_box(run), 10)
    if not run.c.check(box, "关于 shows the About box"):
        return
    text, ok_button = box
    lines = text.split("\\n")
    run.c.check(len(lines) == 3 and lines[0] == "雁格输入法按键面板" and re.fullmatch(r"版本 \d+\.\d+\.\d+", lines[1])
                and lines[2].startswith("版权所有 ©") and "雁格" in lines[2],
                "the About box gives the name, the version and the copyright", f"it says {lines}")
    run.screen.shot("about.png")
    run.screen.click(*ok_button)
    run.c.check(run_wait(run, lambda: not about_box(run), 5), "OK closes the About box")
    run.expect_receiver_typing(what)


def about_box(run):
    """The box's text and its OK button's centre, once shown: before, it may not stand in its place."""
    window, children = run.wine.tree("#32770")
    if window.get("visible") != "1" or window.get("pid") != run.panel.window.get("pid"):
        return None
    text = next((c["text"] for c in children if c["class"] == "Static" and "版本" in c["text"]), None)
    button = next((c for c in children if c["class"] == "Button"), None)
    if not text or not button:
        return None
    left, top, right, bottom = [int(n) for n in button["rect"].split(",")]
    return text, ((left + right) // 2, (top + bottom) // 2)


# Page Up and Down, Escape, Backspace, a letter, a digit, the shifted slash, the word-building
# chord: as a keyboard sends them on the US layout, set 1, E0-prefixed ones extended.
REMOTE_CLICKS = [
    ("Command10", [(33, 0x49, 1)]),
    ("Command11", [(34, 0x51, 1)]),
    ("Command1", [(27, 0x01, 0)]),
    ("Command9", [(8, 0x0E, 0)]),
    ("Image3", [(72, 0x23, 0)]),
    ("skb(55)", [(55, 0x08, 0)]),
    ("skb(189)", [(189, 0x0C, 0)]),
    ("Command32", "shift"),
]


def remote_events(keys):
    if keys == "shift":  # ? : left Shift held around the slash key
        return [("down", 160, 0x2A, 1, 0), ("down", 191, 0x35, 1, 0), ("up", 191, 0x35, 1, 0),
                ("up", 160, 0x2A, 1, 0)]
    events = []
    for vk, scan, extended in keys:
        events += [("down", vk, scan, 1, extended), ("up", vk, scan, 1, extended)]
    return events


def click_key(run, name):
    x, y = run.panel.centre(name)
    if name.startswith("Image"):
        run.screen.press(x, y)
        run.screen.release()
    else:
        run.screen.click(x, y)


def check_remote_desktop(run, menu, registry):
    if not menu.choose("远程桌面兼容(D)"):
        return
    receiver_has_keyboard(run, "choosing 远程桌面兼容")
    run.c.equal(registry.panel_values().get("RemoteDesktop"), "dword:00000001", "remote-desktop mode is stored")
    run.panel.refresh()
    for name, keys in REMOTE_CLICKS:
        run.receiver.set_mark()
        click_key(run, name)
        expected = remote_events(keys)
        lines = run.receiver.wait_hook_events(len(expected))
        run.c.equal(run.receiver.hook_events(lines), expected,
                    f"remote-desktop mode: {name} sends scan codes, the navigation keys extended")
        # The focused window's queue reports the left Shift as Shift (16).
        run.c.equal(run.receiver.message_events(lines), [(d, 16 if vk == 160 else vk) for d, vk, *_ in expected],
                    f"remote-desktop mode: the receiver gets the keys of {name}")
    run.c.equal(menu.checks().get("远程桌面兼容(D)"), True, "远程桌面兼容 shows its check mark")
    receiver_has_keyboard(run, "the menu with 远程桌面兼容 checked")
    if menu.choose("远程桌面兼容(D)"):
        run.expect_receiver_typing("switching remote-desktop mode off")
        run.receiver.set_mark()
        click_key(run, "Command10")
        run.expect_keys([("down", 33), ("up", 33)], "remote-desktop mode off: Page Up")
        run.c.equal(registry.panel_values().get("RemoteDesktop"), "dword:00000000", "and that is stored")


def receiver_has_keyboard(run, after):
    ok = run_wait(run, lambda: run.wine.facts("foreground").get("class") == "YgReceiver", 5)
    return run.c.check(ok, f"after {after} the receiver is the foreground window",
                       f"the foreground is {run.wine.facts('foreground')}")


def check_sign_in(run, menu, registry):
    exe = run.wine.host_path(run.wine.panel_exe)
    if not menu.choose("开机时启动(W)"):
        return
    run.expect_receiver_typing("choosing 开机时启动")
    value = registry.run_value()
    run.c.equal(value and value.lower(), reg_string(f'"{exe}"').lower(),
                "开机时启动 writes the quoted path of the panel under Run")
    run.c.equal(menu.checks().get("开机时启动(W)"), True, "开机时启动 shows its check mark")
    registry.apply(f'[{APPROVAL_KEY}]\r\n"{RUN_VALUE}"={TURNED_OFF}\r\n')
    run.c.equal(menu.checks().get("开机时启动(W)"), False, "turned off in Task Manager, 开机时启动 shows no mark")
    if menu.choose("开机时启动(W)"):
        run.expect_receiver_typing("choosing 开机时启动 after Task Manager turned it off")
        run.c.equal(registry.run_value(APPROVAL_KEY), None, "choosing it turns it on: Task Manager's record goes")
    if menu.choose("开机时启动(W)"):
        run.expect_receiver_typing("choosing 开机时启动 again")
        run.c.equal(registry.run_value(), None, "choosing it again removes the value")


def check_key_size(run, registry):
    menu = WindowMenu(run)
    panel = run.panel
    panel.refresh()
    before = panel.client()
    # The largest of 150% and 125% the screen has room for.
    size = 150 if 150 in menu.sizes() else 125
    grow, shown = size / 100, f"{size}%"
    if not menu.choose_size(size):
        return
    settle(run, lambda: panel.client()[2] - panel.client()[0] > before[2] - before[0])
    run.expect_receiver_typing(f"choosing {shown}")
    panel.refresh()
    cl, ct, cr, cb = panel.client()
    run.c.near([cr - cl, cb - ct], [round((before[2] - before[0]) * grow), round((before[3] - before[1]) * grow)], 2,
               f"at {shown} the client area grows as much")
    wrong = []
    for name in ("Comm1", "Image3", "skb(49)", "Command5", "Command23", "Frame4"):
        x, y, w, h = [int(n) for n in panel.children[name]["pos"].split(",")]
        row = panel.layout[name]
        expected = [run.px(int(row[k]) * grow) for k in ("left", "top", "width", "height")]
        if any(abs(a - e) > 1 for a, e in zip([x, y, w, h], expected)):
            wrong.append(f"{name} at {[x, y, w, h]}, expected {expected}")
    run.c.equal(wrong, [], f"at {shown} every key grows as much, the stroke pictures too")
    sw, sh = run.args.screen
    left, top, right, bottom = panel.rect()
    run.c.check(left >= 0 and top >= 0 and right <= sw and bottom <= sh, "the grown panel stays on the screen",
                f"panel {panel.rect()}")
    run.c.equal(registry.panel_values().get("KeySize"), f"dword:{size:08x}", f"{shown} is stored")
    run.screen.shot(f"keys-{size}.png")
    if menu.choose_size(100):
        settle(run, lambda: panel.client()[2] - panel.client()[0] < cr - cl)
        run.expect_receiver_typing("choosing 100%")
        cl, ct, cr, cb = panel.client()
        run.c.near([cr - cl, cb - ct], [before[2] - before[0], before[3] - before[1]], 1,
                   "back at 100% the client area is as before")
        run.c.equal(registry.panel_values().get("KeySize"), "dword:00000064", "100% is stored")


def settle(run, changed):
    """Waits until the panel has changed and then stays put: a panel that grew may still be moving
    back onto the screen."""
    previous = None

    def steady():
        nonlocal previous
        time.sleep(0.2)
        run.panel.refresh()
        now = run.panel.rect()
        done = now == previous and changed()
        previous = now
        return done

    run_wait(run, steady, 5)


def restart(run):
    """Closes the panel as its close box does and starts it again; True when it is back."""
    run.wine.probe("close", run.panel.CLASS)
    try:
        run.panel_proc.wait(10)
    except subprocess.TimeoutExpired:
        pass
    run.panel_proc = run.wine.start(run.wine.panel_exe)
    back = run_wait(run, lambda: run.wine.count(run.panel.CLASS) == 1, 30)
    if back:
        run_wait(run, lambda: run.wine.facts("tree", run.panel.CLASS).get("topmost") == "1", 10)
        run.panel = type(run.panel)(run.wine, run.layout_lines, run.dpi)
    return run.c.check(back, "the panel starts again")


def check_remembered_place(run, menu, registry):
    panel = run.panel
    if not menu.choose("记住位置和模式(P)"):
        return
    run.expect_receiver_typing("choosing 记住位置和模式")
    run.c.equal(registry.panel_values().get("RememberPlace"), "dword:00000001", "remembering is stored")
    # Dragged up and to the left by its bare area, then made compact.
    panel.refresh()
    start = panel.rect()
    x, y = panel.bare_point()
    run.screen.press(x, y)
    for step in range(1, 6):
        run.screen.move(x - 20 * step, y - 30 * step)
        time.sleep(0.05)
    run.screen.release()
    run_wait(run, lambda: panel.refresh() and panel.rect() != start, 3)
    run.screen.click(*panel.centre("Command2"))
    run_wait(run, lambda: panel.refresh() and panel.children["Command2"]["text"] == "+", 5)
    kept = panel.rect()
    run.c.check(kept[:2] != start[:2], "the panel was dragged and made compact", f"{start} -> {kept}")
    run.c.equal(registry.panel_values().get("PlaceDpi"), f"dword:{run.dpi:08x}",
                "the place is stored with the scale it was taken at")
    if not restart(run):
        return
    run.c.equal(run.panel.rect(), kept, "after a restart the panel stands where it was left")
    run.c.equal(run.panel.children["Command2"]["text"], "+", "and is compact")
    run.screen.shot("remembered.png")
    run.focus_receiver()
    # Compact: 。 is hidden, the candidate key 2 types instead.
    run.receiver.set_mark()
    run.screen.click(*run.panel.centre("skb(50)"))
    run.expect_keys([("down", 50), ("up", 50)], "a restart at the remembered place: the compact panel types")
    # Expanded again, remembering switched off: the next start is the usual one.
    run.screen.click(*run.panel.centre("Command2"))
    run_wait(run, lambda: run.panel.refresh() and run.panel.children["Command2"]["text"] == "-", 5)
    if menu.choose("记住位置和模式(P)"):
        run.expect_receiver_typing("choosing 记住位置和模式 again")
        values = registry.panel_values()
        run.c.equal((values.get("RememberPlace"), "Left" in values), ("dword:00000000", False),
                    "remembering off is stored and the place forgotten")
    if restart(run):
        sw, sh = run.args.screen
        left, top, right, bottom = run.panel.rect()
        run.c.near([left + (right - left) / 2, sh - bottom], [sw / 2, run.px(450)], 3,
                   "not remembering, the panel starts centred 450 twips above the screen's bottom")
        run.c.equal(run.panel.children["Command2"]["text"], "-", "and expanded")
        run.focus_receiver()


def run_wait(run, condition, timeout):
    end = time.monotonic() + timeout
    while True:
        value = condition()
        if value or time.monotonic() >= end:
            return value
        time.sleep(0.05)
