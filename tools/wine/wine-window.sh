# Sourced: start a Windows program in the current WINEPREFIX, wait for its
# window, take a screenshot of the display, close the program. Needs the
# wait_window helper (tests/wine/fixtures) built for the same prefix.

# wine_window_start EXE [LOG]: starts it in the background, Wine's messages to
# LOG (default: none); WINE_WINDOW_PID is its pid.
wine_window_start() {
  wine "$1" >/dev/null 2>>"${2:-/dev/null}" &
  WINE_WINDOW_PID=$!
}

# wine_window_wait WAITER TITLE TIMEOUT_MS: prints "left top width height".
wine_window_wait() {
  wine "$1" "$2" "$3" 2>/dev/null | tr -d '\r'
  return "${PIPESTATUS[0]}"
}

# wine_window_screenshot FILE: the whole display, as a PNG.
wine_window_screenshot() {
  mkdir -p "$(dirname "$1")"
  # The system's ImageMagick: another "import" may come first in PATH.
  /usr/bin/import -display "$DISPLAY" -window root "$1"
}

# wine_window_close WAITER TITLE: closes the window as its close button does,
# then makes sure the program has ended.
wine_window_close() {
  [ -n "${WINE_WINDOW_PID:-}" ] || return 0
  wine "$1" "$2" 5000 close >/dev/null 2>&1 || true
  local _
  for _ in $(seq 1 100); do
    kill -0 "$WINE_WINDOW_PID" 2>/dev/null || break
    sleep 0.1
  done
  kill "$WINE_WINDOW_PID" 2>/dev/null || true
  wait "$WINE_WINDOW_PID" 2>/dev/null || true
  WINE_WINDOW_PID=""
}
