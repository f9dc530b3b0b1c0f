#!/usr/bin/env bash
# Tries the two commands on a Debian release as a newcomer meets them: a minimal
# tree of RELEASE (debootstrap, from the mirror apt already uses for Debian's own
# archive), and in it an ordinary user with sudo, umask 077, no locale, and a
# clone of this checkout's last commit in a long folder of their home; then
# `make run` and `make test` as that user. --as-root runs them as root with
# C.UTF-8 instead. Whatever it made (the tree, its mounts, its processes, an i386
# rule registered from inside) is removed however it ends, and host i386 rules it
# set aside are put back; the logs and screenshots stay in build/try-RELEASE/,
# owned by whoever called it.
# Usage: tools/fresh-debian/try-release.sh [--as-root] RELEASE    (e.g. trixie; root or sudo, and debootstrap)
set -uo pipefail
as_root=""
if [ "${1:-}" = --as-root ]; then as_root=1; shift; fi
if [ $# -ne 1 ]; then
  echo "usage: $0 [--as-root] RELEASE" >&2
  exit 2
fi
release=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$root/build/try-$release
if [ "$(id -u)" -ne 0 ]; then exec sudo -- "$0" ${as_root:+--as-root} "$@"; fi
# The tree is a system: its files readable by all, whatever the caller's umask
# (sudo keeps it).
umask 022
command -v debootstrap >/dev/null || { echo "debootstrap is missing: apt-get install debootstrap" >&2; exit 1; }
owner=${SUDO_UID:-0}:${SUDO_GID:-0}
binfmt=/proc/sys/fs/binfmt_misc
user=dev
# A user's checkout as many have it: deep in their home, over 80 characters.
checkout=/home/$user/src/windows-xp-utilities/powerpoint-viewer-file-associations/a-rather-long-folder-name/dovrel
[ -n "$as_root" ] && checkout=/root/dovrel

# Debian's own archive as apt reaches it here; never a CD or another vendor's.
# shellcheck disable=SC2016 # apt's own placeholders
mirror=$(apt-get indextargets --format '$(TARGET_OF)|$(ORIGIN)|$(REPO_URI)' 2>/dev/null |
  awk -F'|' '$1 == "deb" && $2 == "Debian" && $3 !~ /^cdrom:/ && $3 !~ /-security/ { print $3; exit }')
mirror=${mirror:-http://deb.debian.org/debian/}

i386_rules() { grep -l '^magic 7f454c4601010100000000000000000002000300$' "$binfmt"/* 2>/dev/null | sort; }
# The line that registers a rule again as /proc shows it (magic rules only).
rule_line() { # rule file
  awk -v name="${1##*/}" '
    function hex(s,  out, i) { for (i = 1; i < length(s); i += 2) out = out "\\x" substr(s, i, 2); return out }
    $1 == "interpreter" { interpreter = $2 } $1 == "flags:" { flags = $2 } $1 == "offset" { offset = $2 }
    $1 == "magic" { magic = hex($2) } $1 == "mask" { mask = hex($2) }
    END { printf ":%s:M:%s:%s:%s:%s:%s\n", name, offset, magic, mask, interpreter, flags }' "$1"
}
mkdir -p "$out" && chown "$owner" "$root/build" "$out" || exit 1
# The rules are the kernel's, one set for the host and the tree: seen from here
# before and after, so that what the tree registered can be told and removed.
binfmt_mounted=""
if [ ! -e "$binfmt/register" ] && mount -t binfmt_misc binfmt_misc "$binfmt"; then binfmt_mounted=1; fi
tree=$(mktemp -d /var/tmp/dovrel-try-"$release".XXXXXX) && chmod 0755 "$tree" || exit 1
set_aside=() # "enabled|line" or "disabled|line"
rules_before=""
rules_seen=""

mounted_under_tree() { findmnt -rn -o TARGET | grep -F "$tree/" | sort -r; }
cleanup() {
  local status=$? pid rule target line state name
  trap '' INT TERM HUP
  for pid in /proc/[0-9]*; do # Xvfb, wineserver and the like, left running inside
    [ "$(readlink "$pid/root" 2>/dev/null)" = "$tree" ] && kill -9 "${pid#/proc/}" 2>/dev/null
  done
  sleep 1
  for target in $(mounted_under_tree); do umount "$target" 2>/dev/null || umount -l "$target"; done
  if [ -n "$(mounted_under_tree)" ]; then
    echo "try-release: still mounted under $tree, so it is kept:" >&2
    mounted_under_tree >&2
    status=1
  else
    rm -rf --one-file-system "$tree"
  fi
  # A rule the set-up registered from inside outlives the tree: not for the host.
  [ -n "$rules_seen" ] && for rule in $(comm -13 <(echo "$rules_before") <(i386_rules)); do
    echo -1 >"$rule" && echo "try-release: removed the binfmt_misc rule ${rule##*/} registered inside the tree."
  done
  for line in "${set_aside[@]}"; do
    state=${line%%|*} line=${line#*|}
    name=${line#:} name=${name%%:*}
    if echo "$line" >"$binfmt/register" && { [ "$state" = enabled ] || echo 0 >"$binfmt/$name"; }; then
      echo "try-release: put the host's binfmt_misc rule back ($state): $line"
    else
      echo "try-release: could not put the host's binfmt_misc rule back; as root: echo '$line' > $binfmt/register" >&2
      status=1
    fi
  done
  [ -z "$binfmt_mounted" ] || umount "$binfmt"
  chown -R "$owner" "$out"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

# The host's own i386 rules would run the tree's Wine on the host's QEMU, a
# mix no user has: set aside for the run, so that the tree sets up its own
# where the kernel runs no i386 code. (A forced rule is another run's: kept.)
for rule in $(i386_rules); do
  [ "${rule##*/}" = qemu-i386-forced ] && continue
  line="$(head -n1 "$rule")|$(rule_line "$rule")"
  echo -1 >"$rule" || exit 1
  set_aside+=("$line")
  echo "try-release: set aside the host's binfmt_misc rule ${rule##*/} for the run."
done
rules_before=$(i386_rules)
rules_seen=1

rm -f "$out"/*
echo "Making a Debian $release tree in $tree from $mirror ..."
started=$(date +%s)
debootstrap --variant=minbase --include=git,make,ca-certificates,sudo,passwd "$release" "$tree" "$mirror" \
  >"$out/debootstrap.log" 2>&1 || { tail -n 20 "$out/debootstrap.log"; exit 1; }
echo "  took $(($(date +%s) - started)) s"
cp /etc/resolv.conf "$tree/etc/resolv.conf"
cp /etc/hosts "$tree/etc/hosts"
mount -t proc proc "$tree/proc"
mount --rbind /sys "$tree/sys" && mount --make-rslave "$tree/sys"
mount --rbind /dev "$tree/dev" && mount --make-rslave "$tree/dev"
# As on a booted machine, the kernel's binfmt_misc is mounted where it is here.
mount -t binfmt_misc binfmt_misc "$tree$binfmt"

# The last commit, handed over as a repository the tree's user owns and clones.
git clone -q --bare --no-local "$root" "$tree/var/tmp/dovrel.git" || exit 1
commit=$(git -C "$tree/var/tmp/dovrel.git" rev-parse --short HEAD)
if [ -n "$as_root" ]; then
  as=(/usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin bash -c)
  who="root, C.UTF-8"
else
  chroot "$tree" useradd --create-home --shell /bin/bash "$user" || exit 1
  echo "$user ALL=(ALL) NOPASSWD: ALL" >"$tree/etc/sudoers.d/$user" && chmod 0440 "$tree/etc/sudoers.d/$user"
  chroot "$tree" chown -R "$user:" /var/tmp/dovrel.git
  # Debian's PATH for users (no sbin), no locale variable at all, umask 077.
  as=(/usr/bin/setpriv --reuid="$user" --regid="$user" --init-groups
    /usr/bin/env -i "HOME=/home/$user" "USER=$user" "LOGNAME=$user" SHELL=/bin/bash TERM=dumb
    PATH=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games bash -c)
  who="$user (sudo, umask 077, no locale, in a ${#checkout}-character path)"
fi
inside() { # log name, command: runs it in the tree's clone, timed
  local started status
  echo "==== $2 (Debian $release, commit $commit, as $who; log $out/$1.log)"
  started=$(date +%s)
  chroot "$tree" "${as[@]}" "umask 077; cd $checkout && $2" >"$out/$1.log" 2>&1
  status=$?
  times+=("$2: $(($(date +%s) - started)) s, exit status $status")
  return $status
}
chroot "$tree" "${as[@]}" "umask 077; git clone -q /var/tmp/dovrel.git $checkout" || exit 1
times=()
inside run "make run"; run_status=$?
inside test "make test"; test_status=$?
cp "$tree$checkout"/build/screenshot*.png "$out/" 2>/dev/null
owned_by_others=$(find "$tree$checkout" ! -user "$(stat -c %u "$tree$checkout")" -printf '%u %p\n' | head -n 5)

echo "==== Debian $release, commit $commit, as $who"
printf '%s\n' "${times[@]}"
# (A set-up row that fails prints its stand-ins' "i386 emulation:" lines too.)
grep -h -E '^(SHA-256 of|Screenshot|i386 emulation:)' "$out/run.log"
grep -h -E '^(Screenshot|Wine tests: mode=|tests: )' "$out/test.log"
ran_on=natively
for rule in $(i386_rules); do ran_on="through the rule ${rule##*/}: $(grep '^interpreter' "$rule")"; done
echo "i386 code ran $ran_on"
tail -n 5 "$out/run.log" | grep -v '^SHA-256' | sed 's/^/run: /'
if [ -n "$owned_by_others" ]; then
  echo "In the checkout, owned by another user:"
  echo "$owned_by_others"
fi
[ "$run_status" -eq 0 ] && [ "$test_status" -eq 0 ] && [ -z "$owned_by_others" ]
