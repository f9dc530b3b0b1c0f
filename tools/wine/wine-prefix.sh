#!/usr/bin/env bash
# Makes (once for each Wine version) a 32-bit Wine prefix that reports Windows
# XP SP3, with a virtual desktop so windows close promptly and frames are drawn.
# Safe to call from several scripts at once: the second waits for the first.
# Usage: wine-prefix.sh DIR
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
prefix=$(realpath -m "$1")
stamp="$prefix/.dovrel-ready"
# Another Wine would update the prefix on its first start, and Wine 10's update
# makes it report Windows 10 again: a prefix is made anew for each version.
wine_version=$(wine --version 2>/dev/null) || wine_version=unknown
ready() { [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$wine_version" ]; }
ready && exit 0

mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
ready && exit 0 # made by whoever held the lock before us

rm -rf "$prefix"
export WINEPREFIX="$prefix"
echo "Creating Wine prefix $prefix ..."
own_display=""
if [ -z "${DISPLAY:-}" ]; then
  own_display=1
  source "$(dirname "$0")/xvfb.sh"
  xvfb_start
fi
trap '[ -n "$own_display" ] && xvfb_stop; echo "Could not make the Wine prefix $prefix" >&2' ERR

wineboot -i >/dev/null 2>&1 || true
wineserver -w

nt='HKLM\Software\Microsoft\Windows NT\CurrentVersion'
wine reg add "$nt" /v CurrentVersion /d 5.1 /f >/dev/null 2>&1
wine reg add "$nt" /v CurrentBuildNumber /d 2600 /f >/dev/null 2>&1
wine reg add "$nt" /v CSDVersion /d "Service Pack 3" /f >/dev/null 2>&1
# Wine 10 reads these before CurrentVersion, and sets them to 10.0.
wine reg delete "$nt" /v CurrentMajorVersionNumber /f >/dev/null 2>&1 || true
wine reg delete "$nt" /v CurrentMinorVersionNumber /f >/dev/null 2>&1 || true
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
# A crashing test program must fail at once, not wait behind a crash dialog.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
wine reg delete 'HKCU\Software\Wine' /v Version /f >/dev/null 2>&1 || true
wineserver -w
if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
  cp /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/" || true
fi
told=$(wine cmd /c ver 2>/dev/null | tr -d '\r' | grep -m1 .) || told=""
if [[ "$told" != *" 5.1.2600" ]]; then
  echo "The Wine prefix $prefix reports \"${told:-nothing}\", not Windows XP (5.1.2600)." >&2
  false
fi
trap - ERR
[ -n "$own_display" ] && xvfb_stop
echo "$wine_version" >"$stamp"
