#!/usr/bin/env python3
"""Builds ygHelp.chm from the pages in this folder.

The pages stay UTF-8 and say so in their <meta>. The project, contents and index files are
kept in UTF-8 here too, but the help viewer reads their text in the code page of the help
file's language (0x804: GBK), so they are written into the staging folder in GBK. The radical
code table is generated from the radical key table and the panel layout, so it cannot drift
from what the buttons type. The stroke pictures are the panel's own.

    make_chm.py --root REPO --stage DIR --output ygHelp.chm --chmcmd /usr/bin/chmcmd
"""

import argparse
import html
import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

HELP_CODEPAGE = "gbk"
PROJECT = "ygHelp.hhp"
SITEMAPS = ("ygHelp.hhc", "ygHelp.hhk")

STROKE_NAMES = {"h": "横", "i": "竖", "j": "撇", "k": "点", "l": "折"}
STROKE_SHAPES = {"h": "一", "i": "丨", "j": "丿", "k": "丶", "l": "乛"}
ROW_PITCH = 280  # twips from one row of radical keys to the next


class BuildError(Exception):
    pass


# --- The radical keys ------------------------------------------------------------------------


def radical_codes(radical_keys_h):
    """[(control, code)] in the order of the table in pads/radical_keys.h."""
    text = radical_keys_h.read_text(encoding="utf-8")
    block = re.search(r"kRadicalKeys\s*\{\{(.*?)\}\};", text, re.S)
    if not block:
        raise BuildError(f"{radical_keys_h}: no kRadicalKeys table")
    rows = re.findall(r'\{\s*Ctl::(\w+)\s*,\s*u"([^"]*)"\s*\}', block.group(1))
    declared = re.search(r"std::array<CodeKey,\s*(\d+)>\s*kRadicalKeys", text)
    if not declared or int(declared.group(1)) != len(rows):
        raise BuildError(f"{radical_keys_h}: read {len(rows)} rows, the table declares "
                         f"{declared.group(1) if declared else '?'}")
    for control, code in rows:
        if not re.fullmatch(r"[hijkl]+", code):
            raise BuildError(f"{radical_keys_h}: {control} has the code {code!r}")
    return rows


def layout_places(layout_cpp):
    """{control: (caption, left, top)} for the buttons of panel/layout.cpp."""
    text = layout_cpp.read_text(encoding="utf-8")
    places = {}
    # Radical(Ctl::Comm1, u"虫", 0, 0, ...) and Button(Ctl::Command72, Ctl::Form1, u"鹿", 1200, 0, ...)
    pattern = r'\b(?:Radical|Button)\(\s*Ctl::(\w+)\s*,\s*(?:Ctl::\w+\s*,\s*)?u"([^"]*)"\s*,\s*(\d+)\s*,\s*(\d+)'
    for control, caption, left, top in re.findall(pattern, text):
        if control in places:
            raise BuildError(f"{layout_cpp}: {control} is laid out twice")
        places[control] = (caption, int(left), int(top))
    return places


def radical_keys(root):
    """The radical keys as the panel shows them: dicts with control, caption, code, row (1-4)
    and place in the row, row by row from the top and left to right."""
    codes = radical_codes(root / "pads" / "radical_keys.h")
    places = layout_places(root / "panel" / "layout.cpp")
    keys = []
    for control, code in codes:
        if control not in places:
            raise BuildError(f"panel/layout.cpp: no button {control} (radical code {code})")
        caption, left, top = places[control]
        if not caption:
            raise BuildError(f"panel/layout.cpp: {control} has no caption")
        keys.append({"control": control, "caption": caption, "code": code,
                     "row": round(top / ROW_PITCH) + 1, "left": left})
    keys.sort(key=lambda k: (k["row"], k["left"]))
    for row in sorted({k["row"] for k in keys}):
        for place, key in enumerate((k for k in keys if k["row"] == row), start=1):
            key["place"] = place
    return keys


def radical_map(keys):
    lines = ['<table class="map">']
    for row in sorted({k["row"] for k in keys}):
        cells = "".join(f'<td><a href="#{k["control"]}">{html.escape(k["caption"])}</a></td>'
                        for k in keys if k["row"] == row)
        lines.append(f"<tr><th>第{row}排</th>{cells}</tr>")
    lines.append("</table>")
    return "\n".join(lines)


def radical_rows(keys):
    lines = ['<table class="codes">',
             "<tr><th>部首</th><th>位置</th><th>代码</th><th>笔画</th><th>笔数</th></tr>"]
    for k in keys:
        strokes = "".join(STROKE_SHAPES[c] for c in k["code"])
        names = "、".join(STROKE_NAMES[c] for c in k["code"])
        lines.append(
            f'<tr id="{k["control"]}"><td class="caption">{html.escape(k["caption"])}</td>'
            f'<td>第{k["row"]}排第{k["place"]}个</td>'
            f'<td><code>{k["code"]}</code></td>'
            f'<td title="{names}">{strokes}</td>'
            f'<td class="num">{len(k["code"])}</td></tr>')
    lines.append("</table>")
    return "\n".join(lines)


