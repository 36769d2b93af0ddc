"""The panel as a screen reader meets it, asked from another process through Active Accessibility
(Wine's oleacc) with yg_reader.exe. Used by panel_e2e.py, which passes its run in."""

ROLE_PUSHBUTTON = 43
ROLE_GROUPING = 20
STATE_INVISIBLE = 0x8000
DISP_E_MEMBERNOTFOUND = "0x80020003"

# What a screen reader says for each stroke key: the stroke, then the letter it types.
STROKE_NAMES = {"Image3": "横 H", "Image6": "竖 I", "Image9": "撇 J", "Image12": "点 K", "Image15": "折 L"}
# Never seen, so never announced: the picture stores under the stroke keys and the layout list.
UNSEEN = {f"Image{n}" for n in (1, 2, 4, 5, 7, 8, 10, 11, 13, 14)} | {"Combo1"}


def read_controls(run):
    """yg_reader's lines as dicts, by control name (the combo box's own edit left out)."""
    controls = {}
    # Some thousand calls into the panel from another process: 36 s under Wine at a load average of
    # 12 on two cores, a few seconds on a quiet machine.
    for line in run.wine.run_tool("yg_reader.exe", "controls", run.panel.CLASS, timeout=120).splitlines():
        line = line.rstrip("\r")
        if not line.startswith("control "):
            continue
        head, _, name = line.partition(" name=")
        head, _, action = head.partition(" action=")
        fact = dict(part.split("=", 1) for part in head.split()[1:])
        fact.update(name=name, action=action)
        control = run.panel.by_id.get(fact["id"])
        if control and fact["class"] != "Edit":
            controls[control] = fact
    return controls


def check_names_and_roles(run):
    c, panel = run.c, run.panel
    panel.refresh()
    controls = read_controls(run)
    c.equal(sorted(set(panel.layout) - set(controls)), [], "the screen reader finds every control's window")
    wrong, unnamed, unreached = [], [], []
    for name, fact in controls.items():
        if name in UNSEEN:
            continue
        kind = panel.layout[name]["kind"]
        expected_role = ROLE_GROUPING if kind == "frame" else ROLE_PUSHBUTTON
        if fact["hr"] != "0x0" or int(fact["role"]) != expected_role:
            wrong.append(f"{name}: hr {fact['hr']} role {fact['role']}, expected {expected_role}")
        if not fact["name"]:
            unnamed.append(name)
        elif kind == "button" and fact["name"] != panel.children[name]["text"]:
            wrong.append(f"{name} is called {fact['name']!r}, its caption reads {panel.children[name]['text']!r}")
        elif name in STROKE_NAMES and fact["name"] != STROKE_NAMES[name]:
            wrong.append(f"{name} is called {fact['name']!r}, expected {STROKE_NAMES[name]!r}")
        if kind != "frame" and fact["action"] == "":
            wrong.append(f"{name} has no default action")
        # Exploring the screen from the panel down, object by object, reaches the key itself.
        if kind != "frame" and fact["hit"] != fact["hwnd"]:
            unreached.append(f"{name}: the hit test at its centre reached {fact['hit']}")
    c.equal(unnamed, [], "every shown control has a name for the screen reader")
    c.equal(wrong, [], "keys are push buttons named by their captions or strokes, frames are groups")
    c.equal(unreached, [], "a screen reader exploring the panel reaches every key at its place")
    shown = [n for n, f in controls.items() if f["visible"] == "1"]
    c.equal(len(shown), len(panel.layout) - len(UNSEEN), "every control but the stores and Combo1 is shown")
    hidden = {n: f for n, f in controls.items() if n in UNSEEN}
    c.equal(sorted(n for n, f in hidden.items() if f["visible"] == "1" or not int(f["state"], 16) & STATE_INVISIBLE),
            [], "the picture stores and Combo1 are hidden and say so")
    hidden_windows = {f["hwnd"] for f in hidden.values()}
    c.equal([n for n, f in controls.items() if f["hit"] in hidden_windows], [],
            "no hit test reaches a picture store or Combo1")


def check_default_actions(run):
    """A screen reader's default action types what a click types, and the user's program keeps the
    keyboard."""
    c, panel, receiver = run.c, run.panel, run.receiver
    start = len(receiver.lines())
    for name in ("Image12", "Comm1", "Image3", "Command10"):
        receiver.set_mark()
        answer = run.wine.run_tool("yg_reader.exe", "act", panel.CLASS, panel.layout[name]["id"]).strip()
        c.equal(answer, "hr=0x0", f"the default action of {name} is taken")
        run.expect_keys(panel.typed(name), f"a screen reader's default action on {name}")
    receiver.set_mark()
    answer = run.wine.run_tool("yg_reader.exe", "act", panel.CLASS, panel.layout["Frame4"]["id"]).strip()
    c.equal(answer, f"hr={DISP_E_MEMBERNOTFOUND}", "a frame has no default action")
    c.equal(receiver.hook_events(receiver.wait_hook_events(0, timeout=0.3)), [], "and types nothing")
    c.equal(receiver.lost_activation(receiver.lines()[start:]), [],
            "the receiver stays active through the screen reader's actions")
    c.equal(run.wine.facts("foreground").get("class"), "YgReceiver", "the receiver is still the foreground window")
