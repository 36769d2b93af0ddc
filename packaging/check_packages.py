#!/usr/bin/env python3
"""Checks the portable zip and the installer that package_all made, without running them:

  - the zip holds the folder 雁格输入法 with exactly ygpanel.exe, ygHelp.chm and 说明.txt, the
    first two byte for byte the built ones; its names are flagged UTF-8, so that Windows shows
    them in Chinese whatever its code page; 说明.txt is UTF-8 with a BOM and CRLF line ends;
  - the installer is a 64-bit Windows program whose manifest asks for no elevation and declares
    it DPI-aware, and whose version resource names the product and the version.

usage: check_packages.py <portable.zip> <setup.exe> <ygpanel.exe> <ygHelp.chm> <version>
"""

import re
import sys
import zipfile

import pe
from check_hardening import Checks

FOLDER = "雁格输入法"
ZIP_FLAG_UTF8 = 0x800
RT_VERSION = 16


def check_zip(path, exe, chm, version, checks):
    c = checks.check
    with zipfile.ZipFile(path) as z:
        c(z.testzip() is None, "the zip's CRCs are right")
        infos = z.infolist()
        files = sorted(i.filename for i in infos if not i.is_dir())
        want = sorted(f"{FOLDER}/{n}" for n in ("ygpanel.exe", "ygHelp.chm", "说明.txt"))
        c(files == want, "the zip holds the three files in one folder", ", ".join(files))
        dirs = [i.filename for i in infos if i.is_dir()]
        c(dirs in ([], [FOLDER + "/"]), "no other folder", ", ".join(dirs))
        non_ascii = [i for i in infos if not i.filename.isascii()]
        c(non_ascii and all(i.flag_bits & ZIP_FLAG_UTF8 for i in non_ascii),
          "Chinese names are flagged UTF-8",
          ", ".join(i.filename for i in non_ascii if not i.flag_bits & ZIP_FLAG_UTF8))
        names = set(files)

        def member(name):
            full = f"{FOLDER}/{name}"
            return z.read(full) if full in names else None

        with open(exe, "rb") as f:
            c(member("ygpanel.exe") == f.read(), "ygpanel.exe is the built one")
        with open(chm, "rb") as f:
            c(member("ygHelp.chm") == f.read(), "ygHelp.chm is the built one")
        readme = member("说明.txt") or b""
        c(readme.startswith(b"\xef\xbb\xbf"), "说明.txt starts with a UTF-8 BOM")
        c(readme.count(b"\n") > 5 and readme.count(b"\n") == readme.count(b"\r\n"),
          "说明.txt has CRLF line ends only")
        try:
            text = readme.decode("utf-8-sig")
        except UnicodeDecodeError as e:
            text = ""
            c(False, "说明.txt is UTF-8", str(e))
        c(version in text and "@" not in text, f"说明.txt names version {version}, no @VAR@ left")
        c("ygpanel.exe" in text and "ygHelp.chm" in text, "说明.txt names both files")


def version_strings(image):
    """The UTF-16 strings of the version resource, as one text."""
    return " ".join(r.decode("utf-16-le", "replace") for r in image.resources(RT_VERSION))


def check_setup(path, version, checks):
    c = checks.check
    image = pe.Pe.load(path)
    c(image.machine == pe.MACHINE_AMD64, "the installer is a 64-bit x64 program",
      f"machine 0x{image.machine:x}")
    manifests = image.resources(pe.RT_MANIFEST)
    c(len(manifests) == 1, "the installer has one manifest", str(len(manifests)))
    manifest = manifests[0].decode("utf-8", "replace") if manifests else ""
    level = re.search(r'requestedExecutionLevel\s+level="([^"]+)"', manifest)
    c(level and level.group(1) == "asInvoker", "the installer asks for no administrator rights",
      level.group(1) if level else "no requestedExecutionLevel")
    c("<dpiAware" in manifest, "the installer is DPI-aware")
    strings = version_strings(image)
    c(f"{version}.0" in strings or version in strings, f"the installer's version is {version}")
    c("雁格输入法" in strings, "the installer's version resource names the product")


def main(argv):
    if len(argv) != 6:
        print(__doc__.strip().splitlines()[-1].strip(), file=sys.stderr)
        return 2
    zip_path, setup, exe, chm, version = argv[1:]
    checks = Checks()
    try:
        check_zip(zip_path, exe, chm, version, checks)
        check_setup(setup, version, checks)
    except (OSError, zipfile.BadZipFile, pe.PeError) as e:
        print(f"error: {e}", file=sys.stderr)
        return 2
    print(f"{checks.passed} passed, {checks.failed} failed")
    return 0 if checks.failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
