#!/usr/bin/env bash
# Runs a command with a private Xvfb display and stops the test prefix's Wine
# server afterwards, so nothing is left running.
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
source "$(dirname "$0")/xvfb.sh"
xvfb_start || exit 1
"$@"
rc=$?
WINEPREFIX=${DOVREL_WINEPREFIX:-$DOVREL_ROOT/build/wine/test} wineserver -k 2>/dev/null
xvfb_stop
exit $rc
