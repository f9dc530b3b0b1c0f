#!/usr/bin/env bash
# The set-up scripts (tools/setup) against stand-ins: folders for the binfmt rules,
# apt's sources and the lock files, and commands on a PATH of their own (apt-get,
# dpkg, dpkg-query, mount, umount, tee as the kernel's binfmt_misc, rm, flock, sudo,
# id, the probe's runner) that record what they were asked. Nothing of the machine
# is read or changed: no other command that could change it is on that PATH.
#
# Every row runs as root (id -u answers 0, and there is no sudo) and as a user (1000,
# with a sudo that runs the command as root), both under umask 077 and without a
# locale, as people run them; a row means the same both ways.
#
# Usage: setup_test.sh ROW[.root|.user]  runs one row both ways, or one way (CTest: one test each)
#        setup_test.sh                   runs every row
#        setup_test.sh --list            names the tests (ROW.root, ROW.user)
# DOVREL_SETUP_SCRIPTS=COMMIT runs the rows against that commit's set-up scripts,
# wherever they lived then (tools/, later tools/setup/), their machine paths pointed
# at the stand-ins'.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)

# name | given | run | checks
#   given: os=CODENAME probe=native|none|eacces forced sources=NAME,... (sources.txt;
#     debian-12 unless given) installed=PKG=VERSION,... qemu=VERSION (the release's own
#     qemu-user) plant fail-remove update-fails=index|index+unsigned|index+release|
#     killed|backports|backports-offline install-fails=PKG unmet slow
#     hold=install|proof (where a signal finds the run; else in the command)
#     emulator=broken rule=NAME:enabled|disabled (an i386 rule there before) binfmt=off
#     (binfmt_misc switched off) locks=left (lock files of another user's run) no-sudo
#     arch=missing (no i386 in dpkg yet) unmounted
#   run: mode (i386-mode.sh the-command), fails (the command exits 3), deps-win32 and
#     deps-emulation (install-deps.sh win32, emulation); then twice (two runs at once,
#     the second starting 0.3 s later) or INT|TERM|HUP (that signal to the run's
#     process group once it is held)
#   checks, separated by " ;; ", each for both identities or, prefixed root: or user:,
#     for one: status=N, says=TEXT (the output has it), said=LINE (an output line is
#     it), asked=TEXT (a call line has it), call=LINE (a call line is it), never=TEXT
#     (no call line has it), count=N:TEXT (N call lines have it), rule=none|NAME:INTERPRETER
#     (the only rule), selects-i386=NAME (the rule registered as NAME hands the kernel's
#     i386 executables and shared objects to its emulator, and nothing else),
#     sources=FILE... (the sources folder's files), wrote=NAME/FILE (the file in the
#     sources folder is the one of sources.txt, whole), locks=FILE... (the lock files)
#   and in every row: no call line marked "!!" by the stand-ins (a change made without
#   root or without the set-up lock, a lock file opened for writing, a lock held by a
#   command), the user's apt sources unchanged, what the run made in the lock and
#   sources folders readable by all (mode 644), no temporary file or probe's folder
#   left behind.
rule='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
rows=$(sed "s/RULE/${rule//\\/\\\\}/g" <<'EOF'
native-changes-nothing | probe=native | mode | status=0 ;; asked=command mode=native rules=[] ;; never=apt-get ;; never=dpkg  ;; never=mount ;; rule=none ;; sources=debian.sources
none-registers-qemu-user | probe=none | mode | status=0 ;; asked=command mode=emulated rules=[qemu-i386] ;; rule=qemu-i386:/usr/bin/qemu-i386 ;; said=i386 emulation: this kernel runs no i386 programs; registered /usr/bin/qemu-i386 (qemu-user 1:10.0.2+ds-2+deb13u1~bpo12+1) with binfmt_misc as qemu-i386, until reboot; Wine tests now run emulated, slower. ;; says=Added the apt source ;; call=register :qemu-i386:M::RULE:/usr/bin/qemu-i386:F ;; selects-i386=qemu-i386
backports-like-debian-sources | probe=none | mode | status=0 ;; sources=bookworm-backports.sources debian.sources ;; wrote=debian-12/bookworm-backports.sources
third-party-source-first | probe=none sources=debian-12,vendor-first | mode | status=0 ;; sources=a-vendor.list bookworm-backports.sources debian.sources ;; wrote=debian-12/bookworm-backports.sources
cdrom-source-first | probe=none sources=cdrom | mode | status=0 ;; sources=bookworm-backports.list ;; wrote=cdrom/bookworm-backports.list
commented-backports-list-kept | probe=none sources=debian-12,commented-backports | mode | status=1 ;; says=bookworm-backports.list exists ;; sources=bookworm-backports.list debian.sources ;; never=apt-get install -y ;; rule=none
backports-unreachable | probe=none update-fails=backports-offline | mode | status=1 ;; said=apt-get update found no bookworm-backports of Debian's own through SOURCES/bookworm-backports.sources. ;; sources=debian.sources ;; never=apt-get install -y ;; rule=none
backports-update-fails | probe=none update-fails=backports | mode | status=1 ;; said=E: The repository 'http://deb.debian.org/debian bookworm-backports Release' does not have a Release file. ;; says=Removed the apt source ;; sources=debian.sources ;; never=apt-get install -y ;; rule=none
emulator-without-recommends | probe=none | mode | asked=apt-get install -y -q --no-install-recommends wine64 qemu-user/bookworm-backports ;; never=qemu-user-static ;; never=qemu-user-binfmt
debian-13-own-qemu | os=trixie sources=debian-13 qemu=1:10.0.3+ds-0+deb13u1 probe=none | mode | status=0 ;; asked=apt-get install -y -q --no-install-recommends wine64 qemu-user ;; never=indextargets ;; sources=debian.sources ;; rule=qemu-i386:/usr/bin/qemu-i386
qemu-7.2-installed | probe=none installed=qemu-user=1:7.2+dfsg-7+deb12u12,qemu-user-static=1:7.2+dfsg-7+deb12u12 | mode | status=0 ;; asked=apt-get install -y -q --no-install-recommends wine64 qemu-user/bookworm-backports ;; rule=qemu-i386:/usr/bin/qemu-i386
release-with-qemu-8 | os=noble sources=ubuntu-24.04 qemu=1:8.2.2+ds-0ubuntu1 probe=none | mode | status=1 ;; says=apt offers QEMU 1:8.2.2+ds-0ubuntu1 (qemu-user) here ;; says=Debian 13 has 10.0 ;; asked=apt-get install -s ;; never=apt-get install -y ;; rule=none
qemu-static-planted-in-path | probe=none plant | mode | status=0 ;; rule=qemu-i386:/usr/bin/qemu-i386 ;; never=planted
probe-eacces | probe=eacces | mode | status=1 ;; says=cannot run a program in ;; says=: Permission denied; is it mounted noexec? Nothing was changed. ;; never=apt-get ;; never=command ;; rule=none
forced-removed-on-success | probe=native forced | mode | status=0 ;; asked=command mode=emulated rules=[qemu-i386-forced] ;; says=the binfmt_misc rule qemu-i386-forced is removed again ;; rule=none ;; call=register :qemu-i386-forced:M::RULE:/usr/bin/qemu-i386:F ;; selects-i386=qemu-i386-forced ;; asked=flock -s 8 on dovrel-i386-forced.lock read-only
forced-removed-on-failure | probe=native forced | fails | status=3 ;; says=is removed again ;; rule=none
forced-sigint | probe=native forced | mode INT | status=130 ;; says=is removed again ;; rule=none
forced-sigterm | probe=native forced | mode TERM | status=143 ;; says=is removed again ;; rule=none
forced-sighup | probe=native forced | mode HUP | status=129 ;; says=is removed again ;; rule=none
forced-removal-fails | probe=native forced fail-remove | mode | status=1 ;; says=the binfmt_misc rule qemu-i386-forced could not be removed ;; asked=binfmt qemu-i386-forced -1
two-runs-at-once | probe=none slow | mode twice | status=0 ;; count=1:apt-get install -y ;; count=1:register  ;; count=2:command mode=emulated rules=[qemu-i386] ;; rule=qemu-i386:/usr/bin/qemu-i386
two-forced-runs-at-once | probe=native forced | mode twice | status=0 ;; count=1:register  ;; count=2:command end rules=[qemu-i386-forced] ;; rule=none
mirror-mid-sync | update-fails=index unmet | deps-win32 | status=0 ;; said=apt-get update: the index bookworm-security/main/binary-i386 failed to download; going on without it. ;; asked=apt-get install -y -q -t bookworm ;; never=dpkg --add-architecture
two-set-ups-at-once | slow | deps-win32 twice | status=0 ;; count=1:apt-get install -y ;; said=Waiting for another Dovrel set-up to finish (LOCKS/dovrel-setup.lock).
update-error-beside-index-failure | update-fails=index+unsigned | deps-win32 | status=1 ;; said=E: The repository 'https://apt.vendor.example/repo bookworm InRelease' is not signed. ;; never=apt-get install ;; never=index bookworm-security/main/binary-i386 failed
release-fetch-beside-index-failure | update-fails=index+release | deps-win32 | status=1 ;; said=E: Failed to fetch https://apt.vendor.example/repo/dists/bookworm/InRelease  403  Forbidden [IP: 203.0.113.7 443] ;; never=apt-get install
update-killed | update-fails=killed | deps-win32 | status=1 ;; said=apt-get update failed: ;; said=Killed ;; never=apt-get install
emulator-does-not-run | probe=none emulator=broken | mode | status=1 ;; said=Wine cannot run here: with /usr/bin/qemu-i386 (qemu-user 1:10.0.2+ds-2+deb13u1~bpo12+1) registered as qemu-i386, an i386 program still does not run (exit status 139: uncaught target signal 11 (Segmentation fault) - core dumped). ;; said=i386 emulation: the binfmt_misc rule qemu-i386 is removed again. ;; asked=binfmt qemu-i386 -1 ;; rule=none ;; never=command
forced-emulator-does-not-run | probe=native forced emulator=broken | mode | status=1 ;; said=i386 emulation: the binfmt_misc rule qemu-i386-forced is removed again. ;; rule=none ;; never=command
disabled-rule-not-taken | probe=native rule=qemu-i386:disabled | mode | status=0 ;; asked=command mode=native rules=[qemu-i386] ;; never=apt-get ;; never=register
binfmt-misc-switched-off | probe=none binfmt=off rule=qemu-i386:enabled | mode | status=1 ;; said=Wine cannot run here: this kernel runs no i386 programs, and binfmt_misc, which would hand i386 programs to QEMU, is switched off (BINFMT/status says disabled): as root, echo 1 > BINFMT/status, then run this again. ;; never=apt-get ;; never=register ;; never=command
emulated-by-an-earlier-run | probe=none rule=qemu-i386:enabled installed=qemu-user=1:10.0.2+ds-2+deb13u1~bpo12+1 | mode | status=0 ;; asked=apt-get install -y -q --no-install-recommends wine64 ;; never=register ;; asked=command mode=emulated rules=[qemu-i386] ;; sources=debian.sources
disabled-rule-in-the-way | probe=none rule=qemu-i386:disabled | mode | status=1 ;; said=Wine cannot run here: the binfmt_misc rule qemu-i386 is in the way (disabled, or not for i386 programs): enable it (echo 1 > BINFMT/qemu-i386) or remove it (echo -1 > BINFMT/qemu-i386), then run this again. ;; never=register ;; never=binfmt qemu-i386 ;; never=command
binfmt-not-mounted | probe=none unmounted | mode | status=0 ;; asked=mount -t binfmt_misc binfmt_misc ;; said=i386 emulation: mounted the kernel's binfmt_misc at BINFMT (until reboot). ;; rule=qemu-i386:/usr/bin/qemu-i386 ;; never=umount
emulator-fails-where-not-mounted | probe=none unmounted emulator=broken | mode | status=1 ;; said=i386 emulation: binfmt_misc is unmounted again from BINFMT. ;; asked=umount ;; rule=none
partial-install | probe=none installed=qemu-user=1:7.2+dfsg-7+deb12u12 install-fails=qemu-user | mode | status=1 ;; said=The install did not finish. Installed: wine64. Not installed: qemu-user. ;; said=Removed the apt source SOURCES/bookworm-backports.sources again: nothing was installed through it. ;; sources=debian.sources ;; rule=none
partial-install-keeps-backports | probe=none install-fails=wine64 | mode | status=1 ;; said=The install did not finish. Installed: qemu-user. Not installed: wine64. ;; sources=bookworm-backports.sources debian.sources ;; rule=none
partial-install-of-i386 | arch=missing install-fails=xvfb | deps-win32 | status=1 ;; said=The install did not finish. Installed: cmake make g++-mingw-w64-i686 binutils-mingw-w64-i686 wine wine32:i386 imagemagick python3 googletest. Not installed: xvfb. ;; said=The i386 architecture stays in dpkg: cannot remove architecture 'i386' currently in use by the database ;; asked=dpkg --add-architecture i386
i386-architecture-added | arch=missing | deps-win32 | status=0 ;; said=Added the i386 architecture to dpkg, for cmake make g++-mingw-w64-i686 binutils-mingw-w64-i686 wine wine32:i386 xvfb imagemagick python3 googletest. ;; never=--remove-architecture
deb822-by-hand | probe=none sources=deb822-by-hand | mode | status=0 ;; sources=bookworm-backports.sources debian.sources ;; wrote=deb822-by-hand/bookworm-backports.sources
one-line-with-options | probe=none sources=one-line-with-options | mode | status=0 ;; sources=bookworm-backports.list ;; wrote=one-line-with-options/bookworm-backports.list
list-beside-sources | probe=none sources=list-beside-sources | mode | status=0 ;; sources=bookworm-backports.list debian.sources local-mirror.list ;; wrote=list-beside-sources/bookworm-backports.list
backports-under-another-name | probe=none sources=debian-12,backports-elsewhere | mode | status=0 ;; sources=debian-backports.sources debian.sources ;; asked=apt-get install -y -q --no-install-recommends wine64 qemu-user/bookworm-backports ;; never=Added the apt source
backports-disabled-elsewhere | probe=none sources=debian-12,backports-disabled-elsewhere | mode | status=0 ;; sources=bookworm-backports.sources debian-backports.sources debian.sources ;; wrote=debian-12/bookworm-backports.sources
deps-sigint | arch=missing hold=install | deps-win32 INT | status=130 ;; said=install-deps.sh: interrupted by SIGINT. ;; said=The install did not finish. Installed: cmake. Not installed: make g++-mingw-w64-i686 binutils-mingw-w64-i686 wine wine32:i386 xvfb imagemagick python3 googletest. ;; said=Removed the i386 architecture from dpkg again: no package of it was installed. ;; asked=dpkg --remove-architecture i386
deps-sigterm | hold=install | deps-emulation TERM | status=143 ;; said=install-deps.sh: interrupted by SIGTERM. ;; said=The install did not finish. Installed: wine64. Not installed: qemu-user. ;; said=Removed the apt source SOURCES/bookworm-backports.sources again: nothing was installed through it. ;; sources=debian.sources
deps-sighup | arch=missing hold=install | deps-win32 HUP | status=129 ;; said=install-deps.sh: interrupted by SIGHUP. ;; asked=dpkg --remove-architecture i386
setup-sigint | probe=none unmounted hold=proof | mode INT | status=130 ;; said=i386-mode.sh: interrupted by SIGINT. ;; said=i386 emulation: the binfmt_misc rule qemu-i386 is removed again. ;; asked=umount ;; rule=none ;; never=command
setup-sigterm | probe=none hold=proof | mode TERM | status=143 ;; said=i386-mode.sh: interrupted by SIGTERM. ;; rule=none ;; never=command
setup-sighup | probe=native forced hold=proof | mode HUP | status=129 ;; said=i386-mode.sh: interrupted by SIGHUP. ;; rule=none ;; never=command
no-root-no-sudo | no-sudo | deps-win32 | root:status=0 ;; user:status=1 ;; user:said=Installing cmake make g++-mingw-w64-i686 binutils-mingw-w64-i686 wine wine32:i386 xvfb imagemagick python3 googletest needs root, and this user is not root and has no sudo: as root, run SETUP/install-deps.sh win32, then this command again. ;; user:never=apt-get ;; user:never=dpkg --add ;; user:locks=
no-root-no-sudo-no-i386 | probe=none no-sudo | mode | root:status=0 ;; user:status=1 ;; user:said=Wine cannot run here: this kernel runs no i386 programs, and setting up QEMU's emulation needs root, and this user is not root and has no sudo: as root, run SETUP/i386-mode.sh once (it installs QEMU and wine64 and registers the emulator), then this command again. ;; user:never=apt-get ;; user:never=register ;; user:rule=none
locks-left-by-another-run | probe=native forced locks=left | mode | status=0 ;; asked=flock -n 9 on dovrel-setup.lock read-only ;; asked=flock -s 8 on dovrel-i386-forced.lock read-only ;; rule=none
locks-made-under-umask-077 | probe=native forced | mode | status=0 ;; locks=dovrel-i386-forced.lock dovrel-setup.lock
EOF
)

