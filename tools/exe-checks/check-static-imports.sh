#!/usr/bin/env bash
# Fails when a Windows program imports a DLL statically that the list does not
# allow; prints each allowed import with the reason it is safe.
# Usage: check-static-imports.sh EXE [LIST]   (LIST: tools/exe-checks/static-imports.txt)
set -euo pipefail
if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  echo "usage: $0 EXE [LIST]" >&2
  exit 2
fi
exe=$1
list=${2:-$(dirname "$0")/static-imports.txt}
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
dump=$("$objdump" -p "$exe") || { echo "cannot read the imports of $exe" >&2; exit 2; }

failures=0
while read -r dll; do
  dll=${dll,,}
  reason=$(awk -F'\t' -v d="$dll" '!/^#/ && $1 == d { print $2; exit }' "$list")
  if [ -z "$reason" ]; then
    echo "NOT AN ALLOWED STATIC IMPORT: $dll (load it on first use by full path, or add it to $list with the reason it is safe)"
    failures=$((failures + 1))
  else
    echo "allowed: $dll: $reason"
  fi
done < <(sed -n 's/^\tDLL Name: //p' <<<"$dump")

if [ "$failures" -ne 0 ]; then
  echo "FAIL: $exe: $failures static import(s) not allowed"
  exit 1
fi
echo "OK: $exe: every static import is allowed"
