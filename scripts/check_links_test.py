#!/usr/bin/env python3
"""check_links.py finds a link to a missing page and to a missing anchor, and takes good ones."""

import sys
import tempfile
from pathlib import Path

from check_links import broken_links

PAGES = {
    "README.md": "# Key panel\n[ok](docs/a.md#two-words) [gone](docs/b.md) [bad](docs/a.md#three)\n"
                 "[site](https://example.org/x) `[code](nowhere.md)`\n```\n[fenced](nowhere.md)\n```\n",
    "docs/a.md": "# Title\n## Two words\nBack [up](../README.md#key-panel), [here](#title), [lost](#nothing).\n",
}
EXPECTED = [
    "README.md:2: docs/b.md: no such file",
    "README.md:2: docs/a.md#three: docs/a.md has no anchor #three",
    "docs/a.md:3: #nothing: docs/a.md has no anchor #nothing",
]

with tempfile.TemporaryDirectory() as tmp:
    root = Path(tmp).resolve()
    for name, text in PAGES.items():
        (root / name).parent.mkdir(parents=True, exist_ok=True)
        (root / name).write_text(text, encoding="utf-8")
    found = broken_links(root / "README.md", root) + broken_links(root / "docs/a.md", root)
print("\n".join(found))
sys.exit(0 if found == EXPECTED else f"expected {EXPECTED}")
