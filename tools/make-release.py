#!/usr/bin/python3
"""Packs the release zip for the people who run Dovrel on Windows XP.

Usage: make-release.py --check-clean
       make-release.py EXE OUTPUT_DIR

The zip is made from the committed source only, and from nothing that
changes from one build to the next, so the same commit built with the same
Debian packages gives the same bytes: its times are the commit's, its order
and attributes fixed. XP's own "Compressed (zipped) Folders" must open it:
stored or deflated entries, no ZIP64, plain ASCII names.
"""
import hashlib
import os
import re
import shutil
import subprocess
import sys
import time
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TARGET = "i686-w64-mingw32"


def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True,
                          cwd=ROOT).stdout.rstrip("\n")


def refuse_uncommitted_changes():
    changes = run("git", "status", "--porcelain")
    if changes:
        sys.exit("make release: refused, the working tree has uncommitted changes, so the\n"
                 "zip would name a commit it was not built from. Commit or stash them first:\n"
                 + changes)


def program_version():
    with open(os.path.join(ROOT, "app/win32/dovrel.rc"), encoding="ascii") as rc:
        found = re.search(r"^FILEVERSION\s+(\d+),(\d+),(\d+),(\d+)\s*$", rc.read(), re.M)
    if not found:
        sys.exit("make release: no FILEVERSION line in app/win32/dovrel.rc")
    return ".".join(found.groups())


