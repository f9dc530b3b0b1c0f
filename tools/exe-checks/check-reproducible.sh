#!/usr/bin/env bash
# Fails unless Dovrel.exe, built again later from a copy of the source at
# another path, is byte for byte the given EXE: whoever builds the same source
# must get the same file. On a mismatch it says where they differ and keeps
# the second build.
# Usage: check-reproducible.sh SOURCE_DIR EXE [BUILD_TYPE]
set -euo pipefail
if [ $# -lt 2 ] || [ $# -gt 3 ]; then
  echo "usage: $0 SOURCE_DIR EXE [BUILD_TYPE]" >&2
  exit 2
fi
src=$(cd "$1" && pwd)
exe=$2
build_type=${3:-Release}
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
work=$(mktemp -d "${TMPDIR:-/tmp}/dovrel-rebuild.XXXXXX")
copy=$work/copy-of-the-source
out=$work/out

# The files the first build saw: tracked ones as they are now (edits included)
# and new ones git does not ignore; without git, all but the build folder.
mkdir -p "$copy"
if git -C "$src" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git -C "$src" ls-files -z --cached --others --exclude-standard |
    tar -C "$src" --null -T - --ignore-failed-read -cf - 2>/dev/null | tar -C "$copy" -xf -
else
  tar -C "$src" --exclude=./build -cf - . | tar -C "$copy" -xf -
fi

if ! { cmake -S "$copy" -B "$out" -DCMAKE_BUILD_TYPE="$build_type" -DDOVREL_TESTS=OFF \
         -DCMAKE_TOOLCHAIN_FILE="$copy/cmake/toolchain-i686-w64-mingw32.cmake" &&
       cmake --build "$out" --target Dovrel -j "$(nproc 2>/dev/null || echo 2)"; } >"$work/build.log" 2>&1; then
  tail -n 30 "$work/build.log"
  echo "FAIL: the second build did not finish (log: $work/build.log)"
  exit 1
fi
second=$out/Dovrel.exe

if cmp -s "$exe" "$second"; then
  echo "OK: a copy of the source at another path rebuilds $exe byte for byte ($(sha256sum <"$exe" | cut -d' ' -f1))"
  rm -rf "$work"
  exit 0
fi

echo "DIFFERENT: $exe ($(stat -c %s "$exe") bytes)"
echo "       and $second ($(stat -c %s "$second") bytes)"
# Differing bytes (offsets from 0), each with the section of the file it lies in.
sections=$("$objdump" -h "$exe" | awk '$1 ~ /^[0-9]+$/ && $6 != "00000000" { print $2, $3, $6 }')
cmp -l "$exe" "$second" 2>&1 | head -n 20 | while read -r pos a b; do
  if [ "$pos" = cmp: ]; then echo "$a $b"; continue; fi
  offset=$((pos - 1)) where=headers
  while read -r name size file_offset; do
    if ((offset >= 0x$file_offset && offset < 0x$file_offset + 0x$size)); then where=$name; fi
  done <<<"$sections"
  printf '  at 0x%08x (%s): %02x -> %02x\n' "$offset" "$where" "0$a" "0$b"
done || true
echo "  $(cmp -l "$exe" "$second" 2>/dev/null | wc -l) byte(s) differ"
echo "Texts (strings) that differ:"
texts=$(diff <(strings -a "$exe") <(strings -a "$second") | grep '^[<>]' | head -n 10) || true
echo "${texts:-  none}"
echo "Headers (objdump -p) that differ:"
diff <("$objdump" -p "$exe" | tail -n +3) <("$objdump" -p "$second" | tail -n +3) | head -n 20 || true
echo "FAIL: not reproducible (second build kept in $work)"
exit 1
