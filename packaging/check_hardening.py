#!/usr/bin/env python3
"""Checks that ygpanel.exe is built hardened and can be run from any folder safely:

  - ASLR with a 64-bit address space and DEP: DYNAMIC_BASE, HIGH_ENTROPY_VA and NX_COMPAT set,
    large addresses allowed, relocations kept, no section both writable and executable;
  - a DLL dropped beside it is not loaded in place of a system one: it imports only Known DLLs,
    which Windows always takes from the system folder (comctl32 too, which the manifest
    redirects to version 6 in WinSxS), and it calls SetDefaultDllDirectories, so that what is
    loaded once wWinMain runs comes from the system folder too. A DLL outside that set, even one
    of Windows such as ucrtbase or version, is looked for beside the program first; MinGW's
    runtime DLLs (libstdc++, libgcc, libwinpthread) must be linked in statically. What the
    system DLLs load for themselves before wWinMain is beyond the program's reach.

usage: check_hardening.py <program.exe>
"""

import re
import sys

import pe

# HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs of Windows 10 and 11, with
# ntdll, which the loader maps before anything else.
KNOWN_DLLS = {
    "advapi32", "clbcatq", "combase", "comdlg32", "coml2", "gdi32", "gdiplus", "imagehlp",
    "imm32", "kernel32", "msctf", "msvcrt", "normaliz", "nsi", "ntdll", "ole32", "oleaut32",
    "psapi", "rpcrt4", "sechost", "setupapi", "shcore", "shell32", "shlwapi", "user32",
    "wldap32", "ws2_32",
}
# API sets resolve inside the loader to system DLLs.
API_SET = re.compile(r"^(api|ext)-ms-win-[a-z0-9-]+-l\d+-\d+-\d+$")
COMMON_CONTROLS_6 = re.compile(
    rb'name="Microsoft\.Windows\.Common-Controls"\s+version="6\.0\.0\.0"')


class Checks:
    def __init__(self):
        self.passed = 0
        self.failed = 0

    def check(self, ok, what, detail=""):
        if ok:
            self.passed += 1
            print(f"ok: {what}")
        else:
            self.failed += 1
            print(f"FAILED: {what}" + (f" ({detail})" if detail else ""))


def dll_stem(name):
    name = name.lower()
    return name[:-4] if name.endswith(".dll") else name


def check(image, checks):
    c = checks.check
    c(image.machine == pe.MACHINE_AMD64 and image.is_64bit, "a 64-bit x64 program",
      f"machine 0x{image.machine:x}")
    c(image.subsystem == pe.SUBSYSTEM_WINDOWS_GUI, "a GUI program, no console",
      f"subsystem {image.subsystem}")

    flags = image.dll_characteristics
    for bit, name in ((pe.DLL_DYNAMIC_BASE, "DYNAMIC_BASE (ASLR)"),
                      (pe.DLL_HIGH_ENTROPY_VA, "HIGH_ENTROPY_VA (64-bit ASLR)"),
                      (pe.DLL_NX_COMPAT, "NX_COMPAT (DEP)")):
        c(flags & bit, f"{name} is set", f"DllCharacteristics 0x{flags:04x}")
    c(image.characteristics & pe.FILE_LARGE_ADDRESS_AWARE, "addresses above 2 GB allowed",
      f"Characteristics 0x{image.characteristics:04x}")
    c(not image.characteristics & pe.FILE_RELOCS_STRIPPED, "relocations are not stripped",
      f"Characteristics 0x{image.characteristics:04x}")
    reloc_rva, reloc_size = image.directory(pe.DIR_BASERELOC)
    c(reloc_size > 0 and image.section_of(reloc_rva) is not None,
      "a base relocation table, so that the program can be moved",
      f"directory 0x{reloc_rva:x}+{reloc_size}")
    wx = [s.name for s in image.sections
          if s.characteristics & pe.SCN_MEM_WRITE and s.characteristics & pe.SCN_MEM_EXECUTE]
    c(not wx, "no section is both writable and executable", ", ".join(wx))

    imports = image.imports()
    delayed = image.delay_imports()
    manifests = image.resources(pe.RT_MANIFEST)
    comctl6 = any(COMMON_CONTROLS_6.search(m) for m in manifests)
    for dll, _ in imports + delayed:
        stem = dll_stem(dll)
        if stem == "comctl32":
            c(comctl6, f"{dll} comes from WinSxS: the manifest asks for Common-Controls 6.0",
              "no such dependency in the manifest")
        else:
            c(stem in KNOWN_DLLS or API_SET.match(stem), f"{dll} is a Known DLL",
              "a DLL of that name beside the program would be loaded instead")
    kernel32 = [names for dll, names in imports if dll_stem(dll) == "kernel32"]
    c(kernel32 and "SetDefaultDllDirectories" in kernel32[0],
      "SetDefaultDllDirectories is imported from kernel32",
      "later DLL loads would search the program's folder")
    return imports, delayed


def main(argv):
    if len(argv) != 2:
        print(__doc__.strip().splitlines()[-1].strip(), file=sys.stderr)
        return 2
    try:
        image = pe.Pe.load(argv[1])
        checks = Checks()
        imports, delayed = check(image, checks)
    except (OSError, pe.PeError) as e:
        print(f"{argv[1]}: {e}", file=sys.stderr)
        return 2
    print("imports: " + ", ".join(dll for dll, _ in imports)
          + ("; delayed: " + ", ".join(dll for dll, _ in delayed) if delayed else ""))
    print(f"{checks.passed} passed, {checks.failed} failed")
    return 0 if checks.failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