# The tools the scripts, the stand-ins and the checks use, and nothing else.
tools=(bash env cat cp mv rm mkdir mktemp chmod ls touch sed awk grep sort head tail tr od
  sleep flock dirname readlink stat seq paste cmp tee find ln timeout)

# The bytes of FILE with one byte at OFFSET changed (hex).
patched() { # file, offset, byte
  head -c "$2" "$1"
  printf "\\x$3"
  tail -c +"$(($2 + 2))" "$1"
}

# The rule registered as NAME selects i386 executables and shared objects (the
# probe the script ran, as type 2 and 3, and with the GNU/Linux OS ABI), and
# nothing else: not x86-64 (/bin/true), ARM, a big-endian MIPS program, 64-bit or
# big-endian i386 lookalikes, relocatable objects (type 1), core dumps (type 4) or
# scripts. Prints what it selected wrongly.
selects_i386() { # name
  local rule=$T/registered/$1 h=$T/headers file wrong=""
  [ -e "$rule" ] && [ -e "$T/probe-bytes" ] || { echo "(no rule $1, or no probe run)"; return 1; }
  mkdir -p "$h"
  cp "$T/probe-bytes" "$h/i386-executable"
  patched "$T/probe-bytes" 16 03 >"$h/i386-shared-object"
  patched "$T/probe-bytes" 7 03 >"$h/i386-gnu-abi"
  patched "$T/probe-bytes" 16 01 >"$h/i386-relocatable"
  patched "$T/probe-bytes" 16 04 >"$h/i386-core"
  patched "$T/probe-bytes" 4 02 >"$h/elf64-class-i386"
  patched "$T/probe-bytes" 5 02 >"$h/big-endian-i386"
  patched "$T/probe-bytes" 18 28 >"$h/arm"
  printf '\x7fELF\x01\x02\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x08\x00\x00\x00\x01' >"$h/mips-big-endian"
  cp "$true_program" "$h/x86-64"
  printf '#!/bin/sh\nexit 42\n# padded beyond the magic\n' >"$h/script"
  for file in i386-executable i386-shared-object i386-gnu-abi; do
    binfmt-matches "$rule" "$h/$file" || wrong+=" misses $file"
  done
  for file in i386-relocatable i386-core elf64-class-i386 big-endian-i386 arm mips-big-endian x86-64 script; do
    ! binfmt-matches "$rule" "$h/$file" || wrong+=" selects $file"
  done
  [ -z "$wrong" ] || { echo "(${wrong# })"; return 1; }
}

