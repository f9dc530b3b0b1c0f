#!/usr/bin/python3
"""Builds the release zip with `make release` in a clone of SOURCE_DIR's
committed HEAD and fails unless it is what an XP user must be handed: the
five files and nothing else, a zip XP's own zip folders open, a read-me
Notepad shows right that names what the program writes, sums and build
facts that hold, the same bytes when made again, and a dirty tree refused.

Usage: check-release.py SOURCE_DIR
"""
import hashlib
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zipfile

NAMES = {"Dovrel.exe", "README.txt", "LICENSE.txt", "SHA256SUMS.txt", "BUILDINFO.txt"}
# Notepad without word wrap, maximised on an 800 by 600 screen.
NOTEPAD_COLUMNS = 76
# The six values the program writes, each key as regedit shows it and the
# data of its default value, as the read-me lays them out.
COMMAND = '"(the viewer\'s full path)" "%1"'
REGISTRY_VALUES = [
    ("HKEY_CLASSES_ROOT\\PowerPointViewer.SlideShow.11\\shell\\open\\command", COMMAND),
    ("HKEY_CLASSES_ROOT\\PowerPointViewer.SlideShow.11\\shell", "open"),
    ("HKEY_CLASSES_ROOT\\.pps", "PowerPointViewer.SlideShow.11"),
    ("HKEY_CLASSES_ROOT\\PowerPointViewer.Show.11\\shell\\open\\command", COMMAND),
    ("HKEY_CLASSES_ROOT\\PowerPointViewer.Show.11\\shell", "open"),
    ("HKEY_CLASSES_ROOT\\.ppt", "PowerPointViewer.Show.11"),
]
COMMAND_EXAMPLE = '"C:\\Program Files\\Microsoft Office\\Office12\\pptview.exe" "%1"'

failures = []


def expect(condition, message):
    if not condition:
        failures.append(message)
    return condition


def run(command, cwd, env=None):
    return subprocess.run(command, cwd=cwd, env=env, capture_output=True, text=True)


def clone(source, path):
    """A checkout of SOURCE's HEAD as committed: nothing uncommitted comes along."""
    for command in (["git", "init", "-q", path], ["git", "fetch", "-q", source, "HEAD"],
                    ["git", "-c", "advice.detachedHead=false", "checkout", "-q", "FETCH_HEAD"]):
        subprocess.run(command, cwd=path if command[1] != "init" else None, check=True)


def make_release(checkout):
    # Nothing of an outer make (its jobs, its variables) reaches this one.
    env = {k: v for k, v in os.environ.items() if k not in ("MAKEFLAGS", "MAKELEVEL", "MFLAGS")}
    result = run(["make", "--no-print-directory", "release"], checkout, env)
    return result.returncode, result.stdout + result.stderr


def release_zip(checkout):
    folder = os.path.join(checkout, "build/release")
    names = sorted(os.listdir(folder)) if os.path.isdir(folder) else []
    found = [os.path.join(folder, name) for name in names
             if re.fullmatch(r"Dovrel-\d+\.\d+\.\d+\.\d+\.zip", name)]
    return found[0] if len(found) == 1 else None


def check_format(path):
    """What XP's "Compressed (zipped) Folders" open: no ZIP64, stored or
    deflated, nothing newer than version 2.0 needs, no encryption, ASCII names."""
    data = open(path, "rb").read()
    expect(b"PK\x06\x06" not in data and b"PK\x06\x07" not in data,
           "the zip has a ZIP64 end record")
    with zipfile.ZipFile(path) as archive:
        for entry in archive.infolist():
            name = entry.filename
            expect(name.isascii() and not entry.flag_bits & 0x800, f"{name!r}: not an ASCII name")
            expect(not entry.flag_bits & 0x1, f"{name}: encrypted")
            # The local header says it all again, and an unzipper may read either.
            fields = struct.unpack_from("<IHHHHHIIIHH", data, entry.header_offset)
            extra_start = entry.header_offset + 30 + fields[9]
            local_extra = data[extra_start:extra_start + fields[10]]
            for where, method, needed, extra in (
                    ("central directory", entry.compress_type, entry.extract_version, entry.extra),
                    ("local header", fields[3], fields[1], local_extra)):
                expect(method in (zipfile.ZIP_STORED, zipfile.ZIP_DEFLATED),
                       f"{name}: compression method {method} in its {where}, "
                       "not stored or deflated")
                expect(needed <= 20, f"{name}: its {where} needs version {needed / 10} to extract")
                expect(not has_zip64_field(extra), f"{name}: a ZIP64 field in its {where}")
            expect(fields[0] == 0x04034B50 and not fields[2] & 0x1,
                   f"{name}: no local header where the directory says, or encrypted")


def has_zip64_field(extra):
    offset = 0
    while offset + 4 <= len(extra):
        field_id, size = struct.unpack_from("<HH", extra, offset)
        if field_id == 0x0001:
            return True
        offset += 4 + size
    return False


