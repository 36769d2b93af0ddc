#!/usr/bin/env python3
"""Checks a built ygHelp.chm: what is inside it and whether it holds together.

    check_chm.py --chm ygHelp.chm --root REPO [--chmls /usr/bin/chmls]

The container's directory and its #SYSTEM record are read here directly; the compressed files
are unpacked with chmls. The README and the portable zip's 说明.txt, which a user reads without the
help, have to name every setting of the window menu too. Every problem found is printed; the exit
code is 1 if there was any.
"""

import argparse
import html.parser
import re
import struct
import subprocess
import sys
import tempfile
from pathlib import Path

from make_chm import project_files  # the build's own reading of the project

HELP_CODEPAGE = "gbk"
LCID_CHINESE_PRC = 0x0804
TITLE = "雁格输入法按键面板 帮助"

# The topics the help has to cover.
REQUIRED_PAGES = {
    "index.htm": "what the panel is for, focus, the layout",
    "keys.htm": "every button and the keys it sends",
    "radicals.htm": "radical keys",
    "radical_table.htm": "every radical with its code",
    "strokes.htm": "the five stroke keys",
    "words.htm": "common characters, punctuation and phrases",
    "editing.htm": "editing, candidate and word-building keys",
    "modes.htm": "the two modes and dragging",
    "settings.htm": "the settings in the title bar's window menu",
    "trouble.htm": "keys that do not arrive",
}


# The index is in pinyin order, which GBK order is, but for a first character GB2312 files under
# another of its readings: such a keyword sorts as a stand-in of the reading it has here.
SORT_AS = {"重写": "崇写"}  # chóngxiě, not zhòng


def index_order(keyword):
    return SORT_AS.get(keyword, keyword).encode(HELP_CODEPAGE, "replace")


# --- The container -----------------------------------------------------------------------------


def encint(data, pos):
    """A CHM variable-length integer: 7 bits a byte, most significant first."""
    value = 0
    while True:
        byte = data[pos]
        pos += 1
        value = (value << 7) | (byte & 0x7F)
        if byte < 0x80:
            return value, pos


def read_directory(data):
    """{name: (section, offset, length)} from the ITSF header and its PMGL chunks, and the
    offset of content section 0."""
    magic, version = struct.unpack_from("<4sI", data, 0)
    if magic != b"ITSF" or version != 3:
        raise ValueError(f"not a version 3 ITSF file ({magic!r}, version {version})")
    lcid = struct.unpack_from("<I", data, 0x14)[0]
    dir_offset, _dir_length = struct.unpack_from("<QQ", data, 0x48)
    content_offset = struct.unpack_from("<Q", data, 0x58)[0]

    if data[dir_offset:dir_offset + 4] != b"ITSP":
        raise ValueError("no ITSP directory header")
    itsp_length, _, chunk_size = struct.unpack_from("<III", data, dir_offset + 8)
    first_pmgl = struct.unpack_from("<i", data, dir_offset + 0x20)[0]
    chunks = dir_offset + itsp_length

    entries = {}
    chunk, seen = first_pmgl, set()
    while chunk != -1:
        if chunk in seen:
            raise ValueError("the directory chunks form a loop")
        seen.add(chunk)
        start = chunks + chunk * chunk_size
        if data[start:start + 4] != b"PMGL":
            raise ValueError(f"directory chunk {chunk} is not a PMGL chunk")
        free, _, _, next_chunk = struct.unpack_from("<IIii", data, start + 4)
        pos, end = start + 20, start + chunk_size - free
        while pos < end:
            length, pos = encint(data, pos)
            name = data[pos:pos + length].decode("utf-8")
            pos += length
            section, pos = encint(data, pos)
            offset, pos = encint(data, pos)
            size, pos = encint(data, pos)
            entries[name] = (section, offset, size)
        chunk = next_chunk
    return lcid, entries, content_offset


