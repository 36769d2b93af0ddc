"""Out of the way: 显示/隐藏快捷键 pressed with SendInput, a second start that shows a hidden panel, the
refused combination's tip, the notification icon clicked in Wine's notification area and its menu,
and the layered opacity while the pointer is away and over the panel. Each setting is switched on
from the window menu, as a user does, and off again at the end; the receiver must have the
keyboard after every step. Used by panel_e2e.py after the other settings."""

import subprocess
import time

from driver import numbers, wait_for
from settings_checks import MENU_ITEMS, WindowMenu, receiver_has_keyboard, run_wait

HOTKEY = "显示/隐藏快捷键（Ctrl+Alt+K）(H)"
TRAY = "通知区域图标(I)"
OPACITY = "空闲时透明(T)"
OPACITIES = [100, 80, 60, 40]
REFUSED_TIP = "快捷键 Ctrl+Alt+K 已被其他程序占用，不能用它显示和隐藏雁格输入法按键面板。"
# The icon's menu: 显示/隐藏, the window menu's items, 退出.
ICON_MENU_ROWS = 1 + len(MENU_ITEMS) + 1
# RegisterHotKey's MOD_ALT | MOD_CONTROL, and K.
CTRL_ALT, VK_K = 3, 75


def check_out_of_way(run, registry):
    menu = WindowMenu(run)
    check_hotkey(run, menu, registry)
    check_refused_hotkey(run, menu, registry)
    check_tray_icon(run, menu, registry)
    check_idle_opacity(run, menu, registry)


def panel_shown(run):
    return run.wine.facts("tree", run.panel.CLASS).get("visible") == "1"


def wait_shown(run, shown, what):
    ok = wait_for(lambda: panel_shown(run) == shown, 5)
    return run.c.check(ok, what, f"the panel window: {run.wine.facts('tree', run.panel.CLASS).get('visible')}")


def check_hotkey(run, menu, registry):
    if not menu.choose(HOTKEY):
        return
    run.expect_receiver_typing(f"choosing {HOTKEY}")
    run.c.equal(registry.panel_values().get("Hotkey"), "dword:00000001", f"{HOTKEY} is stored")
    run.c.equal(menu.checks().get(HOTKEY), True, f"{HOTKEY} shows its check mark")
    run.panel.refresh()
    place = run.panel.rect()
    run.screen.key("ctrl+alt+k")
    wait_shown(run, False, "Ctrl+Alt+K, sent with SendInput, hides the panel")
    receiver_has_keyboard(run, "hiding the panel")

    # A second start shows a hidden panel, and the second copy ends without a window of its own.
    run.c.check(run.second_start(), "a second start while the panel is hidden ends at once")
    wait_shown(run, True, "a second start shows the hidden panel")
    run.c.equal(run.wine.count(run.panel.CLASS), 1, "there is still one panel window")
    run.panel.refresh()
    run.c.equal(run.panel.rect(), place, "the panel shown again stands where it was")
    run.expect_receiver_typing("a second start showed the panel")

    run.screen.key("ctrl+alt+k")
    wait_shown(run, False, "Ctrl+Alt+K hides it again")
    run.screen.key("ctrl+alt+k")
    wait_shown(run, True, "and shows it again")
    run.c.equal(run.wine.facts("tree", run.panel.CLASS).get("topmost"), "1", "the panel shown again is on top")
    run.expect_receiver_typing("Ctrl+Alt+K showed the panel")

    if menu.choose(HOTKEY):
        run.expect_receiver_typing(f"choosing {HOTKEY} again")
        run.c.equal(registry.panel_values().get("Hotkey"), "dword:00000000", f"{HOTKEY} off is stored")
        run.screen.key("ctrl+alt+k")
        time.sleep(1)
        run.c.check(panel_shown(run), "with the setting off Ctrl+Alt+K leaves the panel alone")


def check_refused_hotkey(run, menu, registry):
    """Another program holds Ctrl+Alt+K: the item stays unchecked and a tip by the panel says so."""
    holder = subprocess.Popen(run.wine.command(run.wine.bin / "yg_probe.exe", "hotkey", CTRL_ALT, VK_K, 60),
                              stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                              **run.wine.options)
    try:
        held = holder.stdout.readline().decode("utf-8", "replace").strip()
        if not run.c.equal(held, "registered=1", "another program holds Ctrl+Alt+K"):
            return
        if not menu.choose(HOTKEY):
            return
        tip = wait_for(run.tip, 5)
        run.c.equal(tip and tip.get("text"), REFUSED_TIP, "a tip by the panel says that the keys are taken")
        run.screen.shot("hotkey-refused.png")
        receiver_has_keyboard(run, "the refused combination")
        run.c.equal(menu.checks().get(HOTKEY), False, f"{HOTKEY} stays unchecked")
        run.c.equal(registry.panel_values().get("Hotkey"), "dword:00000000", "and nothing is stored")
        run.expect_receiver_typing("the refused combination")
    finally:
        holder.kill()
        holder.wait(10)


# Wine's notification area of its own, as the X display has none: Wine 8 draws it in the X
# driver, Wine 10 in its explorer, as a taskbar window of Windows' class.
TRAY_CLASSES = (("__winex11_standalone_tray", "__winex11_tray_icon"), ("Shell_TrayWnd", "__wine_tray_icon"))


