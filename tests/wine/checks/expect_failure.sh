#!/usr/bin/env bash
# Passes only when COMMAND reports a failure (exit status 1) and its output
# contains every TEXT: proves that a check can fail, and fails for the reason
# it should.
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
for text in "${texts[@]}"; do
  if ! grep -qF -- "$text" <<<"$output"; then
    echo "expected the output to contain: $text"
    exit 1
  fi
done
echo "failed as expected"