# What every row must show, whatever it is about.
invariants() {
  local file
  ! grep -F '!!' "$T/calls" || { echo "(marked calls above)"; return 1; }
  (cd "$T/before" && find . -type f) | while read -r file; do
    cmp -s "$T/before/$file" "$T/machine/$file" || { echo "(the user's $file changed)"; exit 1; }
  done || return 1
  for file in "$T"/locks/* "$T"/sources.list.d/*; do
    [ -e "$file" ] && [ ! -e "$T/before/sources.list.d/${file##*/}" ] || continue
    [ "$(stat -c %a "$file")" = 644 ] || { echo "(${file#"$T"/} is mode $(stat -c %a "$file"))"; return 1; }
  done
  [ -z "$(ls -A "$T/tmp")" ] || { echo "(left in the temporary folder: $(ls "$T/tmp"))"; return 1; }
  [ ! -e "$T/probe-folders" ] || while read -r file; do
    [ ! -e "$file" ] || { echo "(left the probe's folder $file)"; return 1; }
  done <"$T/probe-folders"
}

check() { # check
  local kind=${1%%=*} arg=${1#*=}
  case $kind in
    status) [ "$status" = "$arg" ] ;;
    says) grep -qF -- "$arg" "$T/out" ;;
    said) grep -qxF -- "$arg" "$T/out" ;;
    asked) grep -qF -- "$arg" "$T/calls" ;;
    call) grep -qxF -- "$arg" "$T/calls" ;;
    never) ! grep -qF -- "$arg" "$T/calls" ;;
    count) [ "$(grep -cF -- "${arg#*:}" "$T/calls")" = "${arg%%:*}" ] ;;
    rule)
      local rules
      rules=$(ls "$T/binfmt" | grep -vx -e register -e status)
      if [ "$arg" = none ]; then [ -z "$rules" ]
      else [ "$rules" = "${arg%%:*}" ] && grep -qx "interpreter ${arg#*:}" "$T/binfmt/${arg%%:*}"; fi ;;
    selects-i386) selects_i386 "$arg" ;;
    sources) [ "$(ls "$T/sources.list.d" | paste -sd' ')" = "$arg" ] ;;
    wrote) cmp -s "$T/fixtures/${arg%%/*}/written/${arg#*/}" "$T/sources.list.d/${arg#*/}" ;;
    locks) [ "$(ls "$T/locks" | paste -sd' ')" = "$arg" ] ;;
    *) false ;;
  esac
}