def crlf(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("ascii")


def installed_path(path):
    """The file a chain of links ends at, as dpkg may know it."""
    path = os.path.normpath(path)
    while os.path.islink(path):
        path = os.path.normpath(os.path.join(os.path.dirname(path), os.readlink(path)))
    return path


def packages_of(paths):
    """The packages that installed these files."""
    packages = set()
    for path in map(installed_path, paths):
        # /lib is /usr/lib here; dpkg knows each file by the one its package used.
        other = path[len("/usr"):] if path.startswith("/usr/") else "/usr" + path
        for candidate in (path, other):
            found = subprocess.run(["dpkg-query", "-S", candidate], capture_output=True,
                                   text=True)
            if found.returncode == 0:
                break
        else:
            sys.exit(f"make release: {path} is not from a Debian package")
        # A path two packages share is named after both, comma-separated.
        packages.update(package for line in found.stdout.splitlines()
                        if not line.startswith("diversion ")
                        for package in line.split(": ")[0].split(", "))
    return packages


def libraries_of(program, name_part):
    """The shared libraries, with `name_part` in their names, that `program` loads."""
    return [line.split("=>")[1].split()[0]
            for line in run("ldd", installed_path(program)).splitlines()
            if name_part in line and "=>" in line]


def packages_of_the_program():
    """The packages whose files the build of Dovrel.exe reads, found from those files."""
    def tool(name):
        return run(f"{TARGET}-g++", f"-print-prog-name={name}")

    def library(name):
        return run(f"{TARGET}-g++", f"-print-file-name={name}")

    convert = "/usr/bin/convert"  # the one cmake/win32.cmake takes first
    files = [shutil.which(f"{TARGET}-g++"), tool("cc1plus"), tool("cc1"), tool("ld"),
             tool("as"), shutil.which(f"{TARGET}-windres"), library("libstdc++.a"),
             library("libgcc.a"), library("libmingwex.a"), library("libkernel32.a"),
             f"/usr/{TARGET}/include/windows.h", shutil.which("cmake"), convert,
             # The GIF is read and the bitmap written by ImageMagick's libraries.
             *libraries_of(convert, "Magick")]
    # The packages asked for by name, which pull in those above.
    named = {f"g++-mingw-w64-{TARGET.split('-')[0]}", "imagemagick"}
    return sorted(named | packages_of(files))


def packages_of_the_zip():
    # zipfile, and zlib's deflate, whose output is the same for the same version.
    files = [sys.executable, zipfile.__file__, *libraries_of(sys.executable, "libz.")]
    return sorted(packages_of(files))


def package_lines(packages):
    return run("dpkg-query", "-W", "-f=  ${Package} ${Version} ${Architecture}\\n",
               *packages).splitlines()


def debian_release():
    with open("/etc/os-release", encoding="utf-8") as release:
        fields = dict(line.rstrip("\n").split("=", 1) for line in release if "=" in line)
    name = fields.get("PRETTY_NAME", "unknown").strip('"')
    with open("/etc/debian_version", encoding="ascii") as point_release:
        return f"{name}, {point_release.read().strip()}"


def build_info(version, commit, commit_time):
    when = time.strftime("%Y-%m-%d %H:%M:%S UTC", time.gmtime(commit_time))
    lines = [
        f"Dovrel {version}: how this Dovrel.exe was built",
        "",
        f"Commit:         {commit}",
        f"Commit time:    {when} (the time of every file in the zip)",
        f"Debian release: {debian_release()}",
        f"Architecture:   {run('dpkg', '--print-architecture')}",
        "",
        "Packages that made Dovrel.exe (dpkg-query -W):",
        *package_lines(packages_of_the_program()),
        "",
        "Packages that made the zip:",
        *package_lines(packages_of_the_zip()),
        "",
        "To rebuild and compare, on the same Debian release with these versions",
        "of the packages, in a clone of Dovrel's source:",
        f"  git checkout {commit}",
        "  make exe       (prints the SHA-256 of build/win32/Dovrel.exe, which",
        "                  must equal the one for Dovrel.exe in SHA256SUMS.txt)",
        "  make release   (prints the SHA-256 of the whole zip, which must equal",
        "                  that of this zip)",
        "",
    ]
    return crlf("\n".join(lines))


def dos_time(seconds):
    # DOS times have no zone; UTC keeps them the same on every machine.
    return max(time.gmtime(seconds)[:6], (1980, 1, 1, 0, 0, 0))


def main(arguments):
    if arguments == ["--check-clean"]:
        refuse_uncommitted_changes()
        return
    if len(arguments) != 2:
        sys.exit(__doc__.split("\n\n")[1])
    exe, output_dir = arguments
    refuse_uncommitted_changes()

    version = program_version()
    commit = run("git", "rev-parse", "HEAD")
    commit_time = int(run("git", "log", "-1", "--format=%ct"))
    with open(exe, "rb") as program:
        files = {"Dovrel.exe": program.read()}
    with open(os.path.join(ROOT, "release/README.txt"), encoding="ascii") as readme:
        files["README.txt"] = crlf(readme.read().replace("@VERSION@", version))
    with open(os.path.join(ROOT, "LICENSE"), encoding="ascii") as licence:
        files["LICENSE.txt"] = crlf(licence.read())
    files["BUILDINFO.txt"] = build_info(version, commit, commit_time)
    files["SHA256SUMS.txt"] = crlf("".join(
        f"{hashlib.sha256(data).hexdigest()}  {name}\n" for name, data in files.items()))

    os.makedirs(output_dir, exist_ok=True)
    path = os.path.join(output_dir, f"Dovrel-{version}.zip")
    with zipfile.ZipFile(path + ".part", "w", allowZip64=False) as archive:
        for name, data in files.items():
            entry = zipfile.ZipInfo(name, dos_time(commit_time))
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.create_system = 0  # MS-DOS: the attributes below are DOS ones
            entry.external_attr = 0x20  # FILE_ATTRIBUTE_ARCHIVE, as Windows' own zips
            archive.writestr(entry, data, compresslevel=9)
    os.replace(path + ".part", path)
    with open(path, "rb") as archive:
        digest = hashlib.sha256(archive.read()).hexdigest()
    print(f"Release: {os.path.abspath(path)}")
    print(f"SHA-256: {digest}")


if __name__ == "__main__":
    main(sys.argv[1:])
