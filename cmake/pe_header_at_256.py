#!/usr/bin/env python3
"""Moves the PE header of a linked exe to file offset 256.

A setup file marks where its package ends in bytes 248..255 of the stub's
DOS header area, and the stub trusts that mark only when "PE" sits at 256.
The MinGW linker puts the PE header at 0x80, so the NT headers and the
section table are moved up by 0x80 inside the header area the linker
reserved (SizeOfHeaders), e_lfanew is updated, the freed bytes (248..255
among them) are zeroed and the header checksum is made right again.

Usage: pe_header_at_256.py EXE    (rewrites EXE in place; a no-op when the
header already sits at 256). When the headers do not fit, EXE is deleted and
the script fails: a stub that cannot mark its package end must not be taken
for a finished build.
"""
import os
import struct
import sys

TARGET = 256
E_LFANEW = 0x3C
COFF_SIZE = 20
SECTION_SIZE = 40
CHECKSUM_IN_OPTIONAL = 64


def fail(path, why):
    os.remove(path)
    sys.exit(f"{path}: cannot put the PE header at {TARGET}: {why}")


def pe_checksum(data, checksum_at):
    total = 0
    for i in range(0, len(data), 2):
        if checksum_at <= i < checksum_at + 4:
            continue
        word = data[i] | (data[i + 1] << 8 if i + 1 < len(data) else 0)
        total += word
        total = (total & 0xFFFF) + (total >> 16)
    total = (total & 0xFFFF) + (total >> 16)
    return (total + len(data)) & 0xFFFFFFFF


def headers_span(data, at, path):
    if data[at:at + 4] != b"PE\0\0":
        fail(path, f"no PE signature at {at}")
    sections, optional_size = struct.unpack_from("<H12xH", data, at + 4 + 2)
    optional = at + 4 + COFF_SIZE
    size_of_headers = struct.unpack_from("<I", data, optional + 60)[0]
    table = optional + optional_size
    raw_starts = [struct.unpack_from("<I", data, table + i * SECTION_SIZE + 20)[0] for i in range(sections)]
    room = min([size_of_headers] + [r for r in raw_starts if r])
    length = 4 + COFF_SIZE + optional_size + sections * SECTION_SIZE
    return length, room


def move(data, path):
    if data[:2] != b"MZ":
        fail(path, "no MZ header")
    at = struct.unpack_from("<I", data, E_LFANEW)[0]
    if at == TARGET:
        return False
    if at > TARGET:
        fail(path, f"the PE header already sits past {TARGET} (at {at})")
    length, room = headers_span(data, at, path)
    if TARGET + length > room:
        fail(path, f"{length} header bytes do not fit before offset {room}")
    if any(data[at + length:TARGET + length]):
        fail(path, "the bytes after the section table are in use")
    data[TARGET:TARGET + length] = data[at:at + length]
    data[at:TARGET] = bytes(TARGET - at)
    struct.pack_into("<I", data, E_LFANEW, TARGET)
    checksum_at = TARGET + 4 + COFF_SIZE + CHECKSUM_IN_OPTIONAL
    if struct.unpack_from("<I", data, checksum_at)[0]:
        struct.pack_into("<I", data, checksum_at, 0)
        struct.pack_into("<I", data, checksum_at, pe_checksum(data, checksum_at))
    return True


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    path = sys.argv[1]
    with open(path, "rb") as f:
        data = bytearray(f.read())
    if move(data, path):
        with open(path, "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
