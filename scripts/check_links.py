#!/usr/bin/env python3
"""Every relative link in README.md and docs/*.md leads to a file of the repository, and every
#anchor to a heading (or an explicit anchor) of the page it names.

    check_links.py [--root REPO]

Links to other sites are not followed. Headings become anchors as GitHub makes them: lower case,
punctuation other than hyphens and underscores dropped, spaces turned into hyphens, a repeated
heading numbered -1, -2, ... Prints every broken link; the exit code is 1 if there was any.
"""

import argparse
import re
import sys
from pathlib import Path

LINK = re.compile(r"!?\[(?:[^\[\]]|\[[^\]]*\])*\]\(\s*<?([^)\s>]+)>?(?:\s+\"[^\"]*\")?\s*\)")
HEADING = re.compile(r"^#{1,6}\s+(.*?)\s*#*\s*$")
EXPLICIT = re.compile(r"<a\s+(?:name|id)=\"([^\"]+)\"", re.I)
FENCE = re.compile(r"^\s*(```|~~~)")


def slug(heading):
    text = re.sub(r"`|\*\*|__|\[|\]\([^)]*\)", "", heading).strip().lower()
    return re.sub(r"[^\w\- ]", "", text).replace(" ", "-")


def prose_lines(text):
    """The lines outside fenced code blocks, numbered from 1."""
    inside = False
    for number, line in enumerate(text.splitlines(), 1):
        if FENCE.match(line):
            inside = not inside
        elif not inside:
            yield number, line


def anchors(text):
    found, seen = set(), {}
    for _, line in prose_lines(text):
        found.update(EXPLICIT.findall(line))
        m = HEADING.match(line)
        if m:
            base = slug(m.group(1))
            count = seen.get(base, 0)
            seen[base] = count + 1
            found.add(base if count == 0 else f"{base}-{count}")
    return found


def broken_links(page, root):
    text = page.read_text(encoding="utf-8")
    problems = []
    for number, line in prose_lines(text):
        for target in LINK.findall(re.sub(r"`[^`]*`", "", line)):
            if re.match(r"^[a-z][a-z0-9+.-]*:", target, re.I):
                continue  # another site, or mail
            path, _, fragment = target.partition("#")
            dest = (page.parent / path).resolve() if path else page
            where = f"{page.relative_to(root)}:{number}: {target}"
            if not dest.exists():
                problems.append(f"{where}: no such file")
            elif fragment and dest.suffix == ".md" and fragment not in anchors(dest.read_text(encoding="utf-8")):
                problems.append(f"{where}: {dest.relative_to(root)} has no anchor #{fragment}")
    return problems


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--root", type=Path, default=Path(__file__).resolve().parent.parent)
    args = ap.parse_args()
    root = args.root.resolve()
    pages = [root / "README.md"] + sorted((root / "docs").glob("*.md"))
    problems = [p for page in pages if page.exists() for p in broken_links(page, root)]
    for p in problems:
        print(f"FAIL: {p}")
    print(f"{len(pages)} pages, {len(problems)} broken link(s)")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
