#!/usr/bin/env bash
# Fails when a Windows program imports anything Windows XP cannot give it: a
# DLL that is not an XP system DLL, a function that XP's DLL does not export
# by name, or an import by ordinal (which the name lists cannot vouch for).
# Usage: check-xp-imports.sh [--remove-on-failure] EXE
#   (lists: tools/xp-exports/<dll>.txt). --remove-on-failure deletes an EXE that
#   fails, so that a build never leaves behind a program XP would refuse.
set -euo pipefail
remove_on_failure=""
if [ "${1:-}" = --remove-on-failure ]; then
  remove_on_failure=1
  shift
fi
if [ $# -ne 1 ]; then
  echo "usage: $0 [--remove-on-failure] EXE" >&2
  exit 2
fi
exe=$1
lists=$(cd "$(dirname "$0")/xp-exports" && pwd)
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}

dump=$("$objdump" -p "$exe") || { echo "cannot read the imports of $exe" >&2; exit 2; }

# One "dll<TAB>function" line per import; "dll<TAB>#ordinal" for ordinal ones.
# binutils 2.40 prints "vma Hint/Ord Name", 2.44 "vma Ordinal Hint Name" with
# "<none>" for what is absent: the name is the last field either way.
imports=$(awk '
  /^\tDLL Name: / { dll = tolower(substr($0, index($0, ":") + 2)); in_table = 0; next }
  /^\tvma: / && dll != "" { in_table = 1; next }
  in_table && /^\t[0-9a-f]+[ \t]/ {
    n = split($0, f, /[ \t]+/)
    if (f[n] == "<none>") print dll "\t#" f[3]; else print dll "\t" f[n]
    next
  }
  in_table { in_table = 0 }
' <<<"$dump")

failures=0
dlls=0
functions=0
declare -A known_dll=()
while IFS=$'\t' read -r dll fn; do
  [ -n "$dll" ] || continue
  list="$lists/$dll.txt"
  if [ -z "${known_dll[$dll]:-}" ]; then
    known_dll[$dll]=1
    dlls=$((dlls + 1))
    if [ ! -f "$list" ]; then
      echo "NOT AN XP SYSTEM DLL: $dll"
      failures=$((failures + 1))
    fi
  fi
  [ -f "$list" ] || continue
  functions=$((functions + 1))
  if [[ "$fn" == \#* ]]; then
    echo "IMPORTED BY ORDINAL: $dll ${fn}"
    failures=$((failures + 1))
  elif ! grep -qxF -- "$fn" "$list"; then
    echo "NOT EXPORTED BY XP: $dll!$fn"
    failures=$((failures + 1))
  fi
done <<<"$imports"

if [ "$dlls" -eq 0 ]; then
  echo "no imports found in $exe: is it a Windows program?" >&2
  exit 2
fi
if [ "$failures" -ne 0 ]; then
  echo "FAIL: $exe: $failures import(s) that Windows XP cannot satisfy"
  if [ -n "$remove_on_failure" ]; then
    rm -f -- "$exe"
    echo "Removed $exe: Windows XP would refuse to start it."
  fi
  exit 1
fi
echo "OK: $exe: $functions function(s) from $dlls DLL(s), all exported by Windows XP"
