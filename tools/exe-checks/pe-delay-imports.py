#!/usr/bin/python3
"""Lists the delay-load imports of a Windows program, one "dll<TAB>function"
line each ("dll<TAB>#ordinal" for one imported by ordinal), DLL names in
lower case.

objdump -p prints no delay-load imports, and GNU ld (binutils 2.40) leaves
the header's Delay Import Directory empty: the descriptors that dlltool's
delay-import libraries link in are reached only through the code that calls
them. So besides the directory, every section is searched for descriptors in
the form dlltool and Microsoft's linkers write (RVA-based, attribute 1) whose
DLL name and name table read as such.

Usage: pe-delay-imports.py EXE
Exit status: 0 listed (possibly nothing); 1 the directory names a table that
cannot be read; 2 EXE cannot be read or is no Windows program.
"""
import struct
import sys

DESCRIPTOR = struct.Struct("<8I")  # attributes, name, module handle, IAT, INT, bound, unload, time
RVA_BASED = 1
MAX_NAME = 256


class Unreadable(Exception):
    pass


class Image:
    def __init__(self, data):
        if data[:2] != b"MZ" or len(data) < 0x40:
            raise ValueError("no MZ header")
        header = struct.unpack_from("<I", data, 0x3C)[0]
        if data[header:header + 4] != b"PE\0\0":
            raise ValueError("no PE header")
        sections, optional_size = struct.unpack_from("<2xH12xH", data, header + 4)
        optional = header + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        if magic not in (0x10B, 0x20B):
            raise ValueError(f"unknown optional header 0x{magic:x}")
        wide = magic == 0x20B
        self.thunk = struct.Struct("<Q" if wide else "<I")
        self.ordinal_flag = 1 << (63 if wide else 31)
        self.image_base = struct.unpack_from(self.thunk.format, data,
                                             optional + (24 if wide else 28))[0]
        directories = optional + (112 if wide else 96)
        count = struct.unpack_from("<I", data, directories - 4)[0]
        self.delay_directory = (struct.unpack_from("<2I", data, directories + 13 * 8)
                                if count > 13 else (0, 0))
        table = optional + optional_size
        self.sections = [struct.unpack_from("<8xIIII", data, table + 40 * i)
                         for i in range(sections)]
        self.data = data

    def offset(self, rva, size=1):
        """Where `size` bytes at `rva` lie in the file, if they lie in one section's data."""
        for virtual_size, address, raw_size, raw_offset in self.sections:
            in_file = min(raw_size, virtual_size) if virtual_size else raw_size
            if address <= rva and rva + size <= address + in_file:
                return raw_offset + rva - address
        raise Unreadable(f"RVA 0x{rva:x} is in no section's data")

    def text(self, rva):
        start = self.offset(rva)
        end = self.data.find(b"\0", start, start + MAX_NAME)
        raw = self.data[start:end]
        if end < 0 or not raw or not all(0x21 <= byte <= 0x7E for byte in raw):
            raise Unreadable(f"no name at RVA 0x{rva:x}")
        return raw.decode("ascii")

    def functions(self, rva, rva_based):
        names = []
        while True:
            entry = self.thunk.unpack_from(self.data, self.offset(rva, self.thunk.size))[0]
            if entry == 0:
                return names
            if entry & self.ordinal_flag:
                names.append(f"#{entry & 0xFFFF}")
            else:
                names.append(self.text(self.rva(entry, rva_based) + 2))  # after the hint
            rva += self.thunk.size

    def rva(self, address, rva_based):
        return address if rva_based else address - self.image_base

    def descriptor(self, fields):
        attributes, name, _, _, name_table = fields[:5]
        rva_based = attributes & RVA_BASED
        functions = self.functions(self.rva(name_table, rva_based), rva_based)
        if not functions:
            raise Unreadable("an empty name table")
        return self.text(self.rva(name, rva_based)).lower(), functions


def from_directory(image):
    start, size = image.delay_directory
    found = {}
    # Up to an all-zero descriptor or the directory's end, whichever comes first.
    for rva in range(start, start + size - DESCRIPTOR.size + 1 if start else start,
                     DESCRIPTOR.size):
        offset = image.offset(rva, DESCRIPTOR.size)
        fields = DESCRIPTOR.unpack_from(image.data, offset)
        if not any(fields):
            break
        found[offset] = image.descriptor(fields)
    return found


def by_search(image, known):
    found = {}
    for _, _, raw_size, raw_offset in image.sections:
        for offset in range(raw_offset, raw_offset + raw_size - DESCRIPTOR.size + 1, 4):
            fields = DESCRIPTOR.unpack_from(image.data, offset)
            if fields[0] != RVA_BASED or offset in known or not fields[1] or not fields[4]:
                continue
            try:
                found[offset] = image.descriptor(fields)
            except (Unreadable, struct.error):
                pass  # data that only looks like the start of a descriptor
    return found


def main(arguments):
    if len(arguments) != 1:
        print(__doc__.split("\n\n")[2], file=sys.stderr)
        return 2
    try:
        with open(arguments[0], "rb") as program:
            image = Image(program.read())
    except (OSError, ValueError, struct.error) as error:
        print(f"cannot read {arguments[0]} as a Windows program: {error}", file=sys.stderr)
        return 2
    try:
        listed = from_directory(image)
    except (Unreadable, struct.error) as error:
        print(f"{arguments[0]}: the Delay Import Directory cannot be read: {error}",
              file=sys.stderr)
        return 1
    for _, (dll, functions) in sorted({**listed, **by_search(image, listed)}.items()):
        for function in functions:
            print(f"{dll}\t{function}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
