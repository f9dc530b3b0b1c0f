#!/usr/bin/env bash
# Installs what the build and the tests need on Debian/Ubuntu, only when missing.
# Usage: install-deps.sh native|win32|emulation|all
#   emulation: what Wine needs on a machine that runs no i386 code (see
#   tools/i386-mode.sh): QEMU's user-mode i386 emulator, version 10 or later,
#   from the distribution's own packages, and the 64-bit Wine server.
set -euo pipefail
what=${1:-all}

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
# shellcheck disable=SC1091
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")

need=()
have_pkg() { dpkg-query -W -f='${Status}' "${1%%/*}" 2>/dev/null | grep -q 'install ok installed'; }

native_pkgs=(cmake make g++ libgtest-dev libgmock-dev googletest)
win32_pkgs=(g++-mingw-w64-i686 binutils-mingw-w64-i686 wine wine32:i386 xvfb imagemagick)
# Debian 12's own QEMU (7.2) cannot run Wine programs; its backports have 10.
if [ "$codename" = bookworm ]; then
  emulation_pkgs=(wine64 qemu-user-static/bookworm-backports)
else
  emulation_pkgs=(wine64 qemu-user)
fi

case "$what" in
  native) pkgs=("${native_pkgs[@]}") ;;
  win32) pkgs=(cmake make "${win32_pkgs[@]}" googletest) ;;
  emulation) pkgs=("${emulation_pkgs[@]}") ;;
  *) pkgs=("${native_pkgs[@]}" "${win32_pkgs[@]}") ;;
esac

for p in "${pkgs[@]}"; do have_pkg "$p" || need+=("$p"); done
[ ${#need[@]} -eq 0 ] && exit 0

echo "Installing: ${need[*]}"
for p in "${need[@]}"; do
  if [[ "$p" == *:i386 ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386
  fi
done

# Adds the backports of this release, from the mirror the release itself comes
# from, when a package is wanted from there and apt has no such source yet.
add_backports_source() {
  local uri file=/etc/apt/sources.list.d/$codename-backports.list
  apt-get indextargets --format '$(RELEASE)' 2>/dev/null | grep -qx "$codename-backports" && return 0
  uri=$(apt-get indextargets --format '$(RELEASE) $(REPO_URI)' 2>/dev/null |
    awk -v r="$codename" '$1 == r { print $2; exit }')
  if [ -z "$uri" ]; then
    echo "No apt source for $codename found, so none for $codename-backports can be added." >&2
    exit 1
  fi
  echo "deb $uri $codename-backports main" | "${sudo_cmd[@]}" tee "$file" >/dev/null
  echo "Added the apt source $codename-backports ($file), for ${need[*]}."
}
if printf '%s\n' "${need[@]}" | grep -q '/.*-backports$'; then add_backports_source; fi

log=$(mktemp)
trap 'rm -f "$log"' EXIT

# A mirror caught mid-sync can serve one index with the wrong size for hours:
# name it and go on with the rest.
if ! "${sudo_cmd[@]}" apt-get update -q >"$log" 2>&1; then
  sed -n 's|^E: Failed to fetch .*/dists/\([^ ]*\)/[^/ ]*  *\(.*\)|\1|p' "$log" | sort -u |
    while read -r index; do echo "apt-get update: the index $index failed to download; going on without it."; done
  grep -q '^E: Failed to fetch' "$log" || { cat "$log" >&2; exit 1; }
fi

install() { "${sudo_cmd[@]}" apt-get install -y -q "$@" "${need[@]}" 2>&1 | tee "$log"; }
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