def read_system(data, entries, content_offset):
    """The #SYSTEM records, which live uncompressed in content section 0: {code: bytes}."""
    section, offset, size = entries["/#SYSTEM"]
    if section != 0:
        raise ValueError("#SYSTEM is not in the uncompressed section")
    raw = data[content_offset + offset:content_offset + offset + size]
    records, pos = {}, 4  # a version number comes first
    while pos + 4 <= len(raw):
        code, length = struct.unpack_from("<HH", raw, pos)
        records[code] = raw[pos + 4:pos + 4 + length]
        pos += 4 + length
    return records


def system_text(records, code):
    return records.get(code, b"").split(b"\0")[0].decode(HELP_CODEPAGE)


# --- Pages and site maps -----------------------------------------------------------------------


class Page(html.parser.HTMLParser):
    """What the checks need from one HTML page."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.title, self.in_title = "", False
        self.anchors = set()
        self.links = []  # (tag, attribute, value)
        self.scripts = []
        self.text = []
        self.rows = []  # (tr id, [cell texts]) of tables
        self.row = None
        self.cell = None

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        for key in ("id", "name"):
            if attrs.get(key) and tag != "meta" and tag != "param":
                self.anchors.add(attrs[key])
        for key in ("href", "src"):
            if key in attrs:
                self.links.append((tag, key, attrs[key] or ""))
        if tag in ("script", "iframe", "object", "embed", "applet"):
            self.scripts.append(f"<{tag}>")
        self.scripts += [f"{tag} {k}=" for k in attrs if k.startswith("on")]
        if tag == "title":
            self.in_title = True
        elif tag == "tr":
            self.row = (attrs.get("id"), [])
            self.rows.append(self.row)
        elif tag in ("td", "th") and self.row is not None:
            self.cell = []
            self.row[1].append(self.cell)

    def handle_endtag(self, tag):
        if tag == "title":
            self.in_title = False
        elif tag in ("td", "th"):
            self.cell = None

    def handle_data(self, data):
        if self.in_title:
            self.title += data
        self.text.append(data)
        if self.cell is not None:
            self.cell.append(data)

    def cells(self, row):
        return ["".join(c).strip() for c in row[1]]


class SiteMap(html.parser.HTMLParser):
    """The entries of a contents (.hhc) or index (.hhk) file: dicts with depth, Name, Local and
    whether the entry has children (a book)."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.depth, self.entries, self.current = 0, [], None

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag == "ul":
            self.depth += 1
            if self.entries:
                self.entries[-1]["book"] = self.entries[-1]["depth"] < self.depth
        elif tag == "object" and (attrs.get("type") or "").lower() == "text/sitemap":
            self.current = {"depth": self.depth, "book": False}
        elif tag == "param" and self.current is not None:
            self.current[attrs.get("name", "")] = attrs.get("value", "")

    def handle_endtag(self, tag):
        if tag == "ul":
            self.depth -= 1
        elif tag == "object" and self.current is not None:
            self.entries.append(self.current)
            self.current = None


def parse_sitemap(text):
    sitemap = SiteMap()
    sitemap.feed(text)
    return sitemap.entries


# --- The source tables the pages describe ------------------------------------------------------


def radical_table_in_source(root):
    """{(control, caption, code)} from the radical key table; the caption is its row comment."""
    text = (root / "pads" / "radical_keys.h").read_text(encoding="utf-8")
    return set(re.findall(r'\{\s*Ctl::(\w+)\s*,\s*u"([a-z]+)"\s*\}\s*,\s*//\s*(\S)', text))


def panel_texts(root):
    """Every caption and tooltip that the panel's layout shows."""
    text = (root / "panel" / "layout.cpp").read_text(encoding="utf-8")
    block = re.search(r"kLayout\s*\{(.*?)\n\};", text, re.S)
    return {t for t in re.findall(r'u"([^"]+)"', block.group(1) if block else "") if t != "Combo1"}


