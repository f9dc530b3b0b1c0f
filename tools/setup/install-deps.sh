#!/usr/bin/env bash
# Installs what the build and the tests need on Debian/Ubuntu, only when missing.
# Usage: install-deps.sh native|win32|emulation|all
#   emulation: what Wine needs on a machine that runs no i386 code (see
#   i386-mode.sh): QEMU's user-mode emulator alone (qemu-user, version 10 or
#   later, from the distribution's own packages) and the 64-bit Wine server.
set -euo pipefail
setup=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tools/setup/machine.sh
. "$setup/machine.sh"
what=${1:-all}
export DEBIAN_FRONTEND=noninteractive
# shellcheck disable=SC1090
codename=$(. "$os_release" && echo "${VERSION_CODENAME:-}")

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
setup_lock
missing || exit 0 # another run installed them while this one waited

log=$(mktemp)
added_source=""
installed=""
cleanup() {
  rm -f "$log"
  if [ -n "$added_source" ] && [ -z "$installed" ]; then
    "${sudo_cmd[@]}" rm -f "$added_source" &&
      echo "Removed the apt source $added_source again: nothing was installed through it."
  fi
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

# (grep -q would stop reading early, and pipefail take the writer's SIGPIPE for a failure.)
if [[ " ${need[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -x i386 >/dev/null; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
  echo "Added the i386 architecture to dpkg, for ${need[*]}."
fi

# A mirror caught mid-sync can serve one index with the wrong size for hours:
# name it and go on with the rest.
apt_update() {
  if ! "${sudo_cmd[@]}" apt-get update -q >"$log" 2>&1; then
    sed -n 's|^E: Failed to fetch .*/dists/\([^ ]*\)/[^/ ]*  *\(.*\)|\1|p' "$log" | sort -u |
      while read -r index; do echo "apt-get update: the index $index failed to download; going on without it."; done
    grep -q '^E: Failed to fetch' "$log" || { cat "$log" >&2; exit 1; }
  fi
}
apt_update

# The sources entry ("file:number") of Debian's own archive for a release, as
# apt knows it from the release's Release file; never a CD.
debian_entry() { # release, origin
  apt-get indextargets --format '$(TARGET_OF)|$(RELEASE)|$(ORIGIN)|$(REPO_URI)|$(SOURCESENTRY)' 2>/dev/null |
    awk -F'|' -v r="$1" -v o="$2" '$1 == "deb" && $2 == r && $3 == o && $4 !~ /^cdrom:/ { print $5; exit }'
}

# The release's own entry again, for its backports: same archive, same options.
backports_entry() { # file, number
  case $1 in
    *.sources)
      awk -v n="$2" -v suite="$codename-backports" '
        /^[ \t]*$/ { inside = 0; next }
        /^#/ { next }
        !inside && !/^[ \t]/ { inside = 1; stanza++ }
        stanza != n { next }
        /^[ \t]/ { if (!replaced) print; next }
        { replaced = 0 }
        tolower($1) == "suites:" { print "Suites: " suite; replaced = 1; next }
        tolower($1) == "components:" { print "Components: main"; replaced = 1; next }
        { print }' "$1" ;;
    *)
      sed -n "$2p" "$1" |
        sed -E "s/^[ \t]*(deb([ \t]+\[[^]]*\])?[ \t]+[^ \t]+)[ \t].*/\1 $codename-backports main/" ;;
  esac
}

add_backports_source() {
  [ -n "$(debian_entry "$codename-backports" "Debian Backports")" ] && return 0
  local entry file ext
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
  backports_entry "$file" "${entry##*:}" | "${sudo_cmd[@]}" tee "$apt_sources/$codename-backports.$ext" >/dev/null
  added_source=$apt_sources/$codename-backports.$ext
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
install() { "${sudo_cmd[@]}" apt-get install -y -q "${install_args[@]}" "$@" "${want[@]}" 2>&1 | tee "$log"; }
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
installed=1
