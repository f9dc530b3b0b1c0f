# Sourced: the Wine settings every script here shares.
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="
DOVREL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export DOVREL_ROOT
# Wine makes Unix file names from Windows ones in the locale's character set:
# without a UTF-8 locale (none at all, as from cron, a container or many ssh
# logins) a name outside ASCII cannot be made. A UTF-8 locale of the caller's
# own is kept as it is.
if [ "$(locale charmap 2>/dev/null)" != UTF-8 ]; then
  export LC_ALL=C.UTF-8
fi