def menu_captions(root, row_pattern=r'u"([^"]+)"'):
    """The captions of the window menu's rows that `row_pattern` matches, and of its submenus, as
    the help writes them: without their access keys and the "…" of an item that opens a box."""
    text = (root / "panel" / "settings.h").read_text(encoding="utf-8")
    captions = set()
    for table, pattern in (("kSettingsMenu", row_pattern), ("kMenuGroups", r'u"([^"]+)"')):
        block = re.search(table + r"\{\{(.*?)\}\};", text, re.S)
        captions |= set(re.findall(pattern, block.group(1) if block else ""))
    return {re.sub(r"\(&\w\)|&|…$", "", c) for c in captions}


def menu_texts(root):
    """Every caption of the panel's items in the title bar's window menu and its submenus."""
    return menu_captions(root)


def setting_names(root):
    """The settings of the window menu by their names: each checked item and each submenu."""
    return menu_captions(root, r'u"([^"]+)",\s*MenuMark::Check\}')


# The texts a user reads beside the help.
READMES = ("README.md", "packaging/portable-readme.txt")


def tip_texts(root):
    """The texts of the tips the panel shows by itself."""
    texts = set()
    for name in ("key_warnings.h", "out_of_way.h"):
        source = (root / "panel" / name).read_text(encoding="utf-8")
        texts |= set(re.findall(r'k\w+Tip\s*=\s*u"([^"]+)"', source))
    return texts


# --- The checks --------------------------------------------------------------------------------


