#!/usr/bin/env bash
# Passes only when COMMAND reports a failure (exit status 1) and its output
# contains every TEXT: proves that a check can fail, and fails for the reason
# it should. Texts match across line breaks: CMake and others wrap a long
# message at a column, so where a line breaks depends on the paths in it.
# Usage: expect_failure.sh TEXT... -- COMMAND [ARG...]
set -uo pipefail
texts=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do texts+=("$1"); shift; done
if [ $# -lt 2 ] || [ ${#texts[@]} -eq 0 ]; then
  echo "usage: $0 TEXT... -- COMMAND [ARG...]" >&2
  exit 2
fi
shift
output=$("$@" 2>&1)
status=$?
printf '%s\n' "$output"
if [ "$status" -ne 1 ]; then
  echo "expected exit status 1 (a reported failure), got $status"
  exit 1
fi
one_line() { printf '%s' "$1" | tr -s '[:space:]' ' '; }
flat=$(one_line "$output")
for text in "${texts[@]}"; do
  if [[ "$flat" != *"$(one_line "$text")"* ]]; then
    echo "expected the output to contain: $text"
    exit 1
  fi
done
echo "failed as expected"
