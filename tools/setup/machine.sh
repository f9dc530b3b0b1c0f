# shellcheck shell=bash disable=SC2034
# Sourced by the set-up scripts. The machine's places they read and change, each
# overridable so that the tests can point them at a folder of their own.
binfmt=${DOVREL_SETUP_BINFMT:-/proc/sys/fs/binfmt_misc}
apt_sources=${DOVREL_SETUP_APT_SOURCES:-/etc/apt/sources.list.d}
locks=${DOVREL_SETUP_LOCKS:-/run/lock}
[ -d "$locks" ] || locks=/tmp # a bare chroot has no /run/lock
os_release=${DOVREL_SETUP_OS_RELEASE:-/etc/os-release}

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

# Stops, before anything is changed, where a change needs root and neither root
# nor sudo is at hand, saying in one sentence what to run as root instead.
need_root() { # what needs root, what to do
  [ ${#sudo_cmd[@]} -eq 0 ] || command -v sudo >/dev/null && return 0
  echo "$1 needs root, and this user is not root and has no sudo: $2." >&2
  exit 1
}

# Opens a lock file of $locks on FD, read-only: it may belong to another user, and
# a sticky folder refuses to reopen another's file for writing. Whoever makes it
# first makes it readable by all, whatever their umask: every user's run must open it.
open_lock() { # fd, name
  local file=$locks/$2 error
  if [ ! -e "$file" ] && ! error=$( (umask 022 && set -C && : >"$file") 2>&1) && [ ! -e "$file" ]; then
    echo "Cannot make the lock file $file: ${error##*: }." >&2
    return 1
  fi
  if ! { eval "exec $1<\"\$file\""; } 2>/dev/null; then
    error=$( { : <"$file"; } 2>&1)
    echo "Cannot open the lock file $file: ${error##*: }." >&2
    return 1
  fi
}

# One set-up at a time, whoever runs it: the second waits, then finds the first's
# work done. A script called while its caller holds the lock inherits it.
setup_lock() {
  [ -n "${DOVREL_SETUP_LOCKED:-}" ] && return 0
  open_lock 9 dovrel-setup.lock || exit 1
  if ! flock -n 9; then
    echo "Waiting for another Dovrel set-up to finish ($locks/dovrel-setup.lock)."
    flock 9
  fi
  export DOVREL_SETUP_LOCKED=1
}
setup_unlock() {
  exec 9<&-
  unset DOVREL_SETUP_LOCKED
}
