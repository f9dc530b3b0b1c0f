#!/usr/bin/env bash
# Fails when a Windows program imports anything Windows XP cannot give it: a
# DLL that is not an XP system DLL, a function that XP's DLL does not export
# by name, or an import by ordinal (which the name lists cannot vouch for).
# Delay-load imports count as much as the others: XP fails the call instead
# of the start. An import table that cannot be read whole is a failure too.
# Usage: check-xp-imports.sh [--remove-on-failure] EXE
#   (lists: tools/exe-checks/xp-exports/<dll>.txt). --remove-on-failure deletes EXE on
#   every failure, so that a build never leaves behind a program nobody has
#   checked.
# Exit status: 0 all imports are XP's; 1 a failure reported for EXE; 2 a usage
#   error, or EXE or a tool that cannot be read or run.
set -uo pipefail
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
tools=$(cd "$(dirname "$0")" && pwd)
lists=$tools/xp-exports
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}

# Ends the check with STATUS after the message (a tool's error on stderr),
# removing EXE when asked.
finish() { # status message
  local status=$1 out=1
  [ "$status" -eq 1 ] || out=2
  {
    echo "$2"
    if [ -n "$remove_on_failure" ] && [ -e "$exe" ]; then
      if rm -f -- "$exe"; then
        echo "Removed $exe: nothing vouches that Windows XP can start it."
      else
        echo "Could not remove $exe."
      fi
    fi
  } >&"$out"
  exit "$status"
}

dump=$("$objdump" -p "$exe") ||
  finish 2 "cannot read the imports of $exe: $objdump -p failed (exit status $?)"

# One "dll<TAB>function" line per import; "dll<TAB>#ordinal" for ordinal ones;
# "!<TAB>line" for a line inside an import table that is no import.
# binutils 2.40 prints "vma Hint/Ord Name", 2.44 "vma Ordinal Hint Name" with
# "<none>" for what is absent: the name is the last field either way. A table
# ends at an empty line; anything else in it (objdump's "<corrupt: ...>" for an
# entry it cannot follow) is reported, and the rest of the table still read.
imports=$(awk '
  /^\tDLL Name: / { dll = tolower(substr($0, index($0, ":") + 2)); in_table = 0; next }
  /^\tvma: / && dll != "" { in_table = 1; next }
  !in_table { next }
  /^$/ { in_table = 0; next }
  /^\t[0-9a-f]+[ \t]/ {
    n = split($0, f, /[ \t]+/)
    if (f[n] == "<none>") print dll "\t#" f[3]; else print dll "\t" f[n]
    next
  }
  { line = $0; sub(/^[ \t]+/, "", line); gsub(/\t/, " ", line); print "!\t" dll ": " line }
' <<<"$dump")

delayed=$(/usr/bin/python3 "$tools/pe-delay-imports.py" "$exe")
case $? in
  0) ;;
  1) finish 1 "FAIL: $exe: its delay-load imports cannot be read" ;;
  *) finish 2 "cannot read the delay-load imports of $exe with $tools/pe-delay-imports.py" ;;
esac

failures=0
dlls=0
functions=0
declare -A known_dll=()
while IFS=$'\t' read -r dll fn how; do
  [ -n "$dll" ] || continue
  if [ "$dll" = "!" ]; then
    echo "UNREADABLE LINE IN AN IMPORT TABLE: $fn"
    failures=$((failures + 1))
    continue
  fi
  what=${how:+ ($how)}
  list="$lists/$dll.txt"
  if [ -z "${known_dll[$dll]:-}" ]; then
    known_dll[$dll]=1
    dlls=$((dlls + 1))
    if [ ! -f "$list" ]; then
      echo "NOT AN XP SYSTEM DLL: $dll$what"
      failures=$((failures + 1))
    fi
  fi
  [ -f "$list" ] || continue
  functions=$((functions + 1))
  if [[ "$fn" == \#* ]]; then
    echo "IMPORTED BY ORDINAL: $dll ${fn}$what"
    failures=$((failures + 1))
  elif ! grep -qxF -- "$fn" "$list"; then
    echo "NOT EXPORTED BY XP: $dll!$fn$what"
    failures=$((failures + 1))
  fi
done < <(printf '%s\n' "$imports"
         [ -z "$delayed" ] || printf '%s\tdelay-loaded\n' "${delayed//$'\n'/$'\tdelay-loaded\n'}")

if [ "$dlls" -eq 0 ] && [ "$failures" -eq 0 ]; then
  finish 2 "no imports found in $exe: is it a Windows program?"
fi
if [ "$failures" -ne 0 ]; then
  finish 1 "FAIL: $exe: $failures import(s) that Windows XP cannot satisfy, or cannot be read"
fi
echo "OK: $exe: $functions function(s) from $dlls DLL(s), all exported by Windows XP"