# The row's machine: its folders, its stand-ins on a PATH of their own, apt's sources.
make_machine() { # given
  local word fixture file
  mkdir -p "$T/bin" "$T/binfmt" "$T/sources.list.d" "$T/etc/apt" "$T/locks" "$T/tmp" "$T/registered"
  cp "$here"/stand-ins/* "$T/bin/"
  touch "$T/binfmt/register" "$T/calls" "$T/installed"
  echo enabled >"$T/binfmt/status"
  echo i386 >"$T/archs"
  export STATE=$T TMPDIR=$T/tmp PATH=$T/bin:$sys SYS=$sys STAND_IN_LIB=$here/stand-in.sh
  export CODENAME=bookworm PROBE=native QEMU_OWN=1:7.2+dfsg-7+deb12u12 QEMU_BPO=1:10.0.2+ds-2+deb13u1~bpo12+1
  export DOVREL_SETUP_BINFMT=$T/binfmt DOVREL_SETUP_APT_SOURCES=$T/sources.list.d
  export DOVREL_SETUP_LOCKS=$T/locks DOVREL_SETUP_OS_RELEASE=$T/etc/os-release
  export DOVREL_SETUP_RUN_PROBE=$T/bin/run-probe
  unset DOVREL_I386_MODE UPDATE_FAILS FAIL_REMOVE UNMET_UNLESS_TARGET INSTALL_SLEEP INSTALL_FAILS HOLD
  unset EMULATOR_BROKEN DOVREL_SETUP_LOCKED LANG LC_ALL LANGUAGE
  local sources=debian-12
  for word in $1; do
    case $word in
      os=*) CODENAME=${word#os=} ;;
      probe=*) PROBE=${word#probe=} ;;
      forced) export DOVREL_I386_MODE=emulated ;;
      sources=*) sources=${word#sources=} ;;
      qemu=*) QEMU_OWN=${word#qemu=} ;;
      installed=*) tr , '\n' <<<"${word#installed=}" | sed 's/=/ /' >"$T/installed" ;;
      plant) mkdir "$T/home-bin" && printf '#!/bin/sh\necho "qemu-i386 version 10.0.2 (planted)"\n' >"$T/home-bin/qemu-i386-static" &&
        chmod +x "$T/home-bin/qemu-i386-static" && PATH=$T/home-bin:$PATH ;;
      fail-remove) export FAIL_REMOVE=1 ;;
      update-fails=*) export UPDATE_FAILS=${word#update-fails=} ;;
      install-fails=*) export INSTALL_FAILS=${word#install-fails=} ;;
      unmet) export UNMET_UNLESS_TARGET=1 ;;
      slow) export INSTALL_SLEEP=1 ;;
      hold=*) export HOLD=${word#hold=} ;;
      emulator=broken) export EMULATOR_BROKEN=1 ;;
      rule=*:*)
        word=${word#rule=}
        printf '%s\ninterpreter /usr/bin/qemu-i386\nflags: F\noffset 0\nmagic %s\nmask %s\n' "${word#*:}" \
          7f454c4601010100000000000000000002000300 fffffffffffefe00fffffffffffffffffeffffff >"$T/binfmt/${word%:*}" ;;
      binfmt=off) echo disabled >"$T/binfmt/status" ;;
      locks=left) touch "$T/locks/dovrel-setup.lock" "$T/locks/dovrel-i386-forced.lock" && chmod 644 "$T"/locks/* ;;
      no-sudo) rm "$T/bin/sudo" ;;
      arch=missing) : >"$T/archs" ;;
      unmounted) rm "$T/binfmt/register" "$T/binfmt/status" ;;
      *) echo "unknown given $word" >&2; return 1 ;;
    esac
  done
  # Root has no sudo: none is needed, and a minimal system has none.
  [ "$AS_UID" != 0 ] || rm -f "$T/bin/sudo"
  echo "VERSION_CODENAME=$CODENAME" >"$T/etc/os-release"
  export CODENAME PROBE QEMU_OWN
  awk -v dir="$T/fixtures" '/^=== / { file = dir "/" $2 "/" $3; system("mkdir -p \"$(dirname \"" file "\")\""); printf "" >file; next }
    file { print >file }' "$here/sources.txt"
  for fixture in ${sources//,/ }; do
    [ -d "$T/fixtures/$fixture" ] || { echo "no sources $fixture in sources.txt" >&2; return 1; }
    [ ! -e "$T/fixtures/$fixture/sources.list" ] || cp "$T/fixtures/$fixture/sources.list" "$T/etc/apt/"
    for file in "$T/fixtures/$fixture"/sources.list.d/*; do [ ! -e "$file" ] || cp "$file" "$T/sources.list.d/"; done
  done
  # What the user had, to compare with; apt's lists as a last update left them.
  mkdir -p "$T/before" "$T/machine"
  cp -r "$T/etc/apt/." "$T/sources.list.d" "$T/before/"
  ln -s "$T/etc/apt/sources.list" "$T/machine/sources.list"
  ln -s "$T/sources.list.d" "$T/machine/sources.list.d"
  STAND_IN_SEED=1 apt-get update
}

run_scripts() { # what [how]
  local what=${1%% *} how="" script=i386-mode.sh args=(the-command) pid first
  [[ $1 != *" "* ]] || how=${1#* }
  case $what in
    fails) args=(the-command 0 3) ;;
    deps-win32) script=install-deps.sh args=(win32) ;;
    deps-emulation) script=install-deps.sh args=(emulation) ;;
  esac
  # A run that waits for a lock it holds itself ends, as status 124, after 30 s.
  case $how in
    "")
      timeout 30 "$tools_dir/$script" "${args[@]}" >"$T/out" 2>&1
      status=$? ;;
    twice)
      [ "$script" != i386-mode.sh ] || args=(the-command 1)
      timeout 30 "$tools_dir/$script" "${args[@]}" >>"$T/out" 2>&1 &
      first=$!
      sleep 0.3
      [ "$script" != i386-mode.sh ] || args=(the-command 2)
      timeout 30 "$tools_dir/$script" "${args[@]}" >>"$T/out" 2>&1 || status=$?
      wait "$first" || status=$? ;;
    *)
      # Its own process group, as a terminal's foreground job: the signal reaches
      # the scripts and what they run, as Ctrl-C or a closed terminal does; with
      # the signals' default actions, whatever this harness was started with
      # (nohup, a background job: SIGHUP or SIGINT ignored, which a shell cannot undo).
      export HOLD=${HOLD:-command}
      [ "$script" != i386-mode.sh ] || args=(the-command 30)
      set -m
      env --default-signal=INT,TERM,HUP "$tools_dir/$script" "${args[@]}" >"$T/out" 2>&1 &
      pid=$!
      set +m
      for _ in $(seq 100); do [ -e "$T/held" ] && break; sleep 0.1; done
      kill -"$how" -- -"$pid"
      wait "$pid"
      status=$? ;;
  esac
}

row() { # name identity given run checks
  local name=$1 identity=$2 check status=0 failed=0 detail
  T=$(mktemp -d)
  trap 'rm -rf "$T"' RETURN
  umask 077
  export AS_UID=0
  [ "$identity" = root ] || AS_UID=1000
  make_machine "$3" || return 1
  run_scripts "$4"
  local checks=${5//BINFMT/$T/binfmt}
  checks=${checks//SOURCES/$T/sources.list.d} checks=${checks//SETUP/$tools_dir} checks=${checks//LOCKS/$T/locks}
  while IFS= read -r check; do
    case $check in
      root:* | user:*) [ "${check%%:*}" = "$identity" ] || continue; check=${check#*:} ;;
    esac
    detail=$(check "$check") || { echo "row $name.$identity: FAILED $check $detail"; failed=1; }
  done <<<"${checks// ;; /$'\n'}"
  detail=$(invariants) || { echo "row $name.$identity: FAILED $detail"; failed=1; }
  if [ "$failed" = 1 ]; then
    echo "---- exit status $status; output:"; cat "$T/out"; echo "---- calls:"; cat "$T/calls"
    echo "---- binfmt: $(ls "$T/binfmt" | paste -sd' ')  sources: $(ls "$T/sources.list.d" | paste -sd' ')"
    echo "---- locks: $(ls -l "$T/locks" | tail -n +2)"
    return 1
  fi
  echo "row $name.$identity: passed"
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sys=$work/sys
mkdir "$sys"
for tool in "${tools[@]}"; do
  path=$(type -P "$tool") || { echo "setup_test.sh: $tool is missing" >&2; exit 1; }
  ln -s "$path" "$sys/$tool"
done
true_program=$(type -P true)

tools_dir=$(cd "$here/../../tools/setup" && pwd)
if [ -n "${DOVREL_SETUP_SCRIPTS:-}" ]; then
  # The commit's own layout, so that the probe's folder (../build beside tools)
  # is the copy's, never the checkout's.
  repo=$(git -C "$here" rev-parse --show-toplevel) && tools_dir="" || exit 1
  for f in $(git -C "$repo" ls-tree -r --name-only "$DOVREL_SETUP_SCRIPTS" -- tools |
    grep -E '^tools/(setup/)?(install-deps|i386-mode|machine)\.sh$'); do
    mkdir -p "$work/scripts/${f%/*}"
    git -C "$repo" show "$DOVREL_SETUP_SCRIPTS:$f" |
      sed -e 's|/proc/sys/fs/binfmt_misc|$DOVREL_SETUP_BINFMT|; s|/etc/apt/sources.list.d|$DOVREL_SETUP_APT_SOURCES|' \
        -e 's|/run/lock|$DOVREL_SETUP_LOCKS|; s|(\. /etc/os-release|(. "$DOVREL_SETUP_OS_RELEASE"|' \
        -e 's|"\$probe" 2>/dev/null|"$DOVREL_SETUP_RUN_PROBE" -c "\\"\\$0\\"" "$probe" 2>/dev/null|' >"$work/scripts/$f"
    chmod +x "$work/scripts/$f"
    tools_dir=$work/scripts/${f%/*}
  done
  [ -e "$tools_dir/i386-mode.sh" ] || { echo "no set-up scripts in $DOVREL_SETUP_SCRIPTS" >&2; exit 1; }
fi

if [ "${1:-}" = --list ]; then
  sed 's/ .*//; p' <<<"$rows" | sed '1~2s/$/.root/; 2~2s/$/.user/'
  exit
fi
status=0 ran=0
while IFS='|' read -r name given run checks; do
  name=${name%% } given=${given# } given=${given% } run=${run# } run=${run% } checks=${checks# }
  for identity in root user; do
    [ $# -eq 0 ] || [ "$1" = "$name" ] || [ "$1" = "$name.$identity" ] || continue
    ran=1
    (row "$name" "$identity" "$given" "$run" "$checks") || status=1
  done
done <<<"$rows"
[ "$ran" = 1 ] || { echo "no row ${1:-}" >&2; exit 1; }
exit "$status"
