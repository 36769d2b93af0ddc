#!/usr/bin/env python3
"""check_chm.py fails on a broken copy of the help: contents entries that lead to no page or
to none at all, index entries that lead to a missing anchor or nowhere, a 说明.txt that leaves out
a setting.

    check_chm_test.py --root REPO --chmcmd chmcmd --chmls chmls
"""

import argparse
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

from check_chm import Checker
from make_chm import PROJECT, stage

# (file, text, its broken form, what the checker must say)
BREAKS = [
    ("help/ygHelp.hhc", '<param name="Local" value="strokes.htm">', '<param name="Local" value="gone.htm">',
     "contents entry '笔画键' -> 'gone.htm' names no file"),
    ("help/ygHelp.hhc", '<param name="Local" value="keys.htm">', "", "contents entry '按钮和它们送出的键' leads nowhere"),
    ("help/ygHelp.hhk", '<param name="Local" value="strokes.htm#cancel">', '<param name="Local" value="strokes.htm#gone">',
     "index entry '取消一笔' -> 'strokes.htm#gone': strokes.htm has no anchor 'gone'"),
    ("help/ygHelp.hhk", '<param name="Local" value="trouble.htm#tips">', "", "index entry '提示' leads nowhere"),
    ("packaging/portable-readme.txt", "按住连发：", "：",
     "packaging/portable-readme.txt never mentions the setting '按住连发'"),
]


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--root", required=True, type=Path)
    ap.add_argument("--chmcmd", default="chmcmd")
    ap.add_argument("--chmls", default="chmls")
    args = ap.parse_args()
    with tempfile.TemporaryDirectory() as tmp:
        root = Path(tmp) / "root"
        shutil.copytree(args.root / "help", root / "help")
        (root / "packaging").mkdir()
        shutil.copy(args.root / "packaging" / "portable-readme.txt", root / "packaging")
        shutil.copy(args.root / "README.md", root)
        for folder in ("pads", "panel", "resources"):
            (root / folder).symlink_to((args.root / folder).resolve())
        for name, text, broken, _ in BREAKS:
            source = root / name
            content = source.read_text(encoding="utf-8")
            if text not in content:
                print(f"FAIL: {name} no longer has {text!r} to break")
                return 1
            source.write_text(content.replace(text, broken, 1), encoding="utf-8")
        stage_dir = Path(tmp) / "stage"
        stage(root, root / "help", stage_dir)
        # chmcmd warns of the broken links and writes the file all the same.
        subprocess.run([args.chmcmd, "--html-scan", PROJECT], cwd=stage_dir, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=False)
        problems = Checker(stage_dir / "ygHelp.chm", root, args.chmls).run()
    missed = [said for _, _, _, said in BREAKS if not any(said in p for p in problems)]
    for said in missed:
        print(f"FAIL: the check did not say: {said}")
    print(f"{len(BREAKS) - len(missed)} of {len(BREAKS)} faults found; the check said:", *problems, sep="\n  ")
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