def check_contents(path, built_exe, commit):
    with zipfile.ZipFile(path) as archive:
        names = archive.namelist()
        expect(sorted(names) == sorted(NAMES),
               f"the zip holds {sorted(names)}, wanted exactly {sorted(NAMES)}")
        files = {name: archive.read(name) for name in set(names) & NAMES}
    if "Dovrel.exe" in files:
        expect(files["Dovrel.exe"] == open(built_exe, "rb").read(),
               "Dovrel.exe in the zip is not the one `make exe` built")

    summed = {}
    for line in files.get("SHA256SUMS.txt", b"").decode("ascii", "replace").splitlines():
        found = re.fullmatch(r"([0-9a-f]{64})  (\S+)", line)
        if expect(found, f"SHA256SUMS.txt: not in sha256sum's format: {line!r}"):
            summed[found[2]] = found[1]
    expect(sorted(summed) == sorted(NAMES - {"SHA256SUMS.txt"}),
           f"SHA256SUMS.txt sums {sorted(summed)}, wanted every other file")
    for name, digest in summed.items():
        expect(name in files and hashlib.sha256(files[name]).hexdigest() == digest,
               f"SHA256SUMS.txt: wrong sum for {name}")

    readme = files.get("README.txt", b"")
    expect(readme.isascii(), "README.txt is not plain ASCII")
    expect(readme.count(b"\n") == readme.count(b"\r\n") == readme.count(b"\r") > 0,
           "README.txt has line ends other than CR LF")
    for number, line in enumerate(readme.split(b"\r\n"), 1):
        expect(len(line) <= NOTEPAD_COLUMNS,
               f"README.txt line {number} has {len(line)} characters, over {NOTEPAD_COLUMNS}")
    text = readme.decode("ascii", "replace")
    for key, data in REGISTRY_VALUES:
        expect(f"  {key}\r\n      (Default) = {data}\r\n" in text,
               f"README.txt does not name {key} with (Default) = {data}")
    expect(COMMAND_EXAMPLE in text, f"README.txt does not show the command {COMMAND_EXAMPLE}")

    expect(re.search(rf"\b{commit}\b", files.get("BUILDINFO.txt", b"").decode("ascii", "replace")),
           f"BUILDINFO.txt does not name the commit {commit}")


def check_refusals(checkout, zip_path):
    """Uncommitted changes, or a file git would pick up, must stop the release."""
    for what, change in (("a changed tracked file", "README.md"),
                         ("an untracked file", "untracked.txt")):
        with open(os.path.join(checkout, change), "a", encoding="ascii") as changed:
            changed.write("uncommitted\n")
        if os.path.exists(zip_path):
            os.remove(zip_path)
        status, output = make_release(checkout)
        expect(status != 0 and "uncommitted changes" in output and not os.path.exists(zip_path),
               f"`make release` did not refuse {what} (exit {status}):\n{output[-800:]}")
        run(["git", "checkout", "-q", "--", "."], checkout)
        if change == "untracked.txt":
            os.remove(os.path.join(checkout, change))


def main(arguments):
    if len(arguments) != 1:
        sys.exit(__doc__.split("\n\n")[1])
    source = os.path.abspath(arguments[0])
    work = tempfile.mkdtemp(prefix="dovrel-release.")
    first, second = os.path.join(work, "first"), os.path.join(work, "second")
    clone(source, first)
    commit = run(["git", "rev-parse", "HEAD"], first).stdout.strip()

    status, output = make_release(first)
    zip_path = status == 0 and release_zip(first)
    if not zip_path:
        print(output[-3000:])
        print(f"FAIL: `make release` made no zip (exit {status}); kept {work}")
        return 1
    made_at = time.time()
    digest = hashlib.sha256(open(zip_path, "rb").read()).hexdigest()
    expect(f"SHA-256: {digest}" in output and os.path.abspath(zip_path) in output,
           f"`make release` did not print the zip's path and SHA-256:\n{output[-800:]}")
    exe = os.path.join(first, "build/win32/Dovrel.exe")
    check_format(zip_path)
    check_contents(zip_path, exe, commit)

    # Again from another clone, at another path, with other permissions and a
    # later clock (DOS times count in two seconds): the same bytes. The exe's own
    # rebuild is checked by check-reproducible.sh.
    clone(source, second)
    time.sleep(max(0.0, made_at + 2.5 - time.time()))
    again = run(["sh", "-c", 'umask 077 && exec /usr/bin/python3 tools/make-release.py "$@"',
                 "sh", exe, "out"], second)
    again_zip = os.path.join(second, "out", os.path.basename(zip_path))
    expect(again.returncode == 0 and os.path.exists(again_zip)
           and open(again_zip, "rb").read() == open(zip_path, "rb").read(),
           f"the zip made a second time differs from the first: {again.stdout}{again.stderr}")

    check_refusals(first, zip_path)

    if failures:
        print("\n".join(f"FAIL: {failure}" for failure in failures))
        print(f"(the clones are kept in {work})")
        return 1
    print(f"OK: {os.path.basename(zip_path)} of {commit}, SHA-256 {digest}: the five files, "
          "in a format XP's zip folders open, read-me, sums and build facts right, the same "
          "bytes again, dirty trees refused")
    shutil.rmtree(work)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
