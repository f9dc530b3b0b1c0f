#!/usr/bin/env bash
# Installs what the build and the tests need on Debian/Ubuntu, only when missing.
# Usage: install-deps.sh native|win32|emulation|all
#   emulation: what Wine needs on a machine that runs no i386 code (see
#   i386-mode.sh): QEMU's user-mode emulator alone (qemu-user, version 10 or
#   later, from the distribution's own packages) and the 64-bit Wine server.
# What it adds for the packages (dpkg's i386 architecture, an apt source) and
# ends up not using, it removes again however it ends, Ctrl-C included.
set -euo pipefail
setup=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tools/setup/machine.sh
. "$setup/machine.sh"
what=${1:-all}
# shellcheck disable=SC1090
codename=$(. "$os_release" && echo "${VERSION_CODENAME:-}")

# apt as root, never stopping to ask: sudo resets the environment, so the
# setting goes with the command.
apt_get() { "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get "$@"; }

have_pkg() { [ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" = "install ok installed" ]; }
major() { local v=${1#*:}; echo "${v%%.*}"; } # 1:10.0.2+ds-2 -> 10
# Debian 12's own QEMU (7.2) cannot run Wine programs.
qemu_ok() { have_pkg qemu-user && [ "$(major "$(dpkg-query -W -f='${Version}' qemu-user)")" -ge 10 ]; }

native_pkgs=(cmake make g++ libgtest-dev libgmock-dev googletest)
win32_pkgs=(g++-mingw-w64-i686 binutils-mingw-w64-i686 wine wine32:i386 xvfb imagemagick python3)
case "$what" in
  native) pkgs=("${native_pkgs[@]}") ;;
  win32) pkgs=(cmake make "${win32_pkgs[@]}" googletest) ;;
  emulation) pkgs=(wine64) ;;
  *) pkgs=("${native_pkgs[@]}" "${win32_pkgs[@]}") ;;
esac

missing() {
  need=()
  for p in "${pkgs[@]}"; do have_pkg "$p" || need+=("$p"); done
  if [ "$what" = emulation ] && ! qemu_ok; then need+=(qemu-user); fi
  [ ${#need[@]} -gt 0 ]
}
missing || exit 0
need_root "Installing ${need[*]}" "as root, run $setup/install-deps.sh $what, then this command again"
setup_lock
missing || exit 0 # another run installed them while this one waited
asked=("${need[@]}")

# Says which of the packages asked for are in and which are not.
report_install() {
  local p done=() not=()
  for p in "${asked[@]}"; do
    if have_pkg "$p" && { [ "$p" != qemu-user ] || qemu_ok; }; then done+=("$p"); else not+=("$p"); fi
  done
  echo "The install did not finish. Installed: ${done[*]:-none}. Not installed: ${not[*]}." >&2
}

# What this run added and nothing uses is taken back out, whichever way it ends.
undo() {
  local error
  # A QEMU 10 in place came through the backports source: it stays for updates.
  if [ -n "$added_source" ] && ! qemu_ok; then
    "${sudo_cmd[@]}" rm -f "$added_source" &&
      echo "Removed the apt source $added_source again: nothing was installed through it." >&2
  fi
  if [ -n "$added_arch" ]; then
    if error=$("${sudo_cmd[@]}" dpkg --remove-architecture i386 2>&1); then
      echo "Removed the i386 architecture from dpkg again: no package of it was installed." >&2
    else
      echo "The i386 architecture stays in dpkg: ${error#dpkg: error: }" >&2
    fi
  fi
}

log=$(mktemp)
added_source="" added_arch="" installing=""
cleanup() {
  local status=$?
  trap '' INT TERM HUP # the undoing is not cut short
  rm -f "$log"
  if [ "$status" -ne 0 ]; then
    [ -z "$installing" ] || report_install
    undo
  fi
  exit "$status"
}
interrupted() { # signal, exit status
  echo "install-deps.sh: interrupted by SIG$1." >&2
  exit "$2"
}
trap cleanup EXIT
trap 'interrupted INT 130' INT
trap 'interrupted TERM 143' TERM
trap 'interrupted HUP 129' HUP

# (grep -q would stop reading early, and pipefail take the writer's SIGPIPE for a failure.)
if [[ " ${need[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -x i386 >/dev/null; then
  added_arch=1
  "${sudo_cmd[@]}" dpkg --add-architecture i386
  echo "Added the i386 architecture to dpkg, for ${need[*]}."
fi

# A mirror caught mid-sync can serve one index with the wrong size for hours: an
# index that failed to download is named, and the set-up goes on without it. Any
# other error (a repository, a signature, apt's lock) stops it, shown whole.
apt_update() {
  local line index indexes=() errors=()
  apt_get update -q >"$log" 2>&1 && return 0
  while IFS= read -r line; do
    case $line in
      "E: Some index files failed to download. They have been ignored, or old ones used instead.") ;;
      "E: Failed to fetch "*/dists/*)
        index=${line#*/dists/} index=${index%%  *} index=${index%%/by-hash/*} index=${index%/*}
        if [[ $index == */*/* ]]; then indexes+=("$index"); else errors+=("$line"); fi ;;
      E:*) errors+=("$line") ;;
    esac
  done <"$log"
  if [ ${#errors[@]} -gt 0 ] || [ ${#indexes[@]} -eq 0 ]; then
    echo "apt-get update failed:" >&2
    if [ ${#errors[@]} -gt 0 ]; then printf '%s\n' "${errors[@]}" >&2; else cat "$log" >&2; fi
    exit 1
  fi
  printf '%s\n' "${indexes[@]}" | sort -u |
    while read -r index; do echo "apt-get update: the index $index failed to download; going on without it."; done
}
apt_update

# The sources entry ("file:number") of Debian's own archive for a release, as
# apt knows it from the release's Release file; never a CD.
debian_entry() { # release, origin
  apt-get indextargets --format '$(TARGET_OF)|$(RELEASE)|$(ORIGIN)|$(REPO_URI)|$(SOURCESENTRY)' 2>/dev/null |
    awk -F'|' -v r="$1" -v o="$2" '$1 == "deb" && $2 == r && $3 == o && $4 !~ /^cdrom:/ { print $5; exit }'
}

# The release's own entry again, for its backports: same archive, same options;
# binary packages of main only (qemu-user is there).
backports_entry() { # file, number (a stanza of a .sources file, a line of a .list)
  case $1 in
    *.sources)
      awk -v n="$2" -v suite="$codename-backports" '
        /^#/ { next }                      # comments, wherever they are
        /^[ \t]*$/ { inside = 0; next }    # a blank line ends a stanza
        !inside { inside = 1; stanza++ }
        stanza != n { next }
        /^[ \t]/ { if (!replaced) print; next } # the field above goes on
        { field = tolower($0); sub(/[ \t]*:.*/, "", field); replaced = 1 }
        field == "types" { print "Types: deb"; next }
        field == "suites" { print "Suites: " suite; next }
        field == "components" { print "Components: main"; next }
        { replaced = 0; print }' "$1" ;;
    *)
      sed -n "$2p" "$1" |
        sed -E "s/^[ \t]*(deb([ \t]+\[[^]]*\])?[ \t]+[^ \t]+)[ \t].*/\1 $codename-backports main/" ;;
  esac
}

add_backports_source() {
  # Debian's backports under any file name, as apt knows them, will do.
  [ -n "$(debian_entry "$codename-backports" "Debian Backports")" ] && return 0
  local entry file ext existing
  entry=$(debian_entry "$codename" Debian)
  if [ -z "$entry" ]; then
    echo "apt has no source of Debian's own archive for $codename, so none for $codename-backports can be made." >&2
    exit 1
  fi
  file=${entry%:*}
  ext=list
  [[ $file == *.sources ]] && ext=sources
  for existing in "$apt_sources/$codename-backports".{list,sources}; do
    if [ -e "$existing" ]; then
      echo "apt has no $codename-backports of Debian's own, and $existing exists (its lines commented out?):" \
        "enable it, or move it away, then run this again." >&2
      exit 1
    fi
  done
  added_source=$apt_sources/$codename-backports.$ext
  # Readable by all, as apt's other sources, whatever the caller's umask.
  backports_entry "$file" "${entry##*:}" | (umask 022 && "${sudo_cmd[@]}" tee "$added_source" >/dev/null)
  echo "Added the apt source $added_source (the archive and options of $entry), for qemu-user."
  apt_update
  if [ -z "$(debian_entry "$codename-backports" "Debian Backports")" ]; then
    echo "apt-get update found no $codename-backports of Debian's own through $added_source." >&2
    exit 1
  fi
}

install_args=()
want=("${need[@]}")
if [ "$what" = emulation ]; then
  install_args=(--no-install-recommends)
  if [[ " ${need[*]} " == *" qemu-user "* ]] && [ "$codename" = bookworm ]; then
    add_backports_source
    want=("${want[@]/#qemu-user/qemu-user/$codename-backports}")
  fi
  # The version apt would install, known before anything is.
  plan=$(apt-get install -s -q "${install_args[@]}" "${want[@]}" 2>&1 ||
    apt-get install -s -q -t "$codename" "${install_args[@]}" "${want[@]}" 2>&1 || true)
  qemu=$(sed -n 's/^Inst qemu-user \(\[[^]]*\] \)\{0,1\}(\([^ ]*\) .*/\2/p' <<<"$plan")
  if [[ " ${need[*]} " == *" qemu-user "* ]] && ! [ "$(major "${qemu:-0}")" -ge 10 ]; then
    echo "apt offers QEMU ${qemu:-none newer than the one installed} (qemu-user) here; Wine programs need QEMU 10 or later:" \
      "Debian 13 has 10.0, Debian 12 has it in bookworm-backports. Nothing was installed." >&2
    exit 1
  fi
fi

echo "Installing: ${want[*]}${install_args[*]:+ (${install_args[*]})}"
installing=1
install() { apt_get install -y -q "${install_args[@]}" "$@" "${want[@]}" 2>&1 | tee "$log"; }
if ! install; then
  # Without one architecture's newest index, Multi-Arch libraries cannot get one
  # version on both; the release's own versions exist for both.
  if [ -n "$codename" ] && grep -qE 'unmet dependencies|Unable to correct problems' "$log"; then
    echo "apt-get could not resolve the packages (an index it needs may be missing): trying once more with the release $codename as target."
    install -t "$codename" || exit 1
  else
    exit 1
  fi
fi
installing=""
