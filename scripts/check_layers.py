#!/usr/bin/env python3
"""Checks that every #include of the project points down its layers, never up or sideways into a
higher one. Prints each offending line; the exit status is their number (capped at 100).

Layers, lowest first (a file may include its own layer and any below it):
  base             errors, checked arithmetic, control names, twips and pixels
  keys             key events, the key sink port, key sequences, the injector, the code sender
  ports            the narrow interfaces the core talks to the world through
  pads             the key pads' tables
  layouts          the keyboard-layout list
  panel            Form1, the layout table, the mode switch, help, placement, settings
  resources        the stroke pictures and the icon
  platform/win32   the Windows side of the ports, the window procedures, wWinMain
  tests            everything that tests the above
"""

import re
import sys
from pathlib import Path

LAYERS = ["base", "keys", "ports", "pads", "layouts", "panel", "resources", "platform/win32", "tests"]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def layer_of(path):
    """The layer of a project path such as 'platform/win32/dpi_win.h', or None."""
    parts = Path(path).parts
    if len(parts) >= 3 and parts[0] == "platform" and parts[1] == "win32":
        return LAYERS.index("platform/win32")
    if parts and parts[0] in LAYERS:
        return LAYERS.index(parts[0])
    return None


def main():
    root = Path(__file__).resolve().parent.parent
    problems = []
    for source in sorted(root.rglob("*")):
        if source.suffix not in (".h", ".cpp") or "build" in source.relative_to(root).parts[:1]:
            continue
        relative = source.relative_to(root).as_posix()
        own = layer_of(relative)
        if own is None:
            continue
        for number, line in enumerate(source.read_text(encoding="utf-8").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            target = layer_of(match.group(1))
            if target is not None and target > own:
                problems.append(f"{relative}:{number}: {LAYERS[own]} includes {match.group(1)} "
                                f"of the higher layer {LAYERS[target]}")
    for problem in problems:
        print(problem)
    print(f"include layers: {len(problems)} upward include(s)")
    return min(len(problems), 100)


if __name__ == "__main__":
    sys.exit(main())
