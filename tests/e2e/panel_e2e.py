#!/usr/bin/env python3
"""End-to-end checks of the real ygpanel.exe, clicked with the mouse and keys of our yg_desk.exe
(SendInput), which the system takes as a hand's. The mechanics are in driver.py.

Under Wine, scripts/e2e.sh prepares the Wine prefix and a private X display and passes the folders
in. On Windows, with --native, the programs are started directly:

    python tests/e2e/panel_e2e.py --native --bin <folder of the test tools> --panel <ygpanel.exe>
        --expected tests/data/expected_clicks.txt --out <folder for screenshots and logs>

Every check prints PASS or FAIL with what was expected and what arrived; the exit status is the
number of failures (capped at 100).
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import time
from pathlib import Path

import hover_checks
import out_of_way_checks
import reader_checks
import settings_checks
from driver import Programs, Receiver, Screen, log, numbers, wait_for
from appearance_e2e import Appearance

# ---------------------------------------------------------------------------------------------
# Small tools


class Checks:
    def __init__(self):
        self.passed = 0
        self.failed = []

    def check(self, ok, what, detail=""):
        if ok:
            self.passed += 1
            log(f"PASS {what}")
        else:
            self.failed.append(what)
            log(f"FAIL {what}" + (f"\n     {detail}" if detail else ""))
        return ok

    def equal(self, actual, expected, what):
        return self.check(actual == expected, what, f"expected: {expected!r}\n     arrived:  {actual!r}")

    def near(self, actual, expected, tolerance, what):
        ok = all(abs(a - e) <= tolerance for a, e in zip(actual, expected)) and len(actual) == len(expected)
        return self.check(ok, what, f"expected: {expected} (within {tolerance} px)\n     arrived:  {actual}")


# ---------------------------------------------------------------------------------------------
# The panel


class Panel:
    CLASS = "YgKeyPanel"

    def __init__(self, wine, layout_lines, dpi):
        self.wine = wine
        self.dpi = dpi
        self.layout = {}
        # What a click on each control must type, in the order of tests/data/expected_clicks.txt:
        # name: (kind, [("down", vk), ("up", vk), ...]).
        self.clicks = {}
        for line in layout_lines:
            kind, _, rest = line.rstrip("\r").partition(" ")
            head, _, last = rest.partition(" caption=" if kind == "control" else " keys=")
            row = dict(part.split("=", 1) for part in head.split())
            if kind == "control":
                row["caption"] = last
                self.layout[row["name"]] = row
            elif kind == "click":
                events = [("down" if e[0] == "d" else "up", int(e[1:])) for e in last.split()]
                self.clicks[row["name"]] = (row["kind"], events)
        self.by_id = {row["id"]: name for name, row in self.layout.items()}
        self.refresh()

    def px(self, twips):
        return round(twips * self.dpi / 1440)

    def typed(self, name, times=1):
        """The key events a click on the control must type, `times` clicks' worth."""
        return self.clicks[name][1] * times

    def refresh(self):
        # A window busy in the system's move loop can make one look fail; ask again.
        self.window, children = self.wine.tree(self.CLASS, attempts=3)
        self.children = {}
        for child in children:
            name = self.by_id.get(child.get("id"))
            if name and child.get("class") != "Edit":  # the combo box's own edit has id 1001
                self.children.setdefault(name, child)
        return self.window

    def rect(self):
        if "rect" not in self.window:
            raise RuntimeError(f"the panel window is gone: the probe said {self.window}")
        return numbers(self.window["rect"])

    def client(self):
        return numbers(self.window["client"])

    def centre(self, name):
        left, top, right, bottom = numbers(self.children[name]["rect"])
        return (left + right) // 2, (top + bottom) // 2

    def bare_point(self):
        """A spot of the panel's own client area: the strip under the bottom row."""
        left, top, _, bottom = self.client()
        return left + self.px(450), bottom - 1


# ---------------------------------------------------------------------------------------------
# The desktop around Wine: the work area Wine 8 reads from the X root window when its server
# starts


class Desktop:
    def __init__(self):
        self.changed = False

    def taskbar(self, screen, height):
        """A taskbar `height` pixels high at the bottom of the screen, or none."""
        self.changed = True
        if height:
            width, full = screen
            subprocess.run(["xprop", "-root", "-f", "_NET_WORKAREA", "32c", "-set", "_NET_WORKAREA",
                            f"0,0,{width},{full - height}"], check=False)
        else:
            subprocess.run(["xprop", "-root", "-remove", "_NET_WORKAREA"], check=False)

    def restore(self):
        if self.changed:
            self.taskbar(None, None)


# ---------------------------------------------------------------------------------------------
# The checks


