#!/usr/bin/python3
"""Runs the XP import check with --remove-on-failure on broken copies of
programs; passes only when each copy fails with the exit status and texts its
row names and is gone afterwards: whatever goes wrong, no program that nobody
vouched for is left behind.

Usage: xp_imports_check_failures.py CHECK OBJDUMP XP_EXE VISTA_EXE DELAYED_VISTA_EXE
"""
import os
import struct
import subprocess
import sys
import tempfile


class Program:
    """A copy of a program's bytes, with just enough of its headers to break it."""

    def __init__(self, path):
        with open(path, "rb") as program:
            self.data = bytearray(program.read())
        header = struct.unpack_from("<I", self.data, 0x3C)[0]
        count, optional_size = struct.unpack_from("<2xH12xH", self.data, header + 4)
        self.directories = header + 24 + 96  # PE32
        table = header + 24 + optional_size
        self.section_headers = [table + 40 * i for i in range(count)]

    def offset(self, rva):
        for header in self.section_headers:
            size, address, _, raw = struct.unpack_from("<8xIIII", self.data, header)
            if address <= rva < address + size:
                return raw + rva - address
        raise ValueError(f"RVA 0x{rva:x} in no section")

    def set_directory(self, index, rva, size):
        struct.pack_into("<2I", self.data, self.directories + 8 * index, rva, size)
        return self

    def without_imports(self):
        """No import directory, and no .idata section objdump would fall back on."""
        for header in self.section_headers:
            if self.data[header:header + 8].rstrip(b"\0") == b".idata":
                self.data[header:header + 8] = b".nodata\0"
        return self.set_directory(1, 0, 0)

    def with_unfollowable_entry(self, dll):
        """The first name of `dll`'s import table points far outside the file."""
        descriptor = self.offset(struct.unpack_from("<I", self.data, self.directories + 8)[0])
        while True:
            name_table, _, _, name, _ = struct.unpack_from("<5I", self.data, descriptor)
            if not name:
                raise ValueError(f"{dll} is not imported")
            start = self.offset(name)
            if self.data[start:self.data.index(b"\0", start)].decode().lower() == dll:
                struct.pack_into("<I", self.data, self.offset(name_table), 0x7FFFFFF0)
                return self
            descriptor += 20


def main(arguments):
    if len(arguments) != 5:
        sys.exit(__doc__.split("\n\n")[1])
    check, objdump, xp_exe, vista_exe, delayed_exe = arguments
    rows = [
        # what, the program's bytes, OBJDUMP, exit status, texts
        ("the objdump it is told to use is missing", Program(xp_exe).data,
         "/nonexistent/objdump", 2, ["cannot read the imports of", "exit status 127"]),
        ("a file objdump cannot read", b"not a program\n", objdump, 2,
         ["cannot read the imports of", "exit status 1"]),
        ("a program without import tables", Program(xp_exe).without_imports().data, objdump, 2,
         ["no imports found in"]),
        ("an import XP lacks", Program(vista_exe).data, objdump, 1,
         ["NOT EXPORTED BY XP: kernel32.dll!GetTickCount64\n"]),
        ("a delay-loaded import XP lacks", Program(delayed_exe).data, objdump, 1,
         ["NOT EXPORTED BY XP: kernel32.dll!GetTickCount64 (delay-loaded)"]),
        # The rest of the table is still read after the line objdump cannot print.
        ("an entry objdump cannot follow, before an import XP lacks",
         Program(vista_exe).with_unfollowable_entry("kernel32.dll").data, objdump, 1,
         ["UNREADABLE LINE IN AN IMPORT TABLE: kernel32.dll: <corrupt:",
          "NOT EXPORTED BY XP: kernel32.dll!GetTickCount64\n"]),
        ("a Delay Import Directory outside the program",
         Program(xp_exe).set_directory(13, 0x7FFFFF00, 32).data, objdump, 1,
         ["its delay-load imports cannot be read"]),
    ]
    failures = 0
    with tempfile.TemporaryDirectory(prefix="dovrel-xp-imports.") as work:
        for number, (what, data, tool, status, texts) in enumerate(rows, 1):
            exe = os.path.join(work, f"case{number}.exe")
            with open(exe, "wb") as program:
                program.write(data)
            result = subprocess.run([check, "--remove-on-failure", exe], capture_output=True,
                                    text=True, env={**os.environ, "OBJDUMP": tool})
            output = result.stdout + result.stderr
            faults = [f"no {text!r} in the output" for text in texts if text not in output]
            if result.returncode != status:
                faults.append(f"exit status {result.returncode}, wanted {status}")
            if os.path.exists(exe):
                faults.append("the program is still there")
            print(f"{'FAIL' if faults else 'ok'}: {what}" + "".join(f"\n  {f}" for f in faults))
            if faults:
                print("  output:\n    " + output.rstrip("\n").replace("\n", "\n    "))
                failures += 1
    print(f"{len(rows) - failures} of {len(rows)} cases failed as they must")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
