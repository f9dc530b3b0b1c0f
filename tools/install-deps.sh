#!/usr/bin/env bash
# Installs what the build and the tests need on Debian/Ubuntu, only when missing.
# Usage: install-deps.sh native|win32|all
set -euo pipefail
what=${1:-all}

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

native_pkgs=(cmake make g++ libgtest-dev libgmock-dev googletest)
win32_pkgs=(g++-mingw-w64-i686 binutils-mingw-w64-i686 wine wine32:i386 xvfb imagemagick)

case "$what" in
  native) pkgs=("${native_pkgs[@]}") ;;
  win32) pkgs=(cmake make "${win32_pkgs[@]}" googletest) ;;
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
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q "${need[@]}"
