#!/usr/bin/python3
"""Checks the zip `make release` makes, and that nothing but the commit gets
into it. A clean clone of SOURCE_DIR's committed HEAD runs `make exe`; a
second clone, with local changes git status does not show (an edited source
marked assume-unchanged, an edited read-me marked skip-worktree, untracked
and excluded sources that do not compile, status.showUntrackedFiles=no,
core.autocrlf, stale release folders), runs `make release`. The zip must
hold the clean clone's Dovrel.exe and none of the changes: the five files
and nothing else, a zip XP's own zip folders open, a read-me Notepad shows
right whose claims hold, sums and build facts that hold, the same bytes when
packed again, and dirty trees refused.

Usage: check-release.py SOURCE_DIR
       check-release.py --readme-faults README
The second form checks that the read-me checks reject each fault of a table
put into README (release/README.txt), and pass README itself.
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
BACKUP_HEADING = "Before you press Fix: save the keys"
STEPS_HEADING = "How to use it, step by step"
# When .ppt is left alone, and what "Completed!" then covers.
PPT_EXCEPTION = ["HKEY_CLASSES_ROOT\\PowerPointViewer.Show.11\\shell\\open\\command",
                 ".ppt is left as it is", '"Completed!" then covers .pps alone']
# The program removes a .ppt command it has just created when a later write
# is refused: no sentence may say that nothing is removed.
NOTHING_DELETED = re.compile(
    r"\bnothing (?:\w+ )?(?:is|was|gets|will be) (?:ever )?(?:deleted|removed)\b"
    r"|\b(?:deletes|removes) nothing\b|\bnever (?:deletes|removes)\b"
    r"|\bno (?:value|key)s? (?:is|are|was|were|gets?) (?:ever )?(?:deleted|removed)\b", re.I)
# What the clone with local changes adds; none of it may reach the zip.
LOCAL_README_LINE = "A line added to the read-me and never committed."

failures = []


def expect(condition, message):
    if not condition:
        failures.append(message)
    return condition


def run(command, cwd, env=None, check=False):
    return subprocess.run(command, cwd=cwd, env=env, capture_output=True, text=True, check=check)


def clone(source, path):
    """A checkout of SOURCE's HEAD as committed: nothing uncommitted comes along."""
    for command in (["git", "init", "-q", path], ["git", "fetch", "-q", source, "HEAD"],
                    ["git", "-c", "advice.detachedHead=false", "checkout", "-q", "FETCH_HEAD"]):
        subprocess.run(command, cwd=path if command[1] != "init" else None, check=True)


def make(checkout, target):
    # Nothing of an outer make (its jobs, its variables) reaches this one.
    env = {k: v for k, v in os.environ.items() if k not in ("MAKEFLAGS", "MAKELEVEL", "MFLAGS")}
    result = run(["make", "--no-print-directory", target], checkout, env)
    return result.returncode, result.stdout + result.stderr


def write(checkout, path, text, mode="w"):
    path = os.path.join(checkout, path)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, mode, encoding="ascii") as changed:
        changed.write(text)


def add_local_changes(checkout):
    """Changes git status does not show, each of which would show in the zip
    or break its build if the release took it up."""
    source = "repair/association_repair.cpp"
    with open(os.path.join(checkout, source), encoding="ascii") as original:
        text = original.read()
    write(checkout, source, text.replace('L"Completed!"', 'L"Completed! (never committed)"'))
    write(checkout, "release/README.txt", LOCAL_README_LINE + "\n", "a")
    git = ["git", "-C", checkout]
    subprocess.run([*git, "update-index", "--assume-unchanged", source], check=True)
    subprocess.run([*git, "update-index", "--skip-worktree", "release/README.txt"], check=True)
    broken = '#error "this file was never committed"\n'
    write(checkout, "app/uncommitted.cpp", broken)
    write(checkout, "gate/excluded.cpp", broken)
    write(checkout, ".git/info/exclude", "gate/excluded.cpp\n", "a")
    subprocess.run([*git, "config", "status.showUntrackedFiles", "no"], check=True)
    subprocess.run([*git, "config", "core.autocrlf", "true"], check=True)
    # An earlier release's folders: a source that does not compile, and a
    # build folder that belongs to another source.
    write(checkout, "build/release-src/ui/stale.cpp", broken)
    write(checkout, "build/release-build/win32/CMakeCache.txt",
          "CMAKE_HOME_DIRECTORY:INTERNAL=/nonexistent\n")
    expect(run([*git, "status", "--porcelain"], checkout).stdout == "",
           "git status shows the local changes, so they do not test what they should")


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


