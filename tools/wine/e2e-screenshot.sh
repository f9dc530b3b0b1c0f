#!/usr/bin/env bash
# A screenshot of Dovrel.exe running in the test prefix (DOVREL_WINEPREFIX,
# default build/wine/test), for people to look at after a test run.
# Usage: e2e-screenshot.sh DOVREL_EXE WAIT_WINDOW_EXE OUTPUT_PNG
set -uo pipefail
if [ $# -ne 3 ]; then
  echo "usage: $0 DOVREL_EXE WAIT_WINDOW_EXE OUTPUT_PNG" >&2
  exit 2
fi
tools=$(cd "$(dirname "$0")" && pwd)
source "$tools/wine-env.sh"
source "$tools/xvfb.sh"
source "$tools/wine-window.sh"
exe=$1
waiter=$2
out=$3
title="Dovrel for Windows XP"
export WINEPREFIX=${DOVREL_WINEPREFIX:-$DOVREL_ROOT/build/wine/test}
"$tools/wine-prefix.sh" "$WINEPREFIX" || exit 1

own_display=""
cleanup() {
  wine_window_close "$waiter" "$title"
  if [ -n "$own_display" ]; then
    wineserver -k 2>/dev/null # its desktop lives on the display that goes now
    xvfb_stop
  fi
}
if [ -z "${DISPLAY:-}" ]; then
  xvfb_start || exit 1
  own_display=1
fi
trap cleanup EXIT

wine_window_start "$exe"
if ! rect=$(wine_window_wait "$waiter" "$title" 60000); then
  echo "The window \"$title\" did not appear."
  exit 1
fi
sleep 1 # let it finish painting
wine_window_screenshot "$out" || exit 1
echo "Screenshot of the window at $rect: $(realpath "$out")"
