"""Hover to click and hold to repeat, chosen from the window menu as a user chooses them: the
pointer resting on a key clicks it once, with a mark that fills while it waits; 退笔 held down
repeats at the keyboard's delay and speed. Nothing here clicks into the receiver: the keys a rest
types must reach it all the same. Used by panel_e2e.py, which passes its run in; each check leaves
its setting off again.
"""

import math
import time

from driver import read_png
from settings_checks import WindowMenu, run_wait

DWELL_TIMES = ["关闭", "0.8 秒", "1.2 秒", "2 秒"]
# 虫's code, ilhihk, as the keys I L H I H K.
INSECT = [(d, vk, 0, 1, 0) for vk in (73, 76, 72, 73, 72, 75) for d in ("down", "up")]


def check_hover(run):
    """At 0.8 秒, the rests and the mark (which depends on the scaling); 关闭 again."""
    menu = WindowMenu(run)
    if menu.choose_in_submenu("悬停点击(V)", DWELL_TIMES, "关闭", "0.8 秒"):
        away(run)
        check_rests(run)
        menu.choose_in_submenu("悬停点击(V)", DWELL_TIMES, "0.8 秒", "关闭")
        away(run)


def check_hold(run):
    """With 按住连发, a held 退笔 and a short click on it; off again."""
    menu = WindowMenu(run)
    if menu.choose("按住连发(E)"):
        away(run)
        run.c.equal(menu.checks().get("按住连发(E)"), True, "按住连发 shows its check mark")
        check_held_key(run)
        if menu.choose("按住连发(E)"):
            away(run)


def away(run):
    """The pointer off the panel, where resting clicks nothing: at once after a menu closes over
    the panel's keys, which the pointer would otherwise rest on."""
    run.screen.move(run.args.screen[0] - 40, 40)
    time.sleep(0.3)


def rest(run, name, seconds, shot=None):
    """Moves the pointer onto the key and leaves it there; the receiver's new lines after
    `seconds`, and the time at which the first key event showed (None when none did)."""
    run.receiver.set_mark()
    begin = time.monotonic()
    run.screen.move(*run.panel.centre(name))
    if shot:
        time.sleep(0.4)  # half of 0.8 s
        run.screen.shot(shot)
    first = run_wait(run, lambda: run.receiver.hook_events(run.receiver.new_lines()) and time.monotonic(), seconds)
    time.sleep(max(0.0, begin + seconds - time.monotonic()))
    return run.receiver.new_lines(), (first - begin if first else None)


def check_rests(run):
    run.panel.refresh()
    before = run.screen.shot("hover-before.png")
    lines, after = rest(run, "Comm1", 2)
    run.c.equal(run.receiver.hook_events(lines), INSECT,
                "resting on 虫 at 0.8 秒 types its code once")
    run.c.check(after is not None and 0.8 <= after <= 1.6, "it types within 0.8 to 1.6 s", f"after {after} s")
    run.receiver.set_mark()
    time.sleep(3)
    run.c.equal(run.receiver.hook_events(run.receiver.new_lines()), [], "resting on it 3 s more types nothing more")
    away(run)
    lines, _ = rest(run, "Comm1", 2, shot="hover-mark.png")
    run.c.equal(run.receiver.hook_events(lines), INSECT,
                "leaving 虫 and coming back types it again")
    check_mark(run, "Comm1", before, run.screen.out / "hover-mark.png")
    away(run)
    lines, _ = rest(run, "Image6", 2, shot="hover-mark-stroke.png")
    run.c.equal(run.receiver.message_events(lines), [("down", 73), ("up", 73)], "resting on a stroke key types its letter once")
    check_mark(run, "Image6", before, run.screen.out / "hover-mark-stroke.png")
    run.receiver.set_mark()
    run.screen.move(*run.panel.bare_point())
    time.sleep(2)
    run.c.equal(run.receiver.hook_events(run.receiver.new_lines()), [], "resting on the bare panel types nothing")
    run.c.equal(run.wine.facts("foreground").get("class"), "YgReceiver", "the receiver kept the keyboard throughout")


def check_mark(run, name, before_png, during_png):
    """Half-way through the wait, a bar along the foot of the key, inside its edge: its left part
    in one colour, its right part in another, the one ending between a fifth and four fifths of the
    way; where it lies the key looked otherwise before."""
    left, top, right, bottom = [int(n) for n in run.panel.children[name]["rect"].split(",")]
    dpi = run.dpi
    inset, height, edge = (2 * dpi + 48) // 96, (4 * dpi + 48) // 96, max(1, (dpi + 48) // 96)
    y = bottom - inset - height // 2 - 1
    x0, x1 = left + inset + edge, right - inset - edge
    try:
        _, _, during = read_png(during_png)
        _, _, before = read_png(before_png)
    except (OSError, ValueError) as e:
        run.c.check(False, f"the mark on {name}: its screenshot", str(e))
        return
    row = [tuple(during[y][3 * x:3 * x + 3]) for x in range(x0, x1)]
    face = [tuple(before[y][3 * x:3 * x + 3]) for x in range(x0, x1)]
    filled = next((i for i, p in enumerate(row) if p != row[0]), len(row))
    detail = f"row {y} from x {x0}: {row[0]} for {filled} of {len(row)} pixels, then {row[-1]}"
    ok = (0.2 <= filled / max(1, len(row)) <= 0.8 and row[0] != row[-1]
          and all(p == row[-1] for p in row[math.ceil(len(row) * 0.85):]) and row != face)
    run.c.check(ok, f"half-way through the wait {name} shows a mark that has filled part of the way", detail)


def check_held_key(run):
    keyboard = run.wine.facts("keyboard")
    delay = 250 * (int(keyboard.get("delay", 1)) + 1)
    period = 1000 / (2.5 + int(keyboard.get("speed", 31)) * 27.5 / 31)
    x, y = run.panel.centre("Command9")
    run.receiver.set_mark()
    # The button goes down and up some time within each call (the pointer comes to rest 0.1 s
    # first): the hold lasted between the shortest and the longest time they allow.
    before = time.monotonic()
    run.screen.press(x, y)
    down = time.monotonic()
    time.sleep(2)
    up = time.monotonic()
    run.screen.release()
    after = time.monotonic()
    time.sleep(0.5)
    lines = run.receiver.new_lines()
    events = run.receiver.hook_events(lines)
    taps = len(events) // 2

    def predicted(seconds):
        return 1 + math.floor((seconds * 1000 - delay) / period)

    least, most = predicted(up - down) - 1, predicted(after - before - 0.1) + 1
    run.c.equal(events, [(d, 8, 0, 1, 0) for _ in range(taps) for d in ("down", "up")],
                "holding 退笔 gives whole Backspace taps, each down then up")
    run.c.check(least <= taps <= most, f"holding 退笔 {up - down:.2f} to {after - before - 0.1:.2f} s gives {least} to "
                f"{most} taps (delay {delay} ms, a tap every {period:.1f} ms, one either way)", f"it gave {taps}")
    run.receiver.set_mark()
    run.screen.press(x, y)
    run.screen.release()
    run.expect_keys([("down", 8), ("up", 8)], "a short click on 退笔 with 按住连发 on")