def section(text, heading):
    """The text under a heading (a line underlined with dashes) up to the next one."""
    found = re.search(rf"^{re.escape(heading)}\n-+\n(.*?)(?=^[^\n]+\n-+\n|\Z)", text, re.M | re.S)
    return found[1] if found else None


def readme_faults(text):
    """What is wrong with the read-me's claims; `text` has LF line ends."""
    faults = []
    for key, data in REGISTRY_VALUES:
        if f"  {key}\n      (Default) = {data}\n" not in text:
            faults.append(f"README.txt does not name {key} with (Default) = {data}")
    if COMMAND_EXAMPLE not in text:
        faults.append(f"README.txt does not show the command {COMMAND_EXAMPLE}")

    # Numbered items, each with the lines indented under it, in one line each.
    items = [(found.start(), " ".join(found[0].split()))
             for found in re.finditer(r"^ {0,3}\d+\. .*(?:\n(?: .*|$))*", text, re.M)]
    presses = [start for start, item in items if re.search(r'\bpress "Fix"', item, re.I)]
    backup = re.search(rf"^{re.escape(BACKUP_HEADING)}\n-+\n", text, re.M)
    if not backup:
        faults.append(f'README.txt has no section "{BACKUP_HEADING}"')
    elif not presses:
        faults.append('README.txt has no step that presses "Fix"')
    elif backup.start() > presses[0]:
        faults.append(f'README.txt: "{BACKUP_HEADING}" comes after the first step that presses '
                      f'"Fix" (line {text.count(chr(10), 0, presses[0]) + 1})')

    steps = " ".join((section(text, STEPS_HEADING) or "").split())
    for words in PPT_EXCEPTION:
        if words not in steps:
            faults.append(f'README.txt: "{STEPS_HEADING}" does not say: {words}')

    claim = NOTHING_DELETED.search(" ".join(text.split()))
    if claim:
        faults.append(f'README.txt claims that nothing is removed: "{claim[0]}"')
    return faults


def check_contents(path, built_exe, commit):
    with zipfile.ZipFile(path) as archive:
        names = archive.namelist()
        expect(sorted(names) == sorted(NAMES),
               f"the zip holds {sorted(names)}, wanted exactly {sorted(NAMES)}")
        files = {name: archive.read(name) for name in set(names) & NAMES}
    if "Dovrel.exe" in files:
        expect(files["Dovrel.exe"] == open(built_exe, "rb").read(),
               "Dovrel.exe in the zip is not the one `make exe` built in a clean clone")

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
    text = readme.decode("ascii", "replace").replace("\r\n", "\n")
    failures.extend(readme_faults(text))
    expect(LOCAL_README_LINE not in text, "README.txt has a line that was never committed")

    info = files.get("BUILDINFO.txt", b"").decode("ascii", "replace")
    expect(re.search(rf"\b{commit}\b", info), f"BUILDINFO.txt does not name the commit {commit}")
    # The point release changes no byte; the packages' versions say what does.
    with open("/etc/debian_version", encoding="ascii") as version:
        point_release = version.read().strip()
    expect(not re.fullmatch(r"\d+\.\d+", point_release)
           or not re.search(rf"(?<![\w.+~:-]){re.escape(point_release)}(?![\w.+~-])", info),
           f"BUILDINFO.txt names the point release {point_release}")


def check_refusals(checkout):
    """Uncommitted changes, a file git would pick up, or local attributes that
    change the export must stop the release before anything is built."""
    for what, change, line, reason in (
            ("a changed tracked file", "README.md", "uncommitted\n", "uncommitted changes"),
            ("an untracked file", "untracked.txt", "uncommitted\n", "uncommitted changes"),
            ("local attributes that leave a file out of the export", ".git/info/attributes",
             "LICENSE export-ignore\n", "is not the tree of commit")):
        write(checkout, change, line, "a")
        status, output = make(checkout, "release")
        expect(status != 0 and reason in output and release_zip(checkout) is None,
               f"`make release` did not refuse {what} (exit {status}):\n{output[-800:]}")
        subprocess.run(["git", "checkout", "-q", "--", "."], cwd=checkout, check=True)
        if change != "README.md":
            os.remove(os.path.join(checkout, change))


