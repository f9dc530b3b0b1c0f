#!/usr/bin/env bash
# Checks that a program takes the current directory out of its DLL search: its
# first call of SetDllDirectoryW must pass an empty text. On XP a null pointer
# puts the current directory back; Wine's loader keeps it either way and answers
# GetDllDirectoryW alike for both, so the call itself is read, from Wine's relay
# trace of that one function (which, unlike a debugger's breakpoint, works
# under QEMU's emulation too). Runs in the test prefix (DOVREL_WINEPREFIX).
# Usage: check-dll-directory.sh EXE
set -uo pipefail
if [ $# -ne 1 ]; then
  echo "usage: $0 EXE" >&2
  exit 2
fi
wine=$(cd "$(dirname "$0")/../wine" && pwd)
source "$wine/wine-env.sh"
source "$wine/xvfb.sh"
export WINEPREFIX=${DOVREL_WINEPREFIX:-$DOVREL_ROOT/build/wine/test}
"$wine/wine-prefix.sh" "$WINEPREFIX" || exit 1

debug_key='HKCU\Software\Wine\Debug'
trace=$(mktemp)
pid=""
cleanup() {
  [ -n "$pid" ] && { kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; }
  wine reg delete "$debug_key" /v RelayInclude /f >/dev/null 2>&1
  [ -n "$own_display" ] && { wineserver -k 2>/dev/null; xvfb_stop; }
  rm -f "$trace"
}
own_display=""
if [ -z "${DISPLAY:-}" ]; then
  xvfb_start || exit 1
  own_display=1
fi
trap cleanup EXIT
# Without the restriction the trace holds every call the program makes.
wine reg add "$debug_key" /v RelayInclude /d SetDllDirectoryW /f >/dev/null 2>&1 || exit 1

WINEDEBUG=-all,+relay wine "$1" >/dev/null 2>"$trace" &
pid=$!
pattern='Call [A-Za-z0-9]*\.SetDllDirectoryW([^)]*)'
call=""
for _ in $(seq 1 600); do # a minute: Wine starts slowly under emulation
  ended=""
  kill -0 "$pid" 2>/dev/null || ended=1
  call=$(grep -m1 -o "$pattern" "$trace")
  if [ -n "$call" ] || [ -n "$ended" ]; then break; fi
  sleep 0.1
done

case "$call" in
  *'(00000000)') given="a null pointer" ;;
  *' L"")') given="an empty text" ;;
  "") given="no call" ;;
  *) given="a folder" ;;
esac
echo "First SetDllDirectoryW call: ${call:-none}"
if [ "$given" != "an empty text" ]; then
  echo "WRONG DLL DIRECTORY: $given, wanted an empty text"
  exit 1
fi
echo "The current directory is out of the DLL search."
