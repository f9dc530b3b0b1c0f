#!/usr/bin/env bash
# Whether two programs show the same window: starts each in turn in the
# current WINEPREFIX on a private Xvfb display, takes a screenshot once it has
# painted, closes it, and compares the two windows' crops pixel by pixel
# (ImageMagick's compare -metric AE). Used by the benchmark to check that its
# intrinsic window still looks like Dovrel's.
#
# Usage: WINEPREFIX=<made prefix> bench-look.sh WAITER TITLE EXE_A EXE_B OUT_DIR
#   WAITER: a build of tests/wine/fixtures/wait_window.cpp. Both windows carry TITLE.
# Writes OUT_DIR/look-a.png, look-b.png (the crops) and look-diff.png; prints
# the number of differing pixels. Exits 1 when a window cannot be had or the
# two differ in size.
set -uo pipefail
wine=$(cd "$(dirname "$0")/../wine" && pwd)
source "$wine/wine-env.sh"
source "$wine/xvfb.sh"
source "$wine/wine-window.sh"

if [ $# -ne 5 ] || [ -z "${WINEPREFIX:-}" ]; then
  echo "usage: WINEPREFIX=... $0 WAITER TITLE EXE_A EXE_B OUT_DIR" >&2
  exit 2
fi
waiter=$1
title=$2
out=$5
mkdir -p "$out"

cleanup() {
  wine_window_close "$waiter" "$title"
  wineserver -k 2>/dev/null # its desktop lives on the display that goes now
  xvfb_stop
}
xvfb_start || exit 1
trap cleanup EXIT

# shot EXE NAME: the window's crop as OUT_DIR/look-NAME.png; its size in SIZE.
shot() {
  local rect left top width height screen="$out/screen-$2.png"
  wine_window_start "$1"
  if ! rect=$(wine_window_wait "$waiter" "$title" 60000); then
    echo "no window \"$title\" from $1" >&2
    return 1
  fi
  read -r left top width height <<<"$rect"
  sleep 1 # let it finish painting
  wine_window_screenshot "$screen" || return 1
  wine_window_close "$waiter" "$title"
  /usr/bin/convert "$screen" -crop "${width}x${height}+${left}+${top}" +repage "$out/look-$2.png" ||
    return 1
  rm -f "$screen"
  SIZE=${width}x${height}
}

# The desktop first: a program that preloads the window's DLLs (Dovrel) and
# makes a new desktop's first window sometimes shows it without its frame.
wine "$waiter" "$title" 1 >/dev/null 2>&1
shot "$3" a || exit 1
size_a=$SIZE
shot "$4" b || exit 1
size_b=$SIZE
if [ "$size_a" != "$size_b" ]; then
  echo "the windows differ in size: $size_a against $size_b" >&2
  exit 1
fi
# compare prints the count on stderr and exits 1 when the pictures differ.
pixels=$(/usr/bin/compare -metric AE "$out/look-a.png" "$out/look-b.png" "$out/look-diff.png" 2>&1)
[[ "$pixels" =~ ^[0-9]+$ ]] || { echo "compare failed: $pixels" >&2; exit 1; }
echo "$pixels"
