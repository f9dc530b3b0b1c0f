#!/usr/bin/env bash
# The closing count of `make test`, over a CTest run whose outcomes are known:
# one test passes, one fails, and one names a program that does not exist
# (CTest's "Not Run", which its log marks as passed).
set -euo pipefail
count=$(cd "$(dirname "$0")/../../tools/test-runner" && pwd)/count-test-cases.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat >"$work/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.20)
project(outcomes NONE)
enable_testing()
add_test(NAME passes COMMAND true)
add_test(NAME fails COMMAND false)
add_test(NAME program_missing COMMAND /nonexistent/program)
CMAKE
cmake -S "$work" -B "$work/build" >/dev/null
ctest --test-dir "$work/build" >/dev/null 2>&1 || true
got=$("$count" "$work/build/Testing/Temporary/LastTest.log")
want="tests: 1 passed, 2 failed"
if [ "$got" != "$want" ]; then
  echo "count-test-cases.sh says \"$got\", wanted \"$want\""
  exit 1
fi
echo "OK: $got"
