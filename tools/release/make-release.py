#!/usr/bin/python3
"""Packs the release zip for the people who run Dovrel on Windows XP.

Usage: make-release.py BUILD_DIR
       make-release.py --zip EXE EXPORT_DIR OUTPUT_DIR

The first form is `make release`: it exports the committed tree (git archive
HEAD) into BUILD_DIR/release-src, builds Dovrel.exe there with `make exe` and
a build folder of its own (BUILD_DIR/release-build), and zips it with the
export's read-me and licence into BUILD_DIR/release. Nothing but the commit
reaches the zip: no uncommitted or untracked file, no local git setting, no
earlier build. The second form zips EXE with EXPORT_DIR, which must be an
export of HEAD as the first form makes it.

The zip is made from nothing that changes from one build to the next, so the
same commit built with the same Debian packages gives the same bytes: its
times are the commit's, its order and attributes fixed. XP's own
"Compressed (zipped) Folders" must open it: stored or deflated entries, no
ZIP64, plain ASCII names.
"""
import hashlib
import os
import re
import shutil
import subprocess
import sys
import time
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
TARGET = "i686-w64-mingw32"
# The build sees the system's tools only, and nothing of the caller's
# environment (CFLAGS, CC, CMAKE_*, an outer make's flags) that CMake or make
# would take up.
BUILD_ENV = {"PATH": "/usr/sbin:/usr/bin:/sbin:/bin", "HOME": os.environ.get("HOME", "/"),
             "LC_ALL": "C"}
# git archive converts files as local settings say (core.autocrlf, core.eol,
# attributes files): these leave each file as committed, and the export is
# checked against the commit all the same.
GIT_EXPORT = ["git", "-c", "core.autocrlf=false", "-c", "core.eol=lf",
              "-c", "core.attributesFile=/dev/null"]


def run(*command, cwd=ROOT):
    return subprocess.run(command, check=True, capture_output=True, text=True,
                          cwd=cwd).stdout.rstrip("\n")


def refuse_uncommitted_changes():
    changes = run("git", "status", "--porcelain")
    if changes:
        sys.exit("make release: refused, the working tree has uncommitted changes, so the\n"
                 "zip would name a commit it was not built from. Commit or stash them first:\n"
                 + changes)


def git_object_id(data, object_format):
    digest = hashlib.new(object_format)
    digest.update(b"blob %d\0" % len(data))
    digest.update(data)
    return digest.hexdigest()


def differences_from_commit(export_dir, commit):
    """What in `export_dir` is not the commit's tree, file for file and bit for bit."""
    object_format = run("git", "rev-parse", "--show-object-format")
    wanted = {}
    for entry in run("git", "ls-tree", "-r", "-z", "--full-tree", commit).split("\0"):
        if entry:
            mode, _, rest = entry.partition(" ")
            object_id, path = rest.split(" ", 1)[1].split("\t", 1)
            wanted[path] = (mode, object_id)
    found = {}
    for folder, _, names in os.walk(export_dir):
        for name in names:
            path = os.path.join(folder, name)
            if os.path.islink(path):
                mode, data = "120000", os.fsencode(os.readlink(path))
            else:
                mode = "100755" if os.access(path, os.X_OK) else "100644"
                with open(path, "rb") as exported:
                    data = exported.read()
            found[os.path.relpath(path, export_dir)] = (mode, git_object_id(data, object_format))
    def difference(path):
        return "missing" if path not in found else "extra" if path not in wanted else "differs"
    return sorted(f"{path}: {difference(path)}"
                  for path in set(wanted) | set(found) if wanted.get(path) != found.get(path))


def require_export_of(export_dir, commit):
    differences = differences_from_commit(export_dir, commit)
    if differences:
        sys.exit(f"make release: {export_dir} is not the tree of commit {commit}\n"
                 "(local git attributes or filters change what git archive writes):\n  "
                 + "\n  ".join(differences[:20]))


def export_commit(commit, export_dir):
    archive = subprocess.run([*GIT_EXPORT, "archive", "--format=tar", commit], check=True,
                             capture_output=True, cwd=ROOT,
                             env={**os.environ, "GIT_ATTR_NOSYSTEM": "1"}).stdout
    os.makedirs(export_dir)
    subprocess.run(["tar", "-x", "-C", export_dir], input=archive, check=True)
    require_export_of(export_dir, commit)


def build_exe(export_dir, build_dir):
    """`make exe` of the export, in a build folder of its own."""
    result = subprocess.run(["make", "--no-print-directory", "-C", export_dir, "exe",
                             f"BUILD={build_dir}"], env=BUILD_ENV)
    exe = os.path.join(build_dir, "win32", "Dovrel.exe")
    if result.returncode != 0 or not os.path.isfile(exe):
        sys.exit("make release: `make exe` of the exported commit failed "
                 f"(exit {result.returncode})")
    return exe


def program_version(source_dir):
    with open(os.path.join(source_dir, "app/win32/dovrel.rc"), encoding="ascii") as rc:
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