def same_codes(keys):
    by_code = {}
    for k in keys:
        by_code.setdefault(k["code"], []).append(k["caption"])
    shared = [(code, captions) for code, captions in by_code.items() if len(captions) > 1]
    if not shared:
        return ""
    items = "".join(f"<li>{'、'.join(html.escape(c) for c in captions)}：<code>{code}</code></li>"
                    for code, captions in shared)
    return ("<p>下面这些部首的代码相同，点它们的按钮送出的键也完全一样，"
            f"需要从候选字中区分：</p>\n<ul>{items}</ul>")


def render_radical_table(template, keys):
    text = template.read_text(encoding="utf-8")
    fills = {
        "@RADICAL_COUNT@": str(len(keys)),
        "<!--@RADICAL_MAP@-->": radical_map(keys),
        "<!--@RADICAL_ROWS@-->": radical_rows(keys),
        "<!--@SAME_CODES@-->": same_codes(keys),
    }
    for mark, fill in fills.items():
        if text.count(mark) != 1:
            raise BuildError(f"{template}: {mark} must occur exactly once")
        text = text.replace(mark, fill)
    return text


# --- The project -----------------------------------------------------------------------------


def project_files(hhp_text):
    """The [FILES] section of the project, in order."""
    files, in_files = [], False
    for line in hhp_text.splitlines():
        line = line.strip()
        if line.startswith("["):
            in_files = line.upper() == "[FILES]"
        elif in_files and line and not line.startswith(";"):
            files.append(line)
    return files


def write_in_codepage(text, path):
    try:
        data = text.encode(HELP_CODEPAGE)
    except UnicodeEncodeError as e:
        raise BuildError(f"{path.name}: {text[e.start:e.end]!r} has no {HELP_CODEPAGE} form") from e
    # The help viewer and chmcmd expect Windows line ends.
    path.write_bytes(data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n"))


def stage(root, help_dir, stage_dir):
    if stage_dir.exists():
        shutil.rmtree(stage_dir)
    stage_dir.mkdir(parents=True)

    hhp_text = (help_dir / PROJECT).read_text(encoding="utf-8")
    write_in_codepage(hhp_text, stage_dir / PROJECT)
    for name in SITEMAPS:
        write_in_codepage((help_dir / name).read_text(encoding="utf-8"), stage_dir / name)

    keys = radical_keys(root)
    for name in project_files(hhp_text):
        target = stage_dir / name
        target.parent.mkdir(parents=True, exist_ok=True)
        if name.startswith("strokes/"):
            source = root / "resources" / name
        else:
            source = help_dir / name
        if name == "radical_table.htm":
            target.write_text(render_radical_table(help_dir / (name + ".in"), keys), encoding="utf-8")
        elif source.is_file():
            shutil.copyfile(source, target)
        else:
            raise BuildError(f"{PROJECT} lists {name}, but there is no {source}")


def compile_chm(chmcmd, stage_dir, output):
    run = subprocess.run([chmcmd, "--html-scan", PROJECT], cwd=stage_dir,
                         stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                         errors="replace")
    log = run.stdout
    # chmcmd reports missing files and bad links as warnings and still writes a help file.
    trouble = [line.strip() for line in log.splitlines() if re.match(r"\s*(Error|Warning)", line, re.I)]
    trouble = list(dict.fromkeys(trouble))
    if run.returncode != 0 or trouble:
        sys.stdout.write(log)
        raise BuildError(f"chmcmd failed (exit {run.returncode}): " + "; ".join(trouble))
    built = stage_dir / "ygHelp.chm"
    if not built.is_file() or built.stat().st_size == 0:
        raise BuildError("chmcmd wrote no ygHelp.chm")
    output.parent.mkdir(parents=True, exist_ok=True)
    partial = output.with_name(output.name + ".part")
    shutil.copyfile(built, partial)
    os.replace(partial, output)


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--root", required=True, type=Path, help="the source tree")
    ap.add_argument("--stage", required=True, type=Path, help="scratch folder for the compiler")
    ap.add_argument("--output", required=True, type=Path, help="where ygHelp.chm goes")
    ap.add_argument("--chmcmd", default="chmcmd")
    args = ap.parse_args()
    try:
        stage(args.root, args.root / "help", args.stage)
        compile_chm(args.chmcmd, args.stage, args.output)
    except (BuildError, OSError) as e:
        print(f"make_chm.py: {e}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
