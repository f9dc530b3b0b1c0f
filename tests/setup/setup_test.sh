#!/usr/bin/env bash
# The set-up scripts (tools/setup) against stand-ins: a folder for the binfmt
# rules, apt's sources and the lock files, and commands on PATH (apt-get, dpkg,
# dpkg-query, tee as the kernel's binfmt_misc, mount, sudo, the probe's runner)
# that record what they were asked. Nothing of the machine is read or changed.
#
# Usage: setup_test.sh ROW     runs one row of the table below (CTest: one test each)
#        setup_test.sh         runs every row
#        setup_test.sh --list  names the rows
# DOVREL_SETUP_SCRIPTS=COMMIT runs the rows against that commit's tools/install-deps.sh and
# tools/i386-mode.sh, their machine paths rewritten to the stand-ins'.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)

# name | given | run | checks
#   given: os=CODENAME probe=native|none|eacces forced sources=debian|vendor|cdrom
#     installed=PKG=VERSION,... qemu=VERSION (the release's own qemu-user) plant
#     commented-list fail-remove update-fails=index|backports unmet slow
#   run: mode (i386-mode.sh the-command), fails (the command exits 3), INT|TERM|HUP
#     (the signal to the run's process group while the command runs), twice (two runs
#     at once, the second starting 0.3 s later), deps-win32 (install-deps.sh win32)
#   checks, separated by " ;; ": status=N, says=TEXT (the output has it), asked=TEXT (a call line has it),
#     never=TEXT (no call line has it), count=N:TEXT (N call lines have it),
#     rule=none|NAME:INTERPRETER (the only rule), sources=FILE... (the sources folder's
#     files), has=FILE:LINE, lacks=FILE:TEXT
rows=$(cat <<'EOF'
native-changes-nothing | probe=native | mode | status=0 ;; asked=command mode=native rules=[] ;; never=apt-get ;; never=dpkg  ;; never=mount ;; rule=none ;; sources=debian.sources
none-registers-qemu-user | probe=none | mode | status=0 ;; asked=command mode=emulated rules=[qemu-i386] ;; rule=qemu-i386:/usr/bin/qemu-i386 ;; says=registered /usr/bin/qemu-i386 (qemu-user 1:10.0.2+ds-2+deb13u1~bpo12+1) with binfmt_misc as qemu-i386, until reboot ;; says=Added the apt source
backports-like-debian-sources | probe=none | mode | status=0 ;; sources=bookworm-backports.sources debian.sources ;; has=bookworm-backports.sources:URIs: http://deb.debian.org/debian ;; has=bookworm-backports.sources:Suites: bookworm-backports ;; has=bookworm-backports.sources:Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
third-party-source-first | probe=none sources=vendor | mode | status=0 ;; has=bookworm-backports.sources:URIs: http://deb.debian.org/debian ;; lacks=bookworm-backports.sources:vendor ;; has=bookworm-backports.sources:Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
cdrom-source-first | probe=none sources=cdrom | mode | status=0 ;; sources=bookworm-backports.list ;; has=bookworm-backports.list:deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm-backports main
commented-backports-list-kept | probe=none commented-list | mode | status=1 ;; says=bookworm-backports.list exists ;; has=bookworm-backports.list:# deb http://deb.debian.org/debian bookworm-backports main ;; sources=bookworm-backports.list debian.sources ;; never=apt-get install -y ;; rule=none
backports-update-fails | probe=none update-fails=backports | mode | status=1 ;; says=Removed the apt source ;; sources=debian.sources ;; never=apt-get install -y ;; rule=none
emulator-without-recommends | probe=none | mode | asked=apt-get install -y -q --no-install-recommends wine64 qemu-user/bookworm-backports ;; never=qemu-user-static ;; never=qemu-user-binfmt
debian-13-own-qemu | os=trixie qemu=1:10.0.3+ds-0+deb13u1 probe=none | mode | status=0 ;; asked=apt-get install -y -q --no-install-recommends wine64 qemu-user ;; never=indextargets ;; sources=debian.sources ;; rule=qemu-i386:/usr/bin/qemu-i386
qemu-7.2-installed | probe=none installed=qemu-user=1:7.2+dfsg-7+deb12u12,qemu-user-static=1:7.2+dfsg-7+deb12u12 | mode | status=0 ;; asked=apt-get install -y -q --no-install-recommends wine64 qemu-user/bookworm-backports ;; rule=qemu-i386:/usr/bin/qemu-i386
release-with-qemu-8 | os=noble qemu=1:8.2.2+ds-0ubuntu1 probe=none | mode | status=1 ;; says=apt offers QEMU 1:8.2.2+ds-0ubuntu1 (qemu-user) here ;; says=Debian 13 has 10.0 ;; asked=apt-get install -s ;; never=apt-get install -y ;; rule=none
qemu-static-planted-in-path | probe=none plant | mode | status=0 ;; rule=qemu-i386:/usr/bin/qemu-i386 ;; never=planted
probe-eacces | probe=eacces | mode | status=1 ;; says=cannot run a program in ;; says=: Permission denied; is it mounted noexec? Nothing was changed. ;; never=apt-get ;; never=command ;; rule=none
forced-removed-on-success | probe=native forced | mode | status=0 ;; asked=command mode=emulated rules=[qemu-i386-forced] ;; says=the binfmt_misc rule qemu-i386-forced is removed again ;; rule=none
forced-removed-on-failure | probe=native forced | fails | status=3 ;; says=is removed again ;; rule=none
forced-sigint | probe=native forced | INT | status=130 ;; says=is removed again ;; rule=none
forced-sigterm | probe=native forced | TERM | status=143 ;; says=is removed again ;; rule=none
forced-sighup | probe=native forced | HUP | status=129 ;; says=is removed again ;; rule=none
forced-removal-fails | probe=native forced fail-remove | mode | status=1 ;; says=the binfmt_misc rule qemu-i386-forced could not be removed ;; asked=binfmt qemu-i386-forced -1
two-runs-at-once | probe=none slow | twice | status=0 ;; count=1:apt-get install -y ;; count=1:register  ;; count=2:command mode=emulated rules=[qemu-i386] ;; rule=qemu-i386:/usr/bin/qemu-i386
two-forced-runs-at-once | probe=native forced | twice | status=0 ;; count=1:register  ;; count=2:command end rules=[qemu-i386-forced] ;; rule=none
mirror-mid-sync | update-fails=index unmet | deps-win32 | status=0 ;; says=apt-get update: the index bookworm-security/main/binary-i386 failed to download; going on without it. ;; asked=apt-get install -y -q -t bookworm
EOF
)

