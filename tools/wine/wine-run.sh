#!/usr/bin/env bash
# Runs a Windows program of this build under Wine, in the test prefix
# (DOVREL_WINEPREFIX, default build/wine/test). Used by CTest for every
# cross-built test. Starts a private Xvfb when there is no display.
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
export WINEPREFIX=${DOVREL_WINEPREFIX:-$DOVREL_ROOT/build/wine/test}
"$(dirname "$0")/wine-prefix.sh" "$WINEPREFIX" || exit 1
own=""
if [ -z "${DISPLAY:-}" ]; then
  source "$(dirname "$0")/xvfb.sh"
  xvfb_start || exit 1
  own=1
fi
wine "$@"
rc=$?
if [ -n "$own" ]; then
  wineserver -k 2>/dev/null
  xvfb_stop
fi
exit $rc
