# Sourced: the Wine settings every script here shares.
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="
DOVREL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export DOVREL_ROOT
