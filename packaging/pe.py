"""A small reader of Windows PE files (.exe, .dll): headers, sections, imports and resources.

Only what the checks of our programs and installer need; raises PeError on anything malformed.
"""

import struct

# IMAGE_FILE_* (COFF header characteristics)
FILE_RELOCS_STRIPPED = 0x0001
FILE_LARGE_ADDRESS_AWARE = 0x0020
# IMAGE_DLLCHARACTERISTICS_*
DLL_HIGH_ENTROPY_VA = 0x0020
DLL_DYNAMIC_BASE = 0x0040
DLL_NX_COMPAT = 0x0100
# IMAGE_SCN_*
SCN_MEM_EXECUTE = 0x20000000
SCN_MEM_WRITE = 0x80000000
# IMAGE_DIRECTORY_ENTRY_*
DIR_IMPORT = 1
DIR_RESOURCE = 2
DIR_BASERELOC = 5
DIR_DELAY_IMPORT = 13

MACHINE_AMD64 = 0x8664
SUBSYSTEM_WINDOWS_GUI = 2
RT_MANIFEST = 24


class PeError(Exception):
    pass


class Section:
    def __init__(self, name, virtual_size, rva, raw_size, raw_offset, characteristics):
        self.name = name
        self.virtual_size = virtual_size
        self.rva = rva
        self.raw_size = raw_size
        self.raw_offset = raw_offset
        self.characteristics = characteristics

    def holds(self, rva):
        return self.rva <= rva < self.rva + max(self.virtual_size, self.raw_size)


class Pe:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise PeError("no MZ header")
        pe = self._u32(0x3C)
        if data[pe:pe + 4] != b"PE\0\0":
            raise PeError("no PE signature")
        (self.machine, count, _, _, _, optional_size,
         self.characteristics) = self._unpack("<HHIIIHH", pe + 4)
        optional = pe + 24
        self.magic = self._u16(optional)
        if self.magic == 0x20B:
            self.is_64bit = True
            dirs_count_at, dirs_at = optional + 108, optional + 112
        elif self.magic == 0x10B:
            self.is_64bit = False
            dirs_count_at, dirs_at = optional + 92, optional + 96
        else:
            raise PeError(f"unknown optional header magic 0x{self.magic:x}")
        self.subsystem = self._u16(optional + 68)
        self.dll_characteristics = self._u16(optional + 70)
        self.directories = []
        for i in range(min(self._u32(dirs_count_at), 16)):
            self.directories.append(self._unpack("<II", dirs_at + 8 * i))
        self.sections = []
        for i in range(count):
            at = optional + optional_size + 40 * i
            name = self.data[at:at + 8].rstrip(b"\0").decode("ascii", "replace")
            vsize, rva, raw_size, raw_offset = self._unpack("<IIII", at + 8)
            flags = self._u32(at + 36)
            self.sections.append(Section(name, vsize, rva, raw_size, raw_offset, flags))

    @classmethod
    def load(cls, path):
        with open(path, "rb") as f:
            return cls(f.read())

    # -- Raw access
    def _unpack(self, fmt, offset):
        try:
            return struct.unpack_from(fmt, self.data, offset)
        except struct.error as e:
            raise PeError(f"truncated at 0x{offset:x}") from e

    def _u16(self, offset):
        return self._unpack("<H", offset)[0]

    def _u32(self, offset):
        return self._unpack("<I", offset)[0]

    def directory(self, index):
        """(rva, size) of a data directory; (0, 0) when the file has none."""
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def section_of(self, rva):
        for s in self.sections:
            if s.holds(rva):
                return s
        return None

    def offset(self, rva):
        s = self.section_of(rva)
        if s is None or rva - s.rva >= s.raw_size:
            raise PeError(f"RVA 0x{rva:x} is in no section's file data")
        return s.raw_offset + rva - s.rva

    def read(self, rva, size):
        at = self.offset(rva)
        if at + size > len(self.data):
            raise PeError(f"RVA 0x{rva:x}+{size} runs past the end of the file")
        return self.data[at:at + size]

    def cstring(self, rva):
        at = self.offset(rva)
        end = self.data.find(b"\0", at)
        if end < 0:
            raise PeError(f"unterminated string at RVA 0x{rva:x}")
        return self.data[at:end].decode("ascii", "replace")

    # -- Imports
    def _thunk_names(self, rva):
        size, ordinal_flag = (8, 1 << 63) if self.is_64bit else (4, 1 << 31)
        names = []
        while True:
            (value,) = self._unpack("<Q" if self.is_64bit else "<I", self.offset(rva))
            if value == 0:
                return names
            # By ordinal: "#n"; by name: the hint/name entry's name.
            names.append(f"#{value & 0xFFFF}" if value & ordinal_flag else self.cstring(value + 2))
            rva += size

    def imports(self):
        """[(dll, [function names])] of the import directory, in file order."""
        rva, size = self.directory(DIR_IMPORT)
        result = []
        while rva and size:
            lookup, _, _, name, iat = self._unpack("<IIIII", self.offset(rva))
            if name == 0 and iat == 0:
                break
            result.append((self.cstring(name), self._thunk_names(lookup or iat)))
            rva += 20
        return result

    def delay_imports(self):
        """[(dll, [function names])] of the delay-load directory."""
        rva, size = self.directory(DIR_DELAY_IMPORT)
        result = []
        while rva and size:
            _, name, _, _, names, _, _, _ = self._unpack("<IIIIIIII", self.offset(rva))
            if name == 0:
                break
            result.append((self.cstring(name), self._thunk_names(names) if names else []))
            rva += 32
        return result

    # -- Resources
    def resources(self, type_id):
        """The data of every resource of a numeric type, all names and languages."""
        root, size = self.directory(DIR_RESOURCE)
        if not root or not size:
            return []
        found = []

        def entries(dir_rva):
            named, numbered = self._unpack("<HH", self.offset(dir_rva + 12))
            for i in range(named + numbered):
                ident, target = self._unpack("<II", self.offset(dir_rva + 16 + 8 * i))
                yield ident, target

        def collect(target):
            if target & 0x80000000:
                for _, sub in entries(root + (target & 0x7FFFFFFF)):
                    collect(sub)
            else:
                data_rva, data_size, _, _ = self._unpack("<IIII", self.offset(root + target))
                found.append(self.read(data_rva, data_size))

        for ident, target in entries(root):
            if ident == type_id:
                collect(target)
        return found