def libraries_of(program, name_parts):
    """The shared libraries, with one of `name_parts` in their names, that `program` loads."""
    return [line.split("=>")[1].split()[0]
            for line in run("ldd", installed_path(program)).splitlines()
            if "=>" in line and any(part in line for part in name_parts)]


def which(name):
    found = shutil.which(name, path=BUILD_ENV["PATH"])
    if not found:
        sys.exit(f"make release: {name} not found")
    return found


def packages_of_the_program():
    """The packages whose files decide the bytes of Dovrel.exe, found from those files."""
    def tool(name):
        return run(f"{TARGET}-g++", f"-print-prog-name={name}")

    def library(name):
        return run(f"{TARGET}-g++", f"-print-file-name={name}")

    compilers = [tool("cc1plus"), tool("cc1")]
    # CMake's rules for a mingw build, in its version's own module folder.
    cmake_version = re.search(r"(\d+\.\d+)\.", run(which("cmake"), "--version"))[1]
    cmake_rules = f"/usr/share/cmake-{cmake_version}/Modules/Platform/Windows-GNU.cmake"
    convert = "/usr/bin/convert"  # the one cmake/win32.cmake takes first
    files = [which(f"{TARGET}-g++"), *compilers, tool("ld"), tool("as"),
             which(f"{TARGET}-windres"), library("libstdc++.a"), library("libgcc.a"),
             library("libmingwex.a"), library("libkernel32.a"), f"/usr/{TARGET}/include/windows.h",
             which("cmake"), cmake_rules,
             # GCC computes constants and plans loops with these libraries.
             *{path for compiler in compilers
               for path in libraries_of(compiler, ("libgmp.", "libmpfr.", "libmpc.", "libisl."))},
             # The GIF is read and the bitmap written by ImageMagick's libraries.
             convert, *libraries_of(convert, ("Magick",))]
    return sorted(packages_of(files))


def packages_of_the_zip():
    # zipfile, and zlib's deflate, whose output is the same for the same version.
    files = [sys.executable, zipfile.__file__, *libraries_of(sys.executable, ("libz.",))]
    return sorted(packages_of(files))


def package_lines(packages):
    return run("dpkg-query", "-W", "-f=  ${Package} ${Version} ${Architecture}\\n",
               *packages).splitlines()


def debian_release():
    """Release and codename: a point release changes no package by itself, so
    the packages below say all there is."""
    with open("/etc/os-release", encoding="utf-8") as release:
        fields = dict(line.rstrip("\n").split("=", 1) for line in release if "=" in line)
    name, number, codename = (fields.get(key, "").strip('"')
                              for key in ("NAME", "VERSION_ID", "VERSION_CODENAME"))
    return f"{name} {number} ({codename})"


def build_info(version, commit, commit_time):
    when = time.strftime("%Y-%m-%d %H:%M:%S UTC", time.gmtime(commit_time))
    release = debian_release()
    architecture = run("dpkg", "--print-architecture")
    lines = [
        f"Dovrel {version}: how this Dovrel.exe was built",
        "",
        f"Commit:         {commit}",
        f"Commit time:    {when} (the time of every file in the zip)",
        f"Debian release: {release}, {architecture}",
        "",
        "Packages whose files made Dovrel.exe (dpkg-query -W):",
        *package_lines(packages_of_the_program()),
        "",
        "Packages whose files made the zip:",
        *package_lines(packages_of_the_zip()),
        "",
        f"To rebuild and compare, on {release}, {architecture}",
        "(any point release), with these versions of the packages, in a clone",
        "of Dovrel's source:",
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


def make_zip(exe, export_dir, commit, output_dir):
    version = program_version(export_dir)
    commit_time = int(run("git", "log", "-1", "--format=%ct", commit))
    with open(exe, "rb") as program:
        files = {"Dovrel.exe": program.read()}
    with open(os.path.join(export_dir, "release/README.txt"), encoding="ascii") as readme:
        files["README.txt"] = crlf(readme.read().replace("@VERSION@", version))
    with open(os.path.join(export_dir, "LICENSE"), encoding="ascii") as licence:
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


def main(arguments):
    if len(arguments) == 4 and arguments[0] == "--zip":
        exe, export_dir, output_dir = arguments[1:]
        commit = run("git", "rev-parse", "HEAD")
        require_export_of(export_dir, commit)
        make_zip(exe, export_dir, commit, output_dir)
        return
    if len(arguments) != 1 or arguments[0].startswith("-"):
        sys.exit(__doc__.split("\n\n")[1])
    build = os.path.abspath(arguments[0])
    refuse_uncommitted_changes()
    commit = run("git", "rev-parse", "HEAD")
    export_dir = os.path.join(build, "release-src")
    build_dir = os.path.join(build, "release-build")
    # Fresh every time: nothing of an earlier release or build is taken up.
    for folder in (export_dir, build_dir):
        shutil.rmtree(folder, ignore_errors=True)
    export_commit(commit, export_dir)
    exe = build_exe(export_dir, build_dir)
    make_zip(exe, export_dir, commit, os.path.join(build, "release"))


if __name__ == "__main__":
    main(sys.argv[1:])
