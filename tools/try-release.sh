#!/usr/bin/env bash
# Tries the two commands on another Debian release as a new user meets them: a
# minimal Debian tree of RELEASE (debootstrap, from the mirror apt already uses
# for Debian's own archive), a fresh clone of this checkout's last commit in it,
# then `make run` and `make test` there. Whatever it made (the tree, its mounts,
# its processes, an i386 rule registered from inside) is removed however it ends;
# the logs and screenshots stay in build/try-RELEASE/.
# Usage: tools/try-release.sh RELEASE     (e.g. trixie; needs root or sudo, and debootstrap)
set -uo pipefail
if [ $# -ne 1 ]; then
  echo "usage: $0 RELEASE" >&2
  exit 2
fi
release=$1
if [ "$(id -u)" -ne 0 ]; then exec sudo -- "$0" "$@"; fi
command -v debootstrap >/dev/null || { echo "debootstrap is missing: apt-get install debootstrap" >&2; exit 1; }
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/build/try-$release
binfmt=/proc/sys/fs/binfmt_misc

# Debian's own archive as apt reaches it here; never a CD or another vendor's.
mirror=$(apt-get indextargets --format '$(TARGET_OF)|$(ORIGIN)|$(REPO_URI)' 2>/dev/null |
  awk -F'|' '$1 == "deb" && $2 == "Debian" && $3 !~ /^cdrom:/ && $3 !~ /-security/ { print $3; exit }')
mirror=${mirror:-http://deb.debian.org/debian/}

i386_rules() { grep -l '^magic 7f454c4601010100000000000000000002000300$' "$binfmt"/* 2>/dev/null | sort; }
# The rules are the kernel's, one set for the host and the tree: seen from here
# before and after, so that what the tree registered can be told and removed.
binfmt_mounted=""
if [ ! -e "$binfmt/register" ] && mount -t binfmt_misc binfmt_misc "$binfmt"; then binfmt_mounted=1; fi
rules_before=$(i386_rules)
tree=$(mktemp -d /var/tmp/dovrel-try-"$release".XXXXXX) || exit 1

mounted_under_tree() { findmnt -rn -o TARGET | grep -F "$tree/" | sort -r; }
cleanup() {
  local status=$? pid rule target
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
  for rule in $(comm -13 <(echo "$rules_before") <(i386_rules)); do
    echo -1 >"$rule" && echo "try-release: removed the binfmt_misc rule ${rule##*/} registered inside the tree."
  done
  [ -z "$binfmt_mounted" ] || umount "$binfmt"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

mkdir -p "$out"
rm -f "$out"/*
echo "Making a Debian $release tree in $tree from $mirror ..."
started=$(date +%s)
debootstrap --variant=minbase --include=git,make,ca-certificates,sudo "$release" "$tree" "$mirror" \
  >"$out/debootstrap.log" 2>&1 || { tail -n 20 "$out/debootstrap.log"; exit 1; }
echo "  took $(($(date +%s) - started)) s"
cp /etc/resolv.conf "$tree/etc/resolv.conf"
mount -t proc proc "$tree/proc"
mount --rbind /sys "$tree/sys" && mount --make-rslave "$tree/sys"
mount --rbind /dev "$tree/dev" && mount --make-rslave "$tree/dev"
# As on a booted machine, the kernel's binfmt_misc is mounted where it is here.
mount -t binfmt_misc binfmt_misc "$tree$binfmt"
git clone -q "$root" "$tree/root/dovrel" || exit 1
commit=$(git -C "$tree/root/dovrel" rev-parse --short HEAD)

inside() { # log name, command: runs it in the tree's clone, timed
  local started status
  echo "==== $2 (Debian $release, commit $commit; log $out/$1.log)"
  started=$(date +%s)
  chroot "$tree" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    bash -c "cd /root/dovrel && $2" >"$out/$1.log" 2>&1
  status=$?
  times+=("$2: $(($(date +%s) - started)) s, exit status $status")
  return $status
}
times=()
inside run "make run"; run_status=$?
inside test "make test"; test_status=$?
cp "$tree"/root/dovrel/build/screenshot*.png "$out/" 2>/dev/null

echo "==== Debian $release, commit $commit"
printf '%s\n' "${times[@]}"
grep -h -E '^(SHA-256 of|Screenshot|i386 emulation:|Wine tests: mode=|tests: )' "$out/run.log" "$out/test.log"
tail -n 5 "$out/run.log" | grep -v '^SHA-256' | sed 's/^/run: /'
[ "$run_status" -eq 0 ] && [ "$test_status" -eq 0 ]