def check_readme_faults(readme_path):
    """Each fault put into the read-me must be found, and the read-me itself pass."""
    with open(readme_path, encoding="ascii") as readme:
        sound = readme.read()
    backup = re.search(rf"^{re.escape(BACKUP_HEADING)}\n.*?(?=^{re.escape(STEPS_HEADING)}\n)",
                       sound, re.M | re.S)[0]

    def replaced(old, new):
        return lambda text: text.replace(old, new, 1) if old in text else None

    def backup_after_steps(text):
        after_steps = re.search(r"^Every message it can show", text, re.M)
        return after_steps and text.replace(backup, "", 1).replace(
            after_steps[0], backup + after_steps[0], 1)

    rows = [
        ("a value as the program does not write it",
         replaced("      (Default) = open\n", "      (Default) = Open\n"),
         "does not name HKEY_CLASSES_ROOT\\PowerPointViewer.SlideShow.11\\shell with"),
        ("the backup section after the steps", backup_after_steps,
         f'"{BACKUP_HEADING}" comes after the first step that presses "Fix"'),
        ("the .ppt exception left out of the steps",
         replaced('"Completed!" then covers .pps alone', '"Completed!" then says so'),
         f'"{STEPS_HEADING}" does not say: "Completed!" then covers .pps alone'),
        ("a line claiming nothing is deleted",
         replaced("Only change the keys listed above.\n",
                  "Only change the keys listed above. Nothing is\ndeleted.\n"),
         'claims that nothing is removed: "Nothing is deleted"'),
    ]
    problems = [f"the read-me itself: {fault}" for fault in readme_faults(sound)]
    for what, fault, wanted in rows:
        faulty = fault(sound)
        if not faulty or faulty == sound:
            problems.append(f"{what}: the fault could not be put into {readme_path}")
            continue
        found = readme_faults(faulty)
        print(f"{what}: {found}")
        if not any(wanted in message for message in found):
            problems.append(f"{what}: not found (wanted a fault with: {wanted})")
    print("\n".join(f"FAIL: {problem}" for problem in problems) or
          f"OK: the read-me checks find each of {len(rows)} faults, and pass {readme_path}")
    return 1 if problems else 0


def main(arguments):
    if len(arguments) == 2 and arguments[0] == "--readme-faults":
        return check_readme_faults(arguments[1])
    if len(arguments) != 1:
        sys.exit(__doc__.split("\n\n")[1])
    source = os.path.abspath(arguments[0])
    work = tempfile.mkdtemp(prefix="dovrel-release.")
    clean, changed = os.path.join(work, "clean"), os.path.join(work, "changed")
    clone(source, clean)
    commit = run(["git", "rev-parse", "HEAD"], clean).stdout.strip()

    status, output = make(clean, "exe")
    exe = os.path.join(clean, "build/win32/Dovrel.exe")
    if status != 0 or not os.path.isfile(exe):
        print(output[-3000:])
        print(f"FAIL: `make exe` in a clean clone built nothing (exit {status}); kept {work}")
        return 1

    clone(source, changed)
    add_local_changes(changed)
    status, output = make(changed, "release")
    zip_path = status == 0 and release_zip(changed)
    if not zip_path:
        print(output[-3000:])
        print(f"FAIL: `make release` with local changes made no zip (exit {status}); kept {work}")
        return 1
    made_at = time.time()
    digest = hashlib.sha256(open(zip_path, "rb").read()).hexdigest()
    expect(f"SHA-256: {digest}" in output and os.path.abspath(zip_path) in output,
           f"`make release` did not print the zip's path and SHA-256:\n{output[-800:]}")
    check_format(zip_path)
    check_contents(zip_path, exe, commit)

    # Packed again by the other clone, at another path, with other permissions
    # and a later clock (DOS times count in two seconds): the same bytes.
    time.sleep(max(0.0, made_at + 2.5 - time.time()))
    again = run(["sh", "-c", 'umask 077 && exec /usr/bin/python3 tools/release/make-release.py "$@"', "sh",
                 "--zip", os.path.join(changed, "build/release-build/win32/Dovrel.exe"),
                 os.path.join(changed, "build/release-src"), os.path.join(work, "again")], clean)
    again_zip = os.path.join(work, "again", os.path.basename(zip_path))
    expect(again.returncode == 0 and os.path.exists(again_zip)
           and open(again_zip, "rb").read() == open(zip_path, "rb").read(),
           f"the zip packed a second time differs from the first: {again.stdout}{again.stderr}")

    check_refusals(clean)

    if failures:
        print("\n".join(f"FAIL: {failure}" for failure in failures))
        print(f"(the clones are kept in {work})")
        return 1
    exe_digest = hashlib.sha256(open(exe, "rb").read()).hexdigest()
    print(f"OK: {os.path.basename(zip_path)} of {commit}, SHA-256 {digest}, made with local "
          f"changes: its Dovrel.exe is a clean clone's (SHA-256 {exe_digest}); the five files, "
          "in a format XP's zip folders open, read-me, sums and build facts right, the same "
          "bytes again, dirty trees refused")
    shutil.rmtree(work)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