class Checker:
    def __init__(self, chm, root, chmls):
        self.chm, self.root, self.chmls = chm, root, chmls
        self.problems = []

    def fail(self, message):
        self.problems.append(message)

    def run(self):
        data = self.chm.read_bytes()
        try:
            lcid, self.entries, content_offset = read_directory(data)
            self.files = {name.lstrip("/") for name, (_, _, size) in self.entries.items()
                          if not name.endswith("/")}
            records = read_system(data, self.entries, content_offset)
        except (ValueError, KeyError, struct.error, IndexError, UnicodeDecodeError) as e:
            self.fail(f"cannot read the container: {e!r}")
            return self.problems

        hhp_text = (self.root / "help" / "ygHelp.hhp").read_text(encoding="utf-8")
        self.listed = project_files(hhp_text)
        self.check_system(lcid, records)
        self.check_files()
        with tempfile.TemporaryDirectory() as tmp:
            out = Path(tmp)
            run = subprocess.run([self.chmls, "extractall", str(self.chm), str(out)],
                                 stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
            if run.returncode != 0:
                self.fail(f"chmls extractall failed: {run.stdout.decode(errors='replace')}")
                return self.problems
            self.unpacked = out
            self.check_unpacked_files()
            self.pages = self.read_pages()
            self.check_pages()
            self.check_contents()
            self.check_index()
            self.check_radical_table()
            self.check_panel_texts()
            self.check_settings_page()
            self.check_mentioned(tip_texts(self.root), 3, "panel/*.h", ["trouble.htm"], "trouble.htm")
        self.check_readmes()
        return self.problems

    def check_system(self, lcid, records):
        if lcid != LCID_CHINESE_PRC:
            self.fail(f"container language is {lcid:#x}, not {LCID_CHINESE_PRC:#x}")
        if 4 not in records or struct.unpack_from("<I", records[4])[0] != LCID_CHINESE_PRC:
            self.fail("#SYSTEM gives no Chinese (PRC) language")
        expected = {0: "ygHelp.hhc", 1: "ygHelp.hhk", 2: "index.htm", 3: TITLE, 5: "main"}
        for code, value in expected.items():
            try:
                got = system_text(records, code)
            except UnicodeDecodeError:
                got = repr(records.get(code))
            if got != value:
                self.fail(f"#SYSTEM record {code} is {got!r}, expected {value!r}")

    def check_files(self):
        for page in REQUIRED_PAGES:
            if page not in self.listed:
                self.fail(f"ygHelp.hhp does not list {page} ({REQUIRED_PAGES[page]})")
        help_dir = self.root / "help"
        for source in sorted(help_dir.glob("*.htm")) + sorted(help_dir.glob("*.htm.in")):
            name = source.name.removesuffix(".in")
            if name not in self.listed:
                self.fail(f"help/{source.name} is not listed in ygHelp.hhp")
        for name in self.listed + ["ygHelp.hhc", "ygHelp.hhk"]:
            entry = self.entries.get("/" + name)
            if entry is None:
                self.fail(f"{name} is missing from the help file")
            elif entry[2] == 0:
                self.fail(f"{name} is empty in the help file")

    def check_unpacked_files(self):
        # What went in unchanged must come out unchanged.
        for name in self.listed:
            got = self.unpacked / name
            if name.startswith("strokes/"):
                source = self.root / "resources" / name
            else:
                source = self.root / "help" / name
            if not source.is_file():
                continue  # generated
            if not got.is_file():
                self.fail(f"{name} could not be unpacked")
            elif got.read_bytes() != source.read_bytes():
                self.fail(f"{name} differs from {source.relative_to(self.root)}")

    def read_pages(self):
        pages = {}
        for name in sorted(self.files):
            if not name.endswith(".htm"):
                continue
            raw = (self.unpacked / name).read_bytes()
            try:
                text = raw.decode("utf-8")
            except UnicodeDecodeError as e:
                self.fail(f"{name} is not UTF-8: {e}")
                continue
            if not re.search(r'<meta[^>]+charset=utf-8', text[:1024], re.I):
                self.fail(f"{name} does not declare charset=utf-8 near its start")
            page = Page()
            page.feed(text)
            pages[name] = page
        return pages

    def resolve(self, source, link, what):
        """Fails unless `link`, found in `source`, names a file of the help file and, where it
        has a fragment, an anchor of that page."""
        if re.match(r"^[a-z][a-z0-9+.-]*:|^//", link, re.I):
            self.fail(f"{source}: {what} {link!r} leads outside the help file")
            return
        path, _, fragment = link.partition("#")
        if path:
            base = Path(source).parent
            target = (base / path).as_posix()
            if target.startswith("./"):
                target = target[2:]
        else:
            target = source
        if target not in self.files:
            self.fail(f"{source}: {what} {link!r} names no file of the help file")
        elif fragment and target in self.pages and fragment not in self.pages[target].anchors:
            self.fail(f"{source}: {what} {link!r}: {target} has no anchor {fragment!r}")

    def check_pages(self):
        for name, page in self.pages.items():
            if not page.title.strip():
                self.fail(f"{name} has no title")
            for found in page.scripts:
                self.fail(f"{name}: {found} (pages carry no scripts or active content)")
            for tag, attribute, value in page.links:
                self.resolve(name, value, f"<{tag} {attribute}>")

    def read_sitemap(self, name):
        raw = (self.unpacked / name).read_bytes()
        try:
            text = raw.decode(HELP_CODEPAGE)
        except UnicodeDecodeError as e:
            self.fail(f"{name} in the help file is not {HELP_CODEPAGE}: {e}")
            return []
        source = (self.root / "help" / name).read_text(encoding="utf-8")
        entries = parse_sitemap(text)
        if entries != parse_sitemap(source):
            self.fail(f"{name} in the help file does not say what help/{name} says")
        return entries

    def check_contents(self):
        entries = self.read_sitemap("ygHelp.hhc")
        if not entries:
            self.fail("the table of contents is empty")
        reached = set()
        for e in entries:
            name, local = e.get("Name", ""), e.get("Local", "")
            if not name:
                self.fail(f"a contents entry has no name: {e}")
            if not local:
                self.fail(f"contents entry {name!r} leads nowhere")
                continue
            self.resolve("ygHelp.hhc", local, f"contents entry {name!r} ->")
            page = local.partition("#")[0]
            reached.add(page)
            # A topic is listed under its own title.
            if page in self.pages and self.pages[page].title != name:
                self.fail(f"contents entry {name!r} leads to {page}, titled {self.pages[page].title!r}")
        for page in self.pages:
            if page not in reached:
                self.fail(f"{page} is not in the table of contents")

    def check_index(self):
        entries = self.read_sitemap("ygHelp.hhk")
        if not entries:
            self.fail("the index is empty")
        keywords = [e.get("Name", "") for e in entries]
        for e in entries:
            if not e.get("Local"):
                self.fail(f"index entry {e.get('Name')!r} leads nowhere")
                continue
            self.resolve("ygHelp.hhk", e["Local"], f"index entry {e.get('Name')!r} ->")
        duplicates = {k for k in keywords if keywords.count(k) > 1}
        if duplicates:
            self.fail(f"index keywords listed twice: {sorted(duplicates)}")
        # The viewer shows the index in file order; GBK order is pinyin order.
        order = sorted(keywords, key=index_order)
        if keywords != order:
            first = next(i for i, (a, b) in enumerate(zip(keywords, order)) if a != b)
            self.fail(f"index not in order: {keywords[first]!r} stands where {order[first]!r} belongs")

    def check_radical_table(self):
        page = self.pages.get("radical_table.htm")
        if page is None:
            return
        shown = set()
        for row in page.rows:
            if row[0]:
                cells = page.cells(row)
                if len(cells) >= 3:
                    shown.add((row[0], cells[2], cells[0]))
        expected = radical_table_in_source(self.root)
        if len(expected) != 43:
            self.fail(f"pads/radical_keys.h: read {len(expected)} radical rows, expected 43")
        for control, code, caption in sorted(expected - shown):
            self.fail(f"radical_table.htm lacks {caption} {code} ({control})")
        for control, code, caption in sorted(shown - expected):
            self.fail(f"radical_table.htm shows {caption} {code} ({control}), the key table does not")

    def check_mentioned(self, captions, least, source, pages, where):
        """Every caption read from `source` (at least `least` of them) stands in one of `pages`."""
        if len(captions) < least:
            self.fail(f"{source}: read only {len(captions)} captions")
        text = "".join("".join(self.pages[p].text) for p in pages if p in self.pages)
        for caption in sorted(captions):
            if caption not in text:
                self.fail(f"{where} never mentions the panel's {caption!r}")

    def check_panel_texts(self):
        self.check_mentioned(panel_texts(self.root), 60, "panel/layout.cpp", self.pages, "the help")

    def check_settings_page(self):
        self.check_mentioned(menu_texts(self.root), 9, "panel/settings.h", ["settings.htm"], "settings.htm")


    def check_readmes(self):
        names = setting_names(self.root)
        if len(names) < 9:
            self.fail(f"panel/settings.h: read only {len(names)} settings")
        for readme in READMES:
            text = (self.root / readme).read_text(encoding="utf-8")
            for name in sorted(n for n in names if n not in text):
                self.fail(f"{readme} never mentions the setting {name!r}")


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--chm", required=True, type=Path)
    ap.add_argument("--root", required=True, type=Path, help="the source tree")
    ap.add_argument("--chmls", default="chmls")
    args = ap.parse_args()
    if not args.chm.is_file():
        print(f"FAIL: {args.chm} does not exist", file=sys.stderr)
        return 1
    problems = Checker(args.chm, args.root, args.chmls).run()
    for p in problems:
        print(f"FAIL: {p}")
    if problems:
        print(f"{len(problems)} problem(s) in {args.chm}")
        return 1
    print(f"{args.chm}: OK")
    return 0


if __name__ == "__main__":
    sys.exit(main())
