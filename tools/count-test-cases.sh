#!/usr/bin/env bash
# Counts test cases in CTest logs: every GoogleTest case inside a runner, and
# every other CTest test as one case. A runner that died counts as a failure.
# Usage: count-test-cases.sh LastTest.log... ; prints "tests: P passed, F failed".
awk '
  /^[0-9]+\/[0-9]+ Testing: / { gtest = 0; ok = 0; bad = 0; next }
  /^\[==========\]/ { gtest = 1 }
  /^\[       OK \] / { ok++ }
  /^\[  FAILED  \] .*\([0-9]+ ms\)$/ { bad++ }
  /^Test (Passed|Failed)/ {
    passed_block = ($0 ~ /^Test Passed/)
    if (gtest) {
      p += ok; f += bad
      if (!passed_block && bad == 0) f++
    } else if (passed_block) p++; else f++
  }
  END { printf "tests: %d passed, %d failed\n", p, f }
' "$@"
