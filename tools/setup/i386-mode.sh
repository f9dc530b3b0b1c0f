#!/usr/bin/env bash
# Wine runs 32-bit x86 (i386) programs. Where the kernel runs them itself, Wine
# runs natively; where it does not (IA-32 emulation off, or not an x86 host),
# every i386 program is routed through QEMU's user-mode emulator by a
# binfmt_misc rule, and the Wine server runs natively (wine64). Call this before
# any Wine prefix is made.
#
# Usage: i386-mode.sh [COMMAND [ARG...]]
#   Finds the mode, sets up the emulation where it is needed, prints nothing more
#   when the mode is native, and runs COMMAND with DOVREL_I386_MODE=native or
#   emulated. DOVREL_I386_MODE=emulated forces the emulation on a machine that
#   runs i386 code: the rule this run registers is removed again when COMMAND ends.
# Usage: i386-mode.sh --print    prints the mode in force, sets up nothing.
set -uo pipefail
tools=$(cd "$(dirname "$0")" && pwd)
binfmt=/proc/sys/fs/binfmt_misc
rule_name=qemu-i386
# The i386 ELF header QEMU's own rules match: executables and shared objects.
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

# An enabled binfmt_misc rule for i386 ELF files, whoever registered it.
emulation_rule() {
  local rule
  for rule in "$binfmt"/*; do
    [ -f "$rule" ] && head -n1 "$rule" 2>/dev/null | grep -qx enabled || continue
    grep -q '^magic 7f454c4601010100000000000000000002000300$' "$rule" && { echo "$rule"; return 0; }
  done
  return 1
}

# Whether the kernel runs an i386 program: a 93-byte one that exits with 42.
runs_i386() {
  local dir probe status elf
  elf='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00'
  elf+='\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00'
  elf+='\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'
  elf+='\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
  elf+='\x31\xc0\x40\x31\xdb\xb3\x2a\xcd\x80' # eax = 1 (exit), ebx = 42, int 0x80
  # The build folder first: a temporary folder may be mounted noexec.
  mkdir -p "$tools/../build" 2>/dev/null
  dir=$(mktemp -d "$tools/../build/i386-probe.XXXXXX" 2>/dev/null || mktemp -d) || return 1
  probe=$dir/probe
  printf "$elf" >"$probe" && chmod +x "$probe" && "$probe" 2>/dev/null
  status=$?
  rm -rf "$dir"
  [ "$status" -eq 42 ]
}

current_mode() {
  if emulation_rule >/dev/null; then echo emulated; elif runs_i386; then echo native; else echo none; fi
}

if [ "${1:-}" = --print ]; then
  current_mode
  exit 0
fi

stop() {
  echo "Wine cannot run here: $1" >&2
  exit 1
}

# Registers QEMU for i386 programs; F: the kernel opens the emulator now, so the
# rule holds in every mount namespace.
register_rule() {
  local qemu
  qemu=$(command -v qemu-i386-static || command -v qemu-i386) ||
    stop "no qemu-i386 after installing it. Install QEMU's user-mode emulator, version 10 or later."
  QEMU_VERSION=$("$qemu" --version | sed -n 's/.*version \([0-9.]*\).*/\1/p;q')
  [ "${QEMU_VERSION%%.*}" -ge 10 ] 2>/dev/null ||
    stop "$qemu is version ${QEMU_VERSION:-unknown}; Wine programs need QEMU 10 or later."
  if [ ! -e "$binfmt/register" ]; then
    "${sudo_cmd[@]}" mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null ||
      stop "the kernel's binfmt_misc cannot be mounted at $binfmt (needs root and a kernel with binfmt_misc), so QEMU cannot be registered for i386 programs."
  fi
  printf ':%s:M::%s:%s:%s:F\n' "$rule_name" "$magic" "$mask" "$qemu" | "${sudo_cmd[@]}" tee "$binfmt/register" >/dev/null ||
    stop "the binfmt_misc rule for $qemu could not be registered."
  REGISTERED="$qemu"
}

unregister_rule() { echo -1 | "${sudo_cmd[@]}" tee "$binfmt/$rule_name" >/dev/null; }

if [ "$(id -u)" -ne 0 ] && ! command -v sudo >/dev/null; then
  need_root="not root, and no sudo"
fi

mode=$(current_mode)
forced=""
if [ "${DOVREL_I386_MODE:-}" = emulated ] && [ "$mode" = native ]; then forced=1; fi
REGISTERED=""
if [ "$mode" = none ] || [ -n "$forced" ]; then
  what_missing="this kernel runs no i386 programs"
  [ -n "$forced" ] && what_missing="emulation forced with DOVREL_I386_MODE=emulated"
  advice="As root, run $0 once (it installs QEMU and wine64 and registers the emulator), then this command again."
  [ -n "$forced" ] && advice="Run this command as root."
  [ -z "${need_root:-}" ] || stop "$what_missing, and setting up QEMU's emulation needs root ($need_root). $advice"
  "$tools/install-deps.sh" emulation || stop "the emulation packages could not be installed."
  register_rule
  lasting="until reboot"
  [ -n "$forced" ] && lasting="until this command ends"
  echo "i386 emulation: $what_missing; registered $REGISTERED (QEMU $QEMU_VERSION, from the" \
    "distribution's packages, with wine64 for a native Wine server) with binfmt_misc $lasting;" \
    "Wine tests now run emulated, slower."
  mode=emulated
elif [ "$mode" = emulated ]; then
  # An earlier run set it up: the 64-bit server is still needed.
  "$tools/install-deps.sh" emulation || stop "the emulation packages could not be installed."
fi

[ $# -eq 0 ] && exit 0
export DOVREL_I386_MODE=$mode
if [ -z "$forced" ]; then exec "$@"; fi
"$@"
status=$?
unregister_rule && echo "i386 emulation: the binfmt_misc rule $rule_name is removed again."
exit $status
