#!/usr/bin/env python3
"""Fails the stub's build when it imports a library Windows may take from
the program's own folder.

The stub runs with administrator rights from folders others can write to (a
downloads folder, beside an installed agent). The libraries it imports are
mapped by the loader before any code of the stub runs, so its restriction of
the library search (src/win/Utils/system_library.h) cannot cover them: only a
library that Windows never looks for beside the program may be imported.
Every other library is loaded at run time from the system folder.

Usage: check_stub_imports.py EXE    (prints nothing when the imports are
allowed). When they are not, EXE is deleted and the script fails: a stub
that a planted DLL could ride must not be taken for a finished build.
"""
import os
import struct
import sys

# Each allowed import, with why the loader never takes it from the
# program's folder.
ALLOWED = {
    # Known DLLs on every Windows NT since XP: always mapped from the system
    # folder, whatever lies beside the program.
    "kernel32.dll": "known DLL",
    "user32.dll": "known DLL",
    "gdi32.dll": "known DLL",
    "advapi32.dll": "known DLL",
    "shell32.dll": "known DLL",
    "ole32.dll": "known DLL",
    # Known DLLs since Windows 7 at the latest (the C runtime of MinGW
    # programs, and the shell's light API).
    "msvcrt.dll": "known DLL",
    "shlwapi.dll": "known DLL",
    # Not a known DLL: the stub's manifest names Common Controls 6, which the
    # loader takes from the system's side-by-side store before it looks in
    # any folder.
    "comctl32.dll": "side-by-side assembly named by the manifest",
}

IMPORT_DIRECTORY = 1
DELAY_IMPORT_DIRECTORY = 13
DESCRIPTOR_SIZE = {IMPORT_DIRECTORY: 20, DELAY_IMPORT_DIRECTORY: 32}
NAME_FIELD = {IMPORT_DIRECTORY: 12, DELAY_IMPORT_DIRECTORY: 4}


class Image:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE header")
        sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        self.directories = optional + (96 if magic == 0x10B else 112)
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            size, rva, raw_size, raw = struct.unpack_from("<4I", data, table + 40 * i + 8)
            self.sections.append((rva, max(size, raw_size), raw))

    def offset(self, rva):
        for start, size, raw in self.sections:
            if start <= rva < start + size:
                return raw + rva - start
        raise ValueError(f"address {rva:#x} lies in no section")

    def text(self, rva):
        at = self.offset(rva)
        return self.data[at:self.data.index(b"\0", at)].decode("ascii", "replace")

    def libraries(self, directory):
        rva, size = struct.unpack_from("<II", self.data, self.directories + 8 * directory)
        names = []
        if rva == 0 or size == 0:
            return names
        at = self.offset(rva)
        step = DESCRIPTOR_SIZE[directory]
        while any(self.data[at:at + step]):
            names.append(self.text(struct.unpack_from("<I", self.data, at + NAME_FIELD[directory])[0]))
            at += step
        return names


def main(path):
    with open(path, "rb") as f:
        image = Image(f.read())
    imports = image.libraries(IMPORT_DIRECTORY) + image.libraries(DELAY_IMPORT_DIRECTORY)
    refused = [name for name in imports if name.lower() not in ALLOWED]
    if not imports:
        os.remove(path)
        sys.exit(f"{path}: no import table found")
    if refused:
        os.remove(path)
        sys.exit(f"{path}: imports {', '.join(refused)}; a stub may import only "
                 f"{', '.join(sorted(ALLOWED))} (the others load at run time from the system "
                 "folder: src/win/Utils/system_library.h)")


if __name__ == "__main__":
    main(sys.argv[1])
