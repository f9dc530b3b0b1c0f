# shellcheck shell=bash
# Sourced by the stand-ins: the calls log, and what every change to the machine
# must have. A call line that ends in "!! ..." is a fault every row fails on.

log() { echo "$*" >>"$STATE/calls"; }

# The stand-ins' root: uid 0 by the row's identity, or through the sudo stand-in.
as_root() { [ "$AS_UID" = 0 ]; }

# Whether nobody holds the set-up lock: a lock of our own on it is granted (and
# let go with the descriptor when flock ends).
setup_lock_free() {
  local file=$STATE/locks/dovrel-setup.lock
  [ ! -e "$file" ] || "$SYS/flock" -n -x 3 3<"$file"
}

# " !! holds FILE..." when this process has a lock file open: a process the
# command leaves running would hold the lock.
held_locks() {
  local fd target held=""
  for fd in /proc/$$/fd/*; do
    target=$(readlink "$fd") || continue
    [[ $target == "$STATE/locks/"* ]] && held+=" ${target##*/}"
  done
  [ -z "$held" ] || echo " !! holds$held"
}

# Logs a call that changes the machine; refuses it (as the system would) when not
# made as root; marks it when made without the set-up lock.
change() { # call line
  if ! as_root; then
    log "$* !! refused: not root"
    echo "${0##*/}: Permission denied (not root)" >&2
    return 1
  fi
  if setup_lock_free; then log "$* !! without the set-up lock"; else log "$*"; fi
}
