# Sourced: starts and stops a private Xvfb display for this script.
# Xvfb picks a free display number itself (-displayfd), so scripts started at
# the same time never end up sharing one.
xvfb_start() {
  local dir n
  dir=$(mktemp -d) || return 1
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$dir/display" >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 1 100); do
    n=$(head -n1 "$dir/display" 2>/dev/null)
    if [ -n "$n" ] && [ -e "/tmp/.X11-unix/X$n" ]; then
      rm -rf "$dir"
      export DISPLAY=":$n"
      return 0
    fi
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  rm -rf "$dir"
  xvfb_stop
  echo "could not start Xvfb" >&2
  return 1
}
xvfb_stop() {
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
  fi
}
