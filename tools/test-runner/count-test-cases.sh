#!/usr/bin/env bash
# Counts test cases in CTest logs: every GoogleTest case inside a runner, and
# every other CTest test as one case. A runner that died counts as a failure,
# and so does a test whose program was not found ("Not Run"), which CTest's log
# marks "Test Passed." all the same, with an empty command.
# Usage: count-test-cases.sh LastTest.log... ; prints "tests: P passed, F failed".
awk '
  /^[0-9]+\/[0-9]+ Testing: / { gtest = 0; ok = 0; bad = 0; missing = 0; next }
  /^Command: ""/ { missing = 1 }
  /^\[==========\]/ { gtest = 1 }
  /^\[       OK \] / { ok++ }
  /^\[  FAILED  \] .*\([0-9]+ ms\)$/ { bad++ }
  /^Test (Passed|Failed)/ {
    passed_block = ($0 ~ /^Test Passed/) && !missing
    if (gtest) {
      p += ok; f += bad
      if (!passed_block && bad == 0) f++
    } else if (passed_block) p++; else f++
  }
  END { printf "tests: %d passed, %d failed\n", p, f }
' "$@"
