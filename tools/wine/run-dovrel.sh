#!/usr/bin/env bash
# Starts Dovrel.exe in a Windows XP SP3 Wine prefix of its own (build/wine/run).
# With a display it runs until the user closes it. Without one it runs under a
# private Xvfb: saves a screenshot (build/screenshot.png), prints its path and
# closes the program again. Nothing is left running either way. What Wine
# itself says goes to build/run.log (WINEDEBUG=err+all for more than nothing).
# To try another build: DOVREL_BUILD_DIR, DOVREL_RUN_PREFIX, DOVREL_SCREENSHOT, DOVREL_RUN_LOG.
set -uo pipefail
tools=$(cd "$(dirname "$0")" && pwd)
source "$tools/wine-env.sh"
source "$tools/xvfb.sh"
source "$tools/wine-window.sh"

build=${DOVREL_BUILD_DIR:-$DOVREL_ROOT/build/win32}
exe=$build/Dovrel.exe
screenshot=${DOVREL_SCREENSHOT:-$DOVREL_ROOT/build/screenshot.png}
title="Dovrel for Windows XP"
log=${DOVREL_RUN_LOG:-$DOVREL_ROOT/build/run.log}
export WINEPREFIX=${DOVREL_RUN_PREFIX:-$DOVREL_ROOT/build/wine/run}

if [ ! -f "$exe" ]; then
  echo "No $exe: build it first (make exe)." >&2
  exit 1
fi
"$tools/wine-prefix.sh" "$WINEPREFIX" || exit 1
: >"$log"

if [ -n "${DISPLAY:-}" ]; then
  wine "$exe" 2>"$log"
  rc=$?
  wineserver -k 2>/dev/null
  exit $rc
fi

waiter=$build/tests/wine/fixtures/wait_window.exe
cmake --build "$build" --target wait_window >/dev/null || exit 1

cleanup() {
  wine_window_close "$waiter" "$title"
  wineserver -k 2>/dev/null
  xvfb_stop
}
xvfb_start || exit 1
trap cleanup EXIT

wine_window_start "$exe" "$log"
if ! rect=$(wine_window_wait "$waiter" "$title" 60000); then
  echo "The window \"$title\" did not appear. What Wine said: $log" >&2
  exit 1
fi
sleep 1 # let it finish painting
wine_window_screenshot "$screenshot" || exit 1
echo "Window \"$title\" shown at $rect (left top width height)."
echo "Screenshot: $(realpath "$screenshot")"
