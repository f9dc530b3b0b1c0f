#!/usr/bin/env bash
# Fails when the sources look up, at run time, a function that no Windows XP
# system DLL exports by that name: such lookups escape the import check.
# Usage: check-looked-up-functions.sh DIR...   (lists: tools/exe-checks/xp-exports/*.txt)
set -euo pipefail
if [ $# -lt 1 ]; then
  echo "usage: $0 DIR..." >&2
  exit 2
fi
lists=$(cd "$(dirname "$0")/xp-exports" && pwd)
names=$(grep -rhoE --include='*.cpp' --include='*.h' \
  '(Find<[^>]*>\(|GetProcAddress\([^,]*, *)"[A-Za-z0-9_]+"' "$@" |
  sed -E 's/.*"([A-Za-z0-9_]+)"$/\1/' | sort -u)
if [ -z "$names" ]; then
  echo "no looked-up functions found in $*" >&2
  exit 2
fi
failures=0
for name in $names; do
  if ! grep -qxF -- "$name" "$lists"/*.txt; then
    echo "NOT EXPORTED BY XP: $name (looked up at run time)"
    failures=$((failures + 1))
  fi
done
if [ "$failures" -ne 0 ]; then
  echo "FAIL: $failures looked-up function(s) that Windows XP does not export"
  exit 1
fi
echo "OK: $(wc -w <<<"$names") looked-up function(s), all exported by Windows XP"
