#!/usr/bin/env bash
# Every test: native unit tests, the same under ASan/UBSan, then the Wine tests.
# Exits non-zero when any of them fails.
# Usage: test-all.sh [native] [sanitized] [wine]   (none: all three, in that order)
set -uo pipefail
stages=("$@")
[ ${#stages[@]} -gt 0 ] || stages=(native sanitized wine)
for stage in "${stages[@]}"; do
  case $stage in
    native | sanitized | wine) ;;
    *) echo "usage: $0 [native] [sanitized] [wine]" >&2; exit 2 ;;
  esac
done
cd "$(dirname "$0")/../.." || exit 1
jobs=$(nproc 2>/dev/null || echo 2)
status=0
summary=()
# Only the logs this run writes are counted.
start_stamp=$(mktemp)

step() { # name, then the command
  local name=$1; shift
  echo "==== $name"
  if "$@"; then summary+=("PASS  $name"); else summary+=("FAIL  $name"); status=1; fi
}

native() {
  cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug >/dev/null &&
    cmake --build build/native -j "$jobs" &&
    ctest --test-dir build/native --output-on-failure --no-tests=error
}
sanitized() {
  cmake -S . -B build/native-asan -DCMAKE_BUILD_TYPE=Debug -DDOVREL_SANITIZE=ON >/dev/null &&
    cmake --build build/native-asan -j "$jobs" &&
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
      ctest --test-dir build/native-asan --output-on-failure --no-tests=error
}
# The Wine tests share one prefix (made on first use) and one private display;
# CTest runs the ones that use the prefix one at a time, each with a time limit.
export DOVREL_WINEPREFIX=${DOVREL_WINEPREFIX:-$PWD/build/wine/test}
wine_tests() {
  rm -f build/screenshot-e2e.png # only this run's picture counts
  cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-w64-mingw32.cmake \
    -DCMAKE_BUILD_TYPE=Release >/dev/null &&
    cmake --build build/win32 -j "$jobs" &&
    tools/wine/wine-prefix.sh "$DOVREL_WINEPREFIX" &&
    tools/wine/with-display.sh ctest --test-dir build/win32 --output-on-failure --no-tests=error
}

for stage in "${stages[@]}"; do
  case $stage in
    native) step "native unit tests" native ;;
    sanitized) step "native unit tests under ASan/UBSan" sanitized ;;
    wine) step "Wine tests" wine_tests ;;
  esac
done

echo "==== summary"
printf '%s\n' "${summary[@]}"
if [[ " ${stages[*]} " == *" wine "* ]]; then
  case ${DOVREL_I386_MODE:-$(tools/setup/i386-mode.sh --print)} in
    emulated) echo "Wine tests: mode=emulated (i386 code run through QEMU's user-mode emulation)" ;;
    *) echo "Wine tests: mode=native (i386 code run by the kernel)" ;;
  esac
fi
if [ -f build/screenshot-e2e.png ]; then
  echo "Screenshot of the window under test: $PWD/build/screenshot-e2e.png"
fi
logs=()
for dir in build/native build/native-asan build/win32; do
  log=$dir/Testing/Temporary/LastTest.log
  [ -f "$log" ] && [ "$log" -nt "$start_stamp" ] && logs+=("$log")
done
if [ ${#logs[@]} -gt 0 ]; then
  tools/test-runner/count-test-cases.sh "${logs[@]}"
fi
rm -f "$start_stamp"
exit $status