def tray_icon(run):
    """The panel's icon in Wine's notification area: the icon window's facts, or None."""
    for tray_class, icon_class in TRAY_CLASSES:
        window, children = run.wine.tree(tray_class)
        if window.get("visible") == "1":
            return next((c for c in children if c["class"] == icon_class and c["visible"] == "1"), None)
    return None


def icon_centre(icon):
    left, top, right, bottom = numbers(icon["rect"])
    return (left + right) // 2, (top + bottom) // 2


def check_tray_icon(run, menu, registry):
    if run.wine.native:
        return  # Windows' notification area answers no other process
    if not menu.choose(TRAY):
        return
    run.expect_receiver_typing(f"choosing {TRAY}")
    run.c.equal(registry.panel_values().get("TrayIcon"), "dword:00000001", f"{TRAY} is stored")
    icon = wait_for(lambda: tray_icon(run), 10)
    if not run.c.check(icon, "the panel's icon is in the notification area"):
        return
    x, y = icon_centre(icon)
    run.screen.move(x, y)
    tip = wait_for(lambda: run.wine.facts("tip").get("tip"), 5)
    run.c.equal(tip, "雁格输入法按键面板", "the icon's tip is the panel's name")
    run.screen.shot("tray.png")

    for shown in (False, True):
        run.screen.click(x, y)
        wait_shown(run, shown, "a click on the icon " + ("shows" if shown else "hides") + " the panel")
        receiver_has_keyboard(run, "a click on the icon")
    run.expect_receiver_typing("two clicks on the icon")
    # Wine follows the release of each click of a double click with NIN_SELECT: the panel still
    # changes once.
    run.screen.clicks(x, y, 2, 100)
    time.sleep(1)
    wait_shown(run, False, "a double click on the icon hides the panel")
    run.screen.click(x, y)
    wait_shown(run, True, "and a click shows it")

    for shown in (False, True):
        rows = open_icon_menu(run, x, y)
        if not rows:
            return
        menu.click_row(run.wine.tree("#32768")[0], rows[0])
        wait_shown(run, shown, "显示/隐藏 in the icon's menu " + ("shows" if shown else "hides") + " the panel")
        receiver_has_keyboard(run, "显示/隐藏 in the icon's menu")
    run.expect_receiver_typing("the icon's menu")

    if menu.choose(TRAY):
        run.expect_receiver_typing(f"choosing {TRAY} again")
        run.c.check(wait_for(lambda: not tray_icon(run), 5), "switched off, the icon leaves the notification area")
        run.c.equal(registry.panel_values().get("TrayIcon"), "dword:00000000", f"{TRAY} off is stored")


def open_icon_menu(run, x, y):
    """Right-clicks the icon; the rows of its menu, or None. The icon's item shows its mark."""
    run.screen.click(x, y, button=3)
    window = run_wait(run, lambda: (lambda w: w if w.get("visible") == "1" else None)(run.wine.tree("#32768")[0]), 5)
    if not run.c.check(window, "a right click on the icon opens its menu"):
        return None
    time.sleep(0.3)
    rows = WindowMenu(run).rows(window, "icon-menu.png")
    if not run.c.equal(len(rows), ICON_MENU_ROWS, "the icon's menu holds 显示/隐藏, the window menu's items and 退出"):
        WindowMenu(run).close()
        return None
    text_left = rows[0][2]
    marked = [i for i, row in enumerate(rows) if row[2] < text_left - 2]
    run.c.equal(marked, [6], f"in the icon's menu {TRAY} shows its check mark")
    return rows


def layered(run):
    facts = run.wine.facts("layered", run.panel.CLASS)
    return facts.get("layered") == "1", int(facts.get("alpha", "-1"))


def check_idle_opacity(run, menu, registry):
    if not menu.choose_in_submenu(OPACITY, OPACITIES, 100, 60):
        return
    run.expect_receiver_typing(f"choosing {OPACITY} 60%")
    run.c.equal(registry.panel_values().get("IdleOpacity"), "dword:0000003c", "60% is stored")
    away = (run.args.screen[0] - 50, 50)
    run.panel.refresh()
    over = run.panel.bare_point()
    for round_ in (1, 2):
        run.screen.move(*away)
        run.c.equal(wait_for(lambda: (lambda v: v if v == (True, 153) else None)(layered(run)), 5), (True, 153),
                    f"{round_}: with the pointer away the panel fades to 60%, alpha 153")
        run.screen.move(*over)
        run.c.equal(wait_for(lambda: (lambda v: v if v == (True, 255) else None)(layered(run)), 1), (True, 255),
                    f"{round_}: with the pointer over the panel it is opaque at once")
    run.expect_receiver_typing("the panel faded and opaque again")
    if menu.choose_in_submenu(OPACITY, OPACITIES, 60, 100):
        run.expect_receiver_typing(f"choosing {OPACITY} 关闭")
        run.c.equal(layered(run)[0], False, "关闭: the panel is an ordinary window again")
        run.c.equal(registry.panel_values().get("IdleOpacity"), "dword:00000064", "关闭 is stored as 100")