row() { # name given run checks: sets up the row's folder, runs it, checks it
  local name=$1 given=$2 run=$3 checks=$4 word status=0 failed=0
  T=$(mktemp -d)
  trap 'rm -rf "$T"' RETURN
  mkdir -p "$T/bin" "$T/binfmt" "$T/sources.list.d" "$T/locks" "$T/etc" "$T/tmp"
  cp "$here"/stand-ins/* "$T/bin/"
  touch "$T/binfmt/register" "$T/calls"
  echo i386 >"$T/archs"
  export STATE=$T TMPDIR=$T/tmp PATH=$T/bin:$PATH CODENAME=bookworm PROBE=native
  export QEMU_OWN=1:7.2+dfsg-7+deb12u12 QEMU_BPO=1:10.0.2+ds-2+deb13u1~bpo12+1
  export DOVREL_SETUP_BINFMT=$T/binfmt DOVREL_SETUP_APT_SOURCES=$T/sources.list.d
  export DOVREL_SETUP_LOCKS=$T/locks DOVREL_SETUP_OS_RELEASE=$T/etc/os-release
  export DOVREL_SETUP_RUN_PROBE=$T/bin/run-probe
  unset DOVREL_I386_MODE UPDATE_FAILS FAIL_REMOVE UNMET_UNLESS_TARGET INSTALL_SLEEP DOVREL_SETUP_LOCKED
  # Debian 12's own sources, as its installer writes them.
  printf 'Types: deb\nURIs: http://deb.debian.org/debian\nSuites: bookworm bookworm-updates\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n\n' >"$T/sources.list.d/debian.sources"
  printf 'Types: deb\nURIs: http://deb.debian.org/debian-security\nSuites: bookworm-security\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' >>"$T/sources.list.d/debian.sources"
  local debian="deb|bookworm|Debian|http://deb.debian.org/debian/|$T/sources.list.d/debian.sources:1"
  printf '%s\n' "$debian" "deb|bookworm-security|Debian|http://deb.debian.org/debian-security/|$T/sources.list.d/debian.sources:2" >"$T/targets"
  : >"$T/installed"
  for word in $given; do
    case $word in
      os=*) CODENAME=${word#os=} ;;
      probe=*) PROBE=${word#probe=} ;;
      forced) export DOVREL_I386_MODE=emulated ;;
      qemu=*) QEMU_OWN=${word#qemu=} ;;
      installed=*) tr , '\n' <<<"${word#installed=}" | sed 's/=/ /' >"$T/installed" ;;
      sources=vendor)
        echo "deb [signed-by=/usr/share/keyrings/vendor.gpg] https://apt.vendor.example/debian bookworm main" >"$T/sources.list.d/a-vendor.list"
        sed -i "1i deb|bookworm|Vendor|https://apt.vendor.example/debian/|$T/sources.list.d/a-vendor.list:1" "$T/targets" ;;
      sources=cdrom)
        rm "$T/sources.list.d/debian.sources"
        printf '%s\n' "deb cdrom:[Debian GNU/Linux 12.5.0 _Bookworm_ - Official amd64 DVD Binary-1 20240210-11:28]/ bookworm contrib main" "" \
          "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm main" >"$T/etc/sources.list"
        printf '%s\n' "deb|bookworm|Debian|cdrom:[Debian GNU/Linux 12.5.0 _Bookworm_ - Official amd64 DVD Binary-1 20240210-11:28]/|$T/etc/sources.list:1" \
          "deb|bookworm|Debian|http://deb.debian.org/debian/|$T/etc/sources.list:3" >"$T/targets" ;;
      commented-list) echo "# deb http://deb.debian.org/debian bookworm-backports main" >"$T/sources.list.d/bookworm-backports.list" ;;
      plant) mkdir "$T/home-bin" && printf '#!/bin/sh\necho "qemu-i386 version 10.0.2 (planted)"\n' >"$T/home-bin/qemu-i386-static" &&
        chmod +x "$T/home-bin/qemu-i386-static" && PATH=$T/home-bin:$PATH ;;
      fail-remove) export FAIL_REMOVE=1 ;;
      update-fails=*) export UPDATE_FAILS=${word#update-fails=} ;;
      unmet) export UNMET_UNLESS_TARGET=1 ;;
      slow) export INSTALL_SLEEP=1 ;;
      *) echo "row $name: unknown given $word" >&2; return 1 ;;
    esac
  done
  echo "VERSION_CODENAME=$CODENAME" >"$T/etc/os-release"
  [ "$CODENAME" = noble ] && sed -i 's/bookworm/noble/g' "$T/targets"
  export CODENAME PROBE QEMU_OWN

  local setup=$tools_dir
  case $run in
    mode) "$setup/i386-mode.sh" the-command >"$T/out" 2>&1; status=$? ;;
    fails) "$setup/i386-mode.sh" the-command 0 3 >"$T/out" 2>&1; status=$? ;;
    INT|TERM|HUP)
      # Its own process group, as a terminal's foreground job: the signal reaches
      # the script and the command, as Ctrl-C or a closed terminal does.
      set -m
      "$setup/i386-mode.sh" the-command 30 >"$T/out" 2>&1 &
      local pid=$!
      set +m
      for _ in $(seq 100); do [ -e "$T/started" ] && break; sleep 0.1; done
      kill -"$run" -- -"$pid"
      wait "$pid"; status=$? ;;
    twice)
      "$setup/i386-mode.sh" the-command 1 >>"$T/out" 2>&1 &
      local first=$!
      sleep 0.3
      "$setup/i386-mode.sh" the-command 2 >>"$T/out" 2>&1 || status=$?
      wait "$first" || status=$? ;;
    deps-win32) "$setup/install-deps.sh" win32 >"$T/out" 2>&1; status=$? ;;
  esac

  local check kind arg file
  checks=${checks// ;; /$'\n'}
  while IFS= read -r check; do
    kind=${check%%=*} arg=${check#*=}
    case $kind in
      status) [ "$status" = "$arg" ] ;;
      says) grep -qF -- "$arg" "$T/out" ;;
      asked) grep -qF -- "$arg" "$T/calls" ;;
      never) ! grep -qF -- "$arg" "$T/calls" ;;
      count) [ "$(grep -cF -- "${arg#*:}" "$T/calls")" = "${arg%%:*}" ] ;;
      rule)
        if [ "$arg" = none ]; then [ "$(ls "$T/binfmt")" = register ]
        else [ "$(ls "$T/binfmt" | grep -vx register)" = "${arg%%:*}" ] &&
          grep -qx "interpreter ${arg#*:}" "$T/binfmt/${arg%%:*}"; fi ;;
      sources) [ "$(ls "$T/sources.list.d" | grep -v vendor | tr '\n' ' ')" = "$arg " ] ;;
      has) file=$T/sources.list.d/${arg%%:*}; grep -qxF -- "${arg#*:}" "$file" 2>/dev/null ;;
      lacks) file=$T/sources.list.d/${arg%%:*}; [ -e "$file" ] && ! grep -qF -- "${arg#*:}" "$file" ;;
      *) false ;;
    esac || { echo "row $name: FAILED $check"; failed=1; }
  done <<<"$checks"
  if [ "$failed" = 1 ]; then
    echo "---- exit status $status; output:"; cat "$T/out"; echo "---- calls:"; cat "$T/calls"
    echo "---- binfmt: $(ls "$T/binfmt")  sources: $(ls "$T/sources.list.d")"
    return 1
  fi
  echo "row $name: passed"
}

tools_dir=$here/../../tools/setup
if [ -n "${DOVREL_SETUP_SCRIPTS:-}" ]; then
  tools_dir=$(mktemp -d)
  trap 'rm -rf "$tools_dir"' EXIT
  for f in install-deps.sh i386-mode.sh; do
    git -C "$here" show "$DOVREL_SETUP_SCRIPTS:tools/$f" |
      sed -e 's|/proc/sys/fs/binfmt_misc|$DOVREL_SETUP_BINFMT|; s|/etc/apt/sources.list.d|$DOVREL_SETUP_APT_SOURCES|' \
        -e 's|(\. /etc/os-release|(. "$DOVREL_SETUP_OS_RELEASE"|; s|"\$probe" 2>/dev/null|"$DOVREL_SETUP_RUN_PROBE" -c "\\"\\$0\\"" "$probe" 2>/dev/null|' \
        >"$tools_dir/$f"
    chmod +x "$tools_dir/$f"
  done
fi

if [ "${1:-}" = --list ]; then
  sed 's/ .*//' <<<"$rows"
  exit
fi
status=0 ran=0
while IFS='|' read -r name given run checks; do
  name=${name%% } given=${given# } given=${given% } run=${run// /} checks=${checks# }
  [ $# -eq 0 ] || [ "$name" = "$1" ] || continue
  ran=1
  (row "$name" "$given" "$run" "$checks") || status=1
done <<<"$rows"
[ "$ran" = 1 ] || { echo "no row ${1:-}" >&2; exit 1; }
exit "$status"