class Run:
    def __init__(self, args):
        self.args = args
        self.c = Checks()
        self.wine = Programs(args.bin, args.panel, native=args.native)
        self.screen = Screen(args.out, self.wine)
        self.receiver = Receiver(self.wine, Path(args.out) / "receiver.log", self.screen)
        # Unless told, the display's own: the primary monitor's size and the system's DPI.
        args.screen = args.screen or self.screen.size()
        args.dpi = args.dpi or self.screen.dpi()
        self.dpi = args.dpi
        self.panel = None
        self.panel_proc = None
        self.layout_lines = []
        self.desktop = Desktop()
        self.appearance = Appearance(self)
        self.settings = settings_checks.Registry(self.wine)

    def px(self, twips):
        return round(twips * self.dpi / 1440)

    # -- set-up

    def start(self):
        # Windows belong to the Wine prefix, not to the X display: a panel left running in the
        # prefix would keep ours from starting.
        if not self.c.equal(self.wine.count(Panel.CLASS), 0, "no panel runs in the Wine prefix yet"):
            return False
        self.settings.start_from_defaults()
        ok = self.receiver.start(20, 20, 560, 300)
        if not self.c.check(ok, "the receiver starts and is ready"):
            return False
        self.panel_proc = self.wine.start(self.wine.panel_exe)
        if not self.c.check(wait_for(lambda: self.wine.count(Panel.CLASS) == 1, 30), "the panel window appears"):
            return False
        self.layout_lines = self.wine.run_tool("yg_layout_dump.exe", self.wine.host_path(self.args.expected)).splitlines()
        wait_for(lambda: self.wine.facts("tree", Panel.CLASS).get("topmost") == "1", 10)
        self.panel = Panel(self.wine, self.layout_lines, self.dpi)
        return True

    def focus_receiver(self):
        """Clicks into the receiver, as a user starts typing in a program: once, before the first
        click on a key. No check clicks into it again: the panel must leave it the keyboard."""
        self.screen.click(300, 250)
        return wait_for(lambda: self.wine.facts("foreground").get("class") == "YgReceiver", 10)

    def expect_receiver_typing(self, after):
        """The receiver is the foreground window, and the next click on a key types into it."""
        ok = wait_for(lambda: self.wine.facts("foreground").get("class") == "YgReceiver", 5)
        self.c.check(ok, f"after {after} the receiver is the foreground window",
                     f"the foreground is {self.wine.facts('foreground')}")
        self.panel.refresh()
        self.receiver.set_mark()
        self.screen.click(*self.panel.centre("Command29"))
        self.expect_keys(self.panel.typed("Command29"), f"after {after} a click on 。 types into the receiver")

    # -- checks kept in modules of their own

    def check_pictures(self):
        self.appearance.check_pictures()

    def check_colour_schemes(self):
        self.appearance.check_colour_schemes()

    def check_settings(self):
        settings_checks.check_settings(self, self.settings)

    def check_key_size(self):
        settings_checks.check_key_size(self, self.settings)

    def check_out_of_way(self):
        out_of_way_checks.check_out_of_way(self, self.settings)

    def check_hover(self):
        hover_checks.check_hover(self)

    def check_hold(self):
        hover_checks.check_hold(self)

    # -- start-up: size, place and styles

    def check_window(self):
        w = self.panel.window
        self.c.equal(w.get("text"), "雁格输入法" + " " * 33 + "qorin", "the window caption")
        for flag, value in (("topmost", "1"), ("noactivate", "1"), ("toolwindow", "1"), ("taskbar", "0"),
                            ("minimizebox", "0"), ("maximizebox", "0"), ("sizable", "0"), ("sysmenu", "1")):
            self.c.equal(w.get(flag), value, f"the panel window: {flag}={value}")
        self.c.equal(int(w.get("dpi", "0")), self.dpi, "the window's DPI")
        screen_w, screen_h = self.args.screen
        left, top, right, bottom = self.panel.rect()
        width, height = right - left, bottom - top
        # The panel asks for 5840 x 1800 twips with a frame of 45 twips at the sides and bottom and
        # 285 at the top, and puts the client area where such a frame leaves it; the system's own
        # frame goes round that and is thinner at 175% under Wine (it stays 3 pixels wide).
        cl, ct, cr, cb = self.panel.client()
        self.c.near([cr - cl, cb - ct], [self.px(5840 - 90), self.px(1800 - 330)], 1,
                    "the start-up client area is 5750 x 1470 twips")
        self.c.check(left <= cl and top <= ct and right >= cr and bottom >= cb, "the frame lies round the client area")
        self.c.near([left + width / 2], [screen_w / 2], 2, "the panel is centred")
        self.c.near([screen_h - bottom], [self.px(450)], 3, "the bottom edge is 450 twips above the screen's")
        cl, ct, cr, cb = self.panel.client()
        self.c.check(cr - cl >= self.px(5745) and cb - ct >= self.px(1460),
                     "the client area holds the whole layout", f"client {cr - cl} x {cb - ct}")

    def check_layout(self):
        missing, misplaced, hidden = [], [], []
        for name, row in self.panel.layout.items():
            child = self.panel.children.get(name)
            if not child:
                missing.append(name)
                continue
            x, y, w, h = numbers(child["pos"])
            expected = [self.px(int(row["left"])), self.px(int(row["top"])), self.px(int(row["width"]))]
            if row["kind"] != "combo":
                expected.append(self.px(int(row["height"])))
            actual = [x, y, w, h][:len(expected)]
            if any(abs(a - e) > 2 for a, e in zip(actual, expected)):
                misplaced.append(f"{name} at {actual}, expected {expected}")
            if (child["visible"] == "1") == (name in reader_checks.UNSEEN):
                hidden.append(name)
            if row["caption"] and row["kind"] != "combo" and child["text"] != row["caption"]:
                misplaced.append(f"{name} reads {child['text']!r}, expected {row['caption']!r}")
        self.c.equal(missing, [], "every control of the layout exists")
        self.c.equal(misplaced, [], "every control stands where the layout puts it, with its caption")
        self.c.equal(hidden, [], "every control is visible at start but the picture stores and Combo1")
        # Where controls overlap, the one stated on top must be drawn on top.
        for top, beneath in (("Command76", "Comm9"), ("Image3", "Image6"), ("skb(53)", "Command2"),
                             ("Command9", "Command1"), ("Command18", "Command17"), ("Frame6", "Combo1"),
                             ("Image3", "Image1"), ("Image3", "Image2")):
            zt, zb = int(self.panel.children[top]["z"]), int(self.panel.children[beneath]["z"])
            self.c.check(zt < zb, f"{top} lies over {beneath}", f"z {zt} and {zb}")

    # -- at start-up the panel is active: the keyboard moves the focus through it

    def check_startup_keyboard(self):
        fg = self.wine.facts("foreground")
        self.c.equal(fg.get("class"), Panel.CLASS, "at start-up the panel is the active window")
        kids = self.panel.children
        self.c.equal(fg.get("focus"), kids["Command2"]["hwnd"], "at start-up the \"-\" key has the focus")
        self.c.equal(self.face("skb(49)"), self.face("Command1"), "no candidate key has a focus colour yet")
        steps = (("Tab", "skb(49)"), ("Tab", "skb(48)"), ("shift+Tab", "skb(49)"), ("shift+Tab", "Command2"))
        for key, target in steps:
            self.screen.key(key)
            focused = wait_for(lambda: self.wine.facts("foreground").get("focus") == kids[target]["hwnd"], 3)
            self.c.check(focused, f"{key} moves the focus to {target} in the layout's tab order")
        time.sleep(0.2)
        self.c.equal(self.face("skb(48)"), (255, 255, 255), "a candidate key that lost the focus turns white")
        self.screen.key("Tab")
        wait_for(lambda: self.wine.facts("foreground").get("focus") == kids["skb(49)"]["hwnd"], 3)
        time.sleep(0.2)
        self.c.equal(self.face("skb(49)"), (224, 255, 0), "the candidate key with the focus turns yellow-green")

    def face(self, name):
        """A pixel of the key's face, clear of its edge and caption."""
        left, top, _, _ = numbers(self.panel.children[name]["rect"])
        return Screen.pixel(self.screen.shot("focus.png"), left + self.px(60), top + self.px(60))

    def check_layout_list(self):
        items = [line.split("=", 1)[1] for line in self.wine.probe("items", Panel.CLASS,
                                                                   self.panel.layout["Combo1"]["id"]).splitlines()
                 if line.startswith("item=")]
        # Windows has the user's own layouts, each with a name. Wine has one, an input method that
        # Wine 8 describes as "Wine XIM" and Wine 10 not at all.
        items = [i.rstrip("\r") for i in items]
        if self.args.native:
            self.c.check(items and all(items), "Combo1 lists the installed layouts", f"items: {items}")
        else:
            self.c.check(items in (["Wine XIM"], [""]), "Combo1 lists Wine's one layout", f"items: {items}")

    def check_tooltips(self):
        for name, tip in (("Image6", "＝I键"), ("Image15", "＝L键"), ("Command1", "=键Esc"),
                          ("Command11", "=键PageDown"), ("Image3", None)):
            self.screen.move(*self.panel.bare_point())
            time.sleep(0.3)
            self.screen.move(*self.panel.centre(name))
            shown = wait_for(lambda: self.visible_tip(), 3) if tip else (time.sleep(1.5), self.visible_tip())[1]
            self.c.equal(shown, tip, f"hovering over {name} shows " + (f"the tip {tip}" if tip else "no tip"))
        self.screen.move(*self.panel.bare_point())
        self.expect_receiver_typing("the tooltips")

    def visible_tip(self):
        return self.wine.facts("tip").get("tip") or None

    # -- every key-pad control, clicked as a user clicks it

    def check_clicks(self):
        self.receiver.set_mark()
        start_mark = self.receiver.mark
        for name, (kind, events) in self.panel.clicks.items():
            self.receiver.set_mark()
            x, y = self.panel.centre(name)
            if kind == "stroke":
                self.screen.press(x, y)
                self.screen.release()
            else:
                self.screen.click(x, y)
            self.expect_keys(events, f"a click on {name} ({self.panel.layout[name]['caption'] or kind})")
        lines = self.receiver.lines()[start_mark:]
        self.c.equal(self.receiver.lost_activation(lines), [], "the receiver stays active throughout the clicks")
        self.c.equal(self.wine.facts("foreground").get("class"), "YgReceiver",
                     "the receiver is still the foreground window")

    def check_screen_reader(self):
        reader_checks.check_names_and_roles(self)
        reader_checks.check_default_actions(self)

    def expect_keys(self, events, what):
        lines = self.receiver.wait_hook_events(len(events))
        # A low-level hook sees the Ctrl the panel sends (17) as the left Ctrl (162) on Windows and
        # under Wine 10; Wine 8 passes it on as sent.
        hook = [(d, 17 if vk == 162 else vk, *rest) for d, vk, *rest in self.receiver.hook_events(lines)]
        expected = [(d, vk, 0, 1, 0) for d, vk in events]
        ok = self.c.equal(hook, expected, what + ": the events the system saw (scan 0, injected, not extended)")
        # The focused window gets the same keys; its queue reports the left Shift as Shift (16).
        # Its queue may lag behind the hook on a busy machine.
        messages = [(d, 16 if vk == 160 else vk) for d, vk in events]
        wait_for(lambda: len(self.receiver.message_events(self.receiver.new_lines())) >= len(messages), 5)
        self.c.equal(self.receiver.message_events(self.receiver.new_lines()), messages,
                     what + ": the keys the focused window got")
        return ok

    # -- quick clicks: a double click is two clicks

    def check_quick_clicks(self):
        for name in ("skb(50)", "skb(189)", "Command29", "Comm1"):
            self.receiver.set_mark()
            self.screen.clicks(*self.panel.centre(name), 2, 80)
            self.expect_keys(self.panel.typed(name, 2),
                             f"two quick clicks on {name} ({self.panel.layout[name]['caption']}) type twice")

    def check_stroke_pad(self):
        name = "Image3"
        x, y = self.panel.centre(name)
        left, top, _, _ = numbers(self.panel.children[name]["rect"])
        # The first screen pixel, in from the top-left corner, inside the key's outline: white on
        # the raised key, grey on the sunken. The outline is one pixel of the 25-pixel design,
        # scaled to the key's width and rounded to whole pixels (at least one).
        w = numbers(self.panel.children[name]["pos"])[2]
        inner = max(1, int(w / 25 + 0.5))
        self.receiver.set_mark()
        self.screen.press(x, y)
        time.sleep(0.3)
        pressed_shot = self.screen.shot("stroke-pressed.png")
        pressed = Screen.pixel(pressed_shot, left + inner, top + inner)
        self.c.equal(pressed, (128, 128, 128), "a held stroke key shows its pressed picture")
        self.appearance.check_pressed_picture(pressed_shot, name)
        self.c.equal(self.receiver.hook_events(self.receiver.new_lines()), [], "a press alone types nothing")
        self.screen.release()
        self.expect_keys(self.panel.typed("Image3"), "the release of the H key")
        time.sleep(0.2)
        normal = Screen.pixel(self.screen.shot("stroke-released.png"), left + inner, top + inner)
        self.c.equal(normal, (255, 255, 255), "a released stroke key shows its normal picture")

        self.receiver.set_mark()
        self.screen.press(*self.panel.centre("Image12"), button=3)
        self.screen.release(button=3)
        self.expect_keys(self.panel.typed("Image12"), "the right button on the K key")

        self.receiver.set_mark()
        self.screen.press(*self.panel.centre("Image9"))
        self.screen.move(x + 200, y - 300)  # far off the key, off the panel
        self.screen.release()
        self.expect_keys(self.panel.typed("Image9"), "a press on the J key released outside it")

        self.receiver.set_mark()
        bx, by = self.panel.centre("Comm1")
        self.screen.press(bx, by)
        self.screen.move(bx, by - 300)
        self.screen.release()
        self.expect_keys([], "a button pressed and released off it types nothing")

    # -- the "-"/"+" switch

    def check_modes(self):
        self.screen.shot("expanded.png")
        start_client = self.panel.client()
        for pair in range(2):
            before = self.panel.refresh() and self.panel.client()
            self.receiver.set_mark()
            self.screen.click(*self.panel.centre("Command2"))
            # The caption changes first and the panel moves last: another process can look in between.
            wait_for(lambda: self.panel.refresh() and self.panel.children["Command2"]["text"] == "+"
                     and abs(self.panel.client()[0] - before[0] - self.px(3020)) <= 1, 5)
            cl, ct, cr, cb = self.panel.client()
            self.c.near([cr - cl, cb - ct], [self.px(2750), self.px(1120)], 1,
                        f"compact mode {pair + 1}: the client area is 2750 x 1120 twips")
            self.c.near([cl - before[0], ct - before[1]], [self.px(3020), 0], 1,
                        f"compact mode {pair + 1}: the panel moves 3020 twips right, its top stays")
            kids = self.panel.children
            self.c.equal([kids[n]["visible"] for n in ("Frame1", "Command19", "Command29", "Command35")],
                         ["0"] * 4, f"compact mode {pair + 1}: the radicals, 、 。 and ， are hidden")
            self.c.equal([kids[n]["visible"] for n in ("Frame4", "Frame6", "Command72", "Command73")],
                         ["1"] * 4, f"compact mode {pair + 1}: the frames and 鹿 骨 stay shown")
            self.c.equal([numbers(kids["Frame4"]["pos"])[0], numbers(kids["Frame6"]["pos"])[0]],
                         [0, self.px(1835)], f"compact mode {pair + 1}: Frame4 and Frame6 move left")
            self.c.near([numbers(kids["Command5"]["pos"])[3]], [self.px(1120)], 1,
                        f"compact mode {pair + 1}: the word-building key is 1120 twips high")
            self.c.check(int(kids["Frame4"]["z"]) < int(kids["Command72"]["z"]),
                         f"compact mode {pair + 1}: Frame4 covers 鹿")
            if pair == 0:
                self.screen.shot("compact.png")
            self.screen.click(*self.panel.centre("Command2"))
            wait_for(lambda: self.panel.refresh() and self.panel.children["Command2"]["text"] == "-"
                     and abs(self.panel.client()[0] - before[0]) <= 1, 5)
            cl, ct, cr, cb = self.panel.client()
            self.c.near([cr - cl, cb - ct], [self.px(5770), self.px(1470)], 1,
                        f"expanded again {pair + 1}: the client area is 5770 x 1470 twips")
            self.c.near([cl, ct], before[:2], 1, f"expanded again {pair + 1}: the panel is back where it was")
            kids = self.panel.children
            self.c.equal([kids[n]["visible"] for n in ("Frame1", "Command19", "Command29", "Command35")],
                         ["1"] * 4, f"expanded again {pair + 1}: everything is shown")
            self.c.equal(numbers(kids["Frame6"]["pos"])[0], self.px(4860),
                         f"expanded again {pair + 1}: Frame6 stands at 4860")
            self.c.near([numbers(kids["Command5"]["pos"])[3]], [self.px(1440)], 1,
                        f"expanded again {pair + 1}: the word-building key is 1440 twips high")
            self.c.equal(self.receiver.hook_events(self.receiver.new_lines()), [],
                         f"switching modes {pair + 1} types nothing")
        self.c.near(self.panel.client()[:2], start_client[:2], 1, "after two pairs the panel is where it started")
        self.expect_receiver_typing("switching modes")

    # -- dragging

    def check_drag(self):
        self.panel.refresh()
        self.receiver.set_mark()
        drag_mark = self.receiver.mark
        before = self.panel.rect()
        x, y = self.panel.bare_point()
        self.screen.press(x, y)
        for step in range(1, 6):
            self.screen.move(x - 8 * step, y - 10 * step)
            time.sleep(0.05)
        self.screen.release()
        wait_for(lambda: self.panel.refresh() and self.panel.rect() != before, 3)
        after = self.panel.rect()
        self.c.equal([after[0] - before[0], after[1] - before[1]], [-40, -50],
                     "dragging the bare area moves the panel with the mouse")
        self.receiver.set_mark()
        bx, by = self.panel.centre("Comm2")
        self.screen.press(bx, by)
        for step in range(1, 6):
            self.screen.move(bx + 8 * step, by + 10 * step)
            time.sleep(0.05)
        self.screen.release()
        time.sleep(0.3)
        self.panel.refresh()
        self.c.equal(self.panel.rect(), after, "pressing on a button and moving does not move the panel")
        self.c.equal(self.receiver.hook_events(self.receiver.new_lines()), [],
                     "and the button, released off it, types nothing")
        # Wine's move loop activates the panel; the panel gives the keyboard back when it ends.
        if self.receiver.lost_activation(self.receiver.lines()[drag_mark:]):
            log("NOTE under Wine the move loop took the activation from the receiver for a while")
        self.expect_receiver_typing("a drag")
        self.drag_title_bar()

    def drag_title_bar(self):
        """The panel's own title bar runs the same move loop."""
        self.panel.refresh()
        before = self.panel.rect()
        left, top, _, _ = before
        x, y = left + self.px(1500), (top + self.panel.client()[1]) // 2
        self.screen.press(x, y)
        for step in range(1, 6):
            self.screen.move(x + 8 * step, y + 10 * step)
            time.sleep(0.05)
        self.screen.release()
        wait_for(lambda: self.panel.refresh() and self.panel.rect() != before, 3)
        after = self.panel.rect()
        self.c.equal([after[0] - before[0], after[1] - before[1]], [40, 50],
                     "dragging the title bar moves the panel with the mouse")
        self.expect_receiver_typing("a drag by the title bar")
        self.open_window_menu()

    def open_window_menu(self):
        """A right click on the title bar opens the system's window menu; Escape closes it."""
        left, top, _, _ = self.panel.rect()
        self.screen.click(left + self.px(1500), (top + self.panel.client()[1]) // 2, button=3)
        menu = wait_for(lambda: any("class=#32768" in line and "visible=1" in line
                                    for line in self.wine.probe("list").splitlines()), 5)
        self.c.check(menu, "a right click on the title bar opens the window menu")
        if menu:
            self.act_in_window_menu()
        # Closed as a user closes it without choosing: Escape goes to the menu, which holds the
        # keyboard while it is open. (A click on the bare desktop closes it on Windows; Wine
        # passes injected input there to the desktop window instead.)
        self.screen.key("Escape")
        wait_for(lambda: not any("class=#32768" in line and "visible=1" in line
                                 for line in self.wine.probe("list").splitlines()), 5)
        self.expect_receiver_typing("the window menu")

    def act_in_window_menu(self):
        """A screen reader's default action while the window menu is open, which holds the
        keyboard: it is dropped, as a click would be, instead of typing into the menu."""
        self.receiver.set_mark()
        answer = self.wine.run_tool("yg_reader.exe", "act", Panel.CLASS, self.panel.layout["skb(57)"]["id"]).strip()
        self.c.equal(answer, "hr=0x0", "the default action of 9 with the window menu open is taken")
        time.sleep(0.5)
        self.c.equal(self.receiver.hook_events(self.receiver.new_lines()), [],
                     "with the window menu open, the default action of 9 sends no keys")
        self.c.check(any("class=#32768" in line and "visible=1" in line for line in self.wine.probe("list").splitlines()),
                     "and the window menu stays open")

    # -- a right or a middle press on the bare panel does nothing; a right click on a key neither

    def check_other_presses(self):
        for button, name in ((3, "right"), (2, "middle")):
            self.panel.refresh()
            before = self.panel.rect()
            self.receiver.set_mark()
            x, y = self.panel.bare_point()
            self.screen.press(x, y, button=button)
            self.screen.release(button=button)
            # With the pointer gone elsewhere, the panel must still be where it was.
            self.screen.move(x - 60, y - 80)
            time.sleep(0.5)
            self.screen.move(x - 70, y - 90)
            time.sleep(0.5)
            self.panel.refresh()
            self.c.equal(self.panel.rect(), before, f"a {name} press on the bare panel does not move it")
            self.c.equal(self.receiver.hook_events(self.receiver.new_lines()), [],
                         f"a {name} press on the bare panel types nothing")
            # The release reaches the panel as a request for a context menu, which it has none of.
            self.c.equal(self.receiver.lost_activation(self.receiver.new_lines()), [],
                         f"a {name} press on the bare panel leaves the receiver active and focused")
            self.expect_receiver_typing(f"a {name} press on the bare panel")
        # A key passes its right release up to the panel as the same request.
        self.receiver.set_mark()
        self.screen.click(*self.panel.centre("skb(57)"), button=3)
        time.sleep(0.5)
        self.c.equal(self.receiver.hook_events(self.receiver.new_lines()), [], "a right click on the key 9 types nothing")
        self.c.equal(self.receiver.lost_activation(self.receiver.new_lines()), [],
                     "a right click on the key 9 leaves the receiver active and focused")
        self.expect_receiver_typing("a right click on the key 9")

    # -- staying on top

    def check_topmost(self):
        self.panel.refresh()
        left, top, right, bottom = self.panel.rect()
        # Another program's topmost window over the left half of the panel.
        cover = self.wine.start(self.wine.bin / "yg_probe.exe", "cover", left - 10, top - 10,
                                (right - left) // 2, bottom - top + 20, 8)
        covered = wait_for(lambda: self.wine.facts("zorder", "YgCover", Panel.CLASS).get("higher") == "YgCover", 8)
        self.c.check(covered, "another topmost window lies over the panel")
        x, y = self.panel.bare_point()
        bare_x = right - self.px(800)
        self.screen.move(bare_x, y)
        self.screen.move(bare_x + 3, y)
        back = wait_for(lambda: self.wine.facts("zorder", "YgCover", Panel.CLASS).get("higher") == Panel.CLASS, 5)
        self.c.check(back, "moving the mouse over the bare panel brings it back on top")
        cover.kill()
        self.expect_receiver_typing("another topmost window")

    # -- one copy only

    def second_start(self):
        """Starts the panel again; True when the second copy ends at once."""
        second = self.wine.start(self.wine.panel_exe)
        try:
            return second.wait(15) is not None
        except subprocess.TimeoutExpired:
            return False

    def check_second_copy(self):
        self.panel.refresh()
        before = self.panel.rect()
        self.c.check(self.second_start(), "a second start ends at once")
        self.c.equal(self.wine.count(Panel.CLASS), 1, "there is still one panel window")
        self.panel.refresh()
        self.c.equal(self.panel.rect(), before, "the running copy is unchanged")
        self.expect_receiver_typing("a second start")

    # -- help

    def check_help(self):
        chm = self.wine.panel_exe.parent / "ygHelp.chm"
        hidden = chm.with_suffix(".chm.away")
        if chm.exists():
            self.screen.click(*self.panel.centre("Cmm2"))
            viewer = wait_for(lambda: self.wine.count("HH Parent") >= 1, 20)
            self.c.check(viewer, "with the help file beside the program the help viewer opens")
            if viewer:
                time.sleep(1)
                self.screen.shot("help.png")
                viewer_pid = self.wine.facts("tree", "HH Parent").get("pid")
                self.c.check(wait_for(lambda: self.wine.facts("foreground").get("pid") == viewer_pid, 5),
                             "the help viewer the user asked for is the foreground program",
                             f"the foreground is {self.wine.facts('foreground')}")
                self.wine.probe("close", "HH Parent")
                wait_for(lambda: self.wine.count("HH Parent") == 0, 10)
                self.expect_receiver_typing("closing the help viewer")
            chm.rename(hidden)
        else:
            self.c.check(False, "the help file is beside the program", f"{chm} missing")
        try:
            for attempt in (1, 2):
                self.screen.click(*self.panel.centre("Cmm2"))
                box = wait_for(lambda: self.message_box(), 10)
                self.c.check(box, f"without the help file, click {attempt} shows 未找到文件")
                if not box:
                    break
                if attempt == 1:
                    self.screen.shot("help-missing.png")
                self.screen.click(*box)
                self.c.check(wait_for(lambda: not self.message_box(), 5), f"OK closes message {attempt}")
                self.expect_receiver_typing(f"message {attempt}")
        finally:
            if hidden.exists():
                hidden.rename(chm)
        self.receiver.set_mark()
        self.screen.click(*self.panel.centre("Comm1"))
        self.expect_keys(self.panel.typed("Comm1"), "after the message the panel still types")

    def message_box(self):
        """The OK button's centre of the panel's 未找到文件 message box, once a user can see it: the
        box exists before it is placed and shown, and a click then lands beside it."""
        window, children = self.wine.tree("#32770")
        if window.get("visible") != "1" or not any(c["text"] == "未找到文件" for c in children):
            return None
        for c in children:
            if c["class"] == "Button":
                left, top, right, bottom = numbers(c["rect"])
                return (left + right) // 2, (top + bottom) // 2
        return None

    # -- a program none of us wrote

    def check_notepad(self):
        self.wine.start("notepad")
        if not self.c.check(wait_for(lambda: self.wine.count("Notepad") == 1, 20), "Wine's notepad starts"):
            return
        # Out of the panel's way: with no window manager the X server raises the window that
        # becomes active over everything, Wine's topmost panel included.
        self.wine.probe("move", "Notepad", 20, 20, 520, 280)
        time.sleep(0.5)
        window, _ = self.wine.tree("Notepad")
        left, top, right, bottom = numbers(window["rect"])
        self.screen.click((left + right) // 2, (top + bottom) // 2)
        wait_for(lambda: (lambda f: f.get("class") == "Notepad" and f.get("focus_class") == "Edit")(
            self.wine.facts("foreground")), 10)
        self.panel.refresh()
        clicks = ["Comm1", "Command16", "Command18", "Command32", "Command33", "Command43", "Command44", "Command12"]
        for name in clicks:
            self.screen.click(*self.panel.centre(name))
            time.sleep(0.1)
        expected = 'ilhihk()?!:"jilhhjlk1'
        text = wait_for(lambda: (lambda t: t if t == expected else None)(self.notepad_text()), 5) or self.notepad_text()
        self.c.equal(text, expected, "notepad receives 虫 ( ) ? ! ： ” 的 as its keys' text")
        self.c.equal(self.wine.facts("foreground").get("class"), "Notepad", "notepad stays the active window")
        self.screen.shot("notepad.png")
        self.wine.probe("close", "Notepad")

    def notepad_text(self):
        return self.wine.facts("text", "Notepad", "Edit").get("text", "")

    # -- closing

    def check_close(self):
        self.wine.probe("close", Panel.CLASS)
        try:
            ended = self.panel_proc.wait(10) is not None
        except subprocess.TimeoutExpired:
            ended = False
        self.c.check(ended, "closing the panel ends the program")
        self.c.equal(self.wine.count(Panel.CLASS), 0, "no panel window is left")

    # -- back onto the screen when the displays change

    def check_stranded(self):
        self.panel.refresh()
        left, top, right, bottom = self.panel.rect()
        w, h = right - left, bottom - top
        sw, sh = self.args.screen
        cases = (
            ("a display change", (0x7E, 24, (sh << 16) | sw), (-w // 3, sh - h // 2), [0, sh - h, w, sh]),
            ("a work-area change", (0x1A, 0x2F, 0), (sw - w // 2, -h // 3), [sw - w, 0, sw, h]),
        )
        for what, message, place, expected in cases:
            # Where a user's drag could leave it, partly off the screen.
            self.wine.probe("move", Panel.CLASS, *place, w, h)
            time.sleep(0.5)
            self.panel.refresh()
            self.c.equal(self.panel.rect()[:2], list(place), f"before {what}: the panel stays partly off the screen")
            self.wine.probe("message", Panel.CLASS, 0x1A, 0x14, 0)  # another setting: the wallpaper
            time.sleep(0.3)
            self.panel.refresh()
            self.c.equal(self.panel.rect()[:2], list(place), f"before {what}: another setting leaves it there")
            self.wine.probe("message", Panel.CLASS, *message)
            wait_for(lambda: self.panel.refresh() and self.panel.rect() != [place[0], place[1], place[0] + w,
                                                                              place[1] + h], 5)
            self.c.equal(self.panel.rect(), expected, f"{what} brings it back by the least distance")
        self.screen.shot("stranded.png")

    # -- a taskbar taller than 30 pixels

    def fresh_wine(self, taskbar, plain_layout=False):
        """Ends every program in the prefix and its server, so that the next start reads the work
        area anew, and starts the panel again (with the receiver, for a plain layout)."""
        self.screen.close()  # yg_desk too: it starts again with the next input
        self.wine.stop_all()
        ended = subprocess.run(["timeout", "120", "wineserver", "-w"], check=False).returncode == 0
        if not self.c.check(ended, f"{taskbar} px taskbar: the Wine server ends with its programs"):
            return False
        self.desktop.taskbar(self.args.screen, taskbar)
        if plain_layout and not self.c.check(self.receiver.start(20, 20, 560, 300), "the receiver starts again"):
            return False
        self.panel_proc = self.wine.start(self.wine.panel_exe)
        if not self.c.check(wait_for(lambda: self.wine.count(Panel.CLASS) == 1, 30),
                            f"{taskbar} px taskbar: the panel starts again"):
            return False
        wait_for(lambda: self.wine.facts("tree", Panel.CLASS).get("topmost") == "1", 10)
        self.panel = Panel(self.wine, self.layout_lines, self.dpi)
        return True

    def check_taskbars(self):
        # The taskbars are Wine's stand-ins (an X property), and Wine's one layout is that of the
        # prefix's English locale, not Chinese: the tip shows. On Windows the desktop has its own
        # taskbar and layouts.
        if not self.args.native:
            self.check_taskbar(40)
            self.check_taskbar(48, plain_layout=True)

    def check_taskbar(self, height, plain_layout=False):
        if not self.fresh_wine(height, plain_layout):
            return
        sw, sh = self.args.screen
        work_bottom = sh - height
        monitor = self.wine.probe("monitors").splitlines()[0].rstrip("\r")
        if not self.c.equal(monitor, f"monitor=0,0,{sw},{sh} work=0,0,{sw},{work_bottom} primary=1",
                            f"{height} px taskbar: Wine reports the work area"):
            return
        left, top, right, bottom = self.panel.rect()
        lowest = max(numbers(c["rect"])[3] for c in self.panel.children.values() if c["visible"] == "1")
        self.c.check(bottom <= work_bottom and lowest <= work_bottom,
                     f"{height} px taskbar: no part of the panel lies under it",
                     f"window bottom {bottom}, lowest control {lowest}, work area bottom {work_bottom}")
        # 450 twips above the screen's bottom where that clears the taskbar, else right on it.
        self.c.near([bottom], [min(sh - self.px(450), work_bottom)], 3,
                    f"{height} px taskbar: the bottom edge is as low as it may be")
        self.c.near([left + (right - left) / 2], [sw / 2], 2, f"{height} px taskbar: the panel is still centred")
        self.screen.shot(f"taskbar-{height}.png")
        if plain_layout:
            self.check_no_input_method_tip(work_bottom)
        self.check_close()

    # -- the tip for stroke codes that would become letters

    def tip(self):
        window, _ = self.wine.tree("YgTip")
        return window if window.get("visible") == "1" else None

    def check_no_input_method_tip(self, work_bottom):
        if not self.c.check(self.focus_receiver(), "with a plain layout, the receiver has the keyboard"):
            return
        focused = len(self.receiver.lines())
        self.receiver.set_mark()
        self.screen.click(*self.panel.centre("Comm1"))
        self.expect_keys(self.panel.typed("Comm1"), "虫 with a plain layout: the keys go out all the same")
        tip = wait_for(self.tip, 5)
        if not self.c.check(tip, "虫 with a plain layout: a tip shows"):
            return
        self.c.equal(tip.get("text"), "当前不是中文输入法，笔画码会作为字母输入。请先切换到雁格输入法。", "the tip says why")
        for flag, value in (("noactivate", "1"), ("topmost", "1"), ("owner", "0x0"), ("taskbar", "0")):
            self.c.equal(tip.get(flag), value, f"the tip window: {flag}={value}")
        self.c.equal(self.wine.facts("foreground").get("class"), "YgReceiver", "the tip leaves the receiver active")
        sw, _ = self.args.screen
        tl, tt, tr, tb = numbers(tip["rect"])
        pl, pt, pr, _ = self.panel.rect()
        self.c.check(tb <= pt and tr - tl <= pr - pl, "the tip stands above the panel, no wider than it",
                     f"tip {tip['rect']}, panel {self.panel.window['rect']}")
        self.c.check(tl >= 0 and tt >= 0 and tr <= sw and tb <= work_bottom, "the tip lies inside the work area")
        self.screen.shot("tip.png")
        self.receiver.set_mark()
        self.screen.click(*self.panel.centre("Command29"))
        self.expect_keys(self.panel.typed("Command29"), "。 with a plain layout")
        self.c.check(wait_for(lambda: not self.tip(), 3), "the next click takes the tip away; 。 shows none")
        self.screen.click(*self.panel.centre("Command17"))
        self.c.check(wait_for(self.tip, 5), "你好 with a plain layout: the tip shows again")
        self.c.check(wait_for(lambda: not self.tip(), 12), "the tip goes by itself after a few seconds")
        self.receiver.set_mark()
        self.screen.press(*self.panel.centre("Image3"))
        self.screen.release()
        self.expect_keys(self.panel.typed("Image3"), "the H stroke key with a plain layout")
        time.sleep(1)
        self.c.check(not self.tip(), "a stroke key shows no tip")
        self.c.equal(self.receiver.lost_activation(self.receiver.lines()[focused:]), [],
                     "the receiver stays active with the tip shown and gone")


# Every check in its order, with one word for where the quick set runs it: "scaling" for what
# depends on the display's scaling, at every DPI; "once" for the rest, at 96 DPI only
# (--scaling-only leaves these out). Start-up and the window's size and place come first always.
CHECKS = (
    ("scaling", "check_layout"),
    ("scaling", "check_pictures"),
    ("once", "check_layout_list"),
    ("once", "check_startup_keyboard"),
    ("once", "check_colour_schemes"),
    ("scaling", "focus_receiver"),
    ("once", "check_tooltips"),
    ("once", "check_clicks"),
    ("once", "check_quick_clicks"),
    ("scaling", "check_stroke_pad"),
    ("once", "check_screen_reader"),
    ("scaling", "check_modes"),
    ("once", "check_drag"),
    ("once", "check_other_presses"),
    ("once", "check_topmost"),
    ("once", "check_second_copy"),
    ("once", "check_help"),
    ("once", "check_settings"),
    ("scaling", "check_key_size"),
    ("once", "check_out_of_way"),
    ("scaling", "check_hover"),
    ("once", "check_hold"),
    ("once", "check_notepad"),
    ("once", "check_stranded"),
    ("scaling", "check_close"),
    ("once", "check_taskbars"),
)
assert {where for where, _ in CHECKS} == {"scaling", "once"} and all(hasattr(Run, name) for _, name in CHECKS)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--bin", required=True, help="folder of yg_probe.exe, yg_receiver.exe, yg_layout_dump.exe")
    parser.add_argument("--panel", required=True, help="ygpanel.exe")
    parser.add_argument("--out", required=True, help="folder for screenshots and logs")
    parser.add_argument("--expected", required=True, help="tests/data/expected_clicks.txt")
    parser.add_argument("--dpi", type=int, help="the display's DPI (default: the system's)")
    parser.add_argument("--screen", type=lambda s: tuple(int(n) for n in s.split("x")[:2]),
                        help="WxH of the primary monitor (default: its own)")
    parser.add_argument("--native", action="store_true", help="on Windows: start the programs directly, not through wine")
    parser.add_argument("--smoke", action="store_true", help="start-up, 虫 into notepad and close only")
    parser.add_argument("--scaling-only", action="store_true", help="only the checks that depend on the scaling")
    parser.add_argument("--only", type=lambda s: s.split(","), help="only these checks of CHECKS, comma-separated")
    args = parser.parse_args()
    Path(args.out).mkdir(parents=True, exist_ok=True)

    r = Run(args)
    begin = time.monotonic()
    try:
        if r.start():
            r.check_window()
            if args.smoke:
                r.check_notepad()
                r.check_close()
            else:
                for where, name in CHECKS:
                    if (where == "scaling" or not args.scaling_only) and (not args.only or name in args.only):
                        getattr(r, name)()
    finally:
        r.screen.close()
        r.wine.stop_all()
        r.desktop.restore()
        r.settings.put_back()
    log(f"\n{r.c.passed} passed, {len(r.c.failed)} failed in {time.monotonic() - begin:.0f} s "
        f"(screenshots and logs in {args.out})")
    for what in r.c.failed:
        log(f"  failed: {what}")
    return min(len(r.c.failed), 100)


if __name__ == "__main__":
    sys.exit(main())
