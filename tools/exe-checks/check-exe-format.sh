#!/usr/bin/env bash
# Fails unless EXE is what Windows XP loads without help: a 32-bit x86 GUI
# program with subsystem version 5.01 that needs none of the compiler's
# runtime DLLs (libstdc++, libgcc, libwinpthread).
# Usage: check-exe-format.sh EXE
set -euo pipefail
if [ $# -ne 1 ]; then
  echo "usage: $0 EXE" >&2
  exit 2
fi
exe=$1
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
dump=$("$objdump" -p "$exe") || { echo "cannot read $exe" >&2; exit 2; }

failures=0
field() { awk -v k="$1" '$1 == k { print $2; exit }' <<<"$dump"; }
expect() { # what, actual, wanted
  if [ "$2" != "$3" ]; then
    echo "WRONG $1: '$2', wanted '$3'"
    failures=$((failures + 1))
  fi
}

expect "file format" "$(sed -n 's/.*file format //p' <<<"$dump" | head -n1)" "pei-i386"
expect "optional header magic" "$(field Magic)" "010b"
expect "subsystem" "$(awk '$1 == "Subsystem" { print $2, $3, $4; exit }' <<<"$dump")" \
  "00000002 (Windows GUI)"
expect "subsystem version" "$(field MajorSubsystemVersion).$(field MinorSubsystemVersion)" "5.1"

while read -r dll; do
  case "${dll,,}" in
    libstdc++* | libgcc* | libwinpthread*)
      echo "NEEDS A COMPILER RUNTIME DLL: $dll"
      failures=$((failures + 1))
      ;;
  esac
done < <(sed -n 's/^\tDLL Name: //p' <<<"$dump")

if [ "$failures" -ne 0 ]; then
  echo "FAIL: $exe: $failures problem(s)"
  exit 1
fi
echo "OK: $exe: i686 GUI program, subsystem 5.01, no compiler runtime DLL"
