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
#   runs i386 code, with a rule that the last run using it removes when it ends.
# Usage: i386-mode.sh --print    prints the mode in force, sets up nothing.
set -uo pipefail
setup=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tools/setup/machine.sh
. "$setup/machine.sh"
rule_name="qemu-i386"
forced_rule="qemu-i386-forced"
# The i386 ELF header QEMU's own rules match: executables and shared objects
# (ELF type 2 or 3), whatever the OS ABI byte; not objects, not core dumps.
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

# An enabled binfmt_misc rule for i386 ELF files, whoever registered it, while
# binfmt_misc itself is not switched off.
emulation_rule() {
  local rule
  [ "$(cat "$binfmt/status" 2>/dev/null)" != disabled ] || return 1
  for rule in "$binfmt"/*; do
    [ -f "$rule" ] && head -n1 "$rule" 2>/dev/null | grep -qx enabled || continue
    grep -q '^magic 7f454c4601010100000000000000000002000300$' "$rule" && { echo "$rule"; return 0; }
  done
  return 1
}

# Runs an i386 program (a 93-byte one that exits with 42) and sets probe_result:
# "runs", "refused" when the kernel refuses the format (ENOEXEC), else "failed";
# probe_status, probe_reason and probe_place (the folder it ran in) say why and
# where. probe_dir names its folder while it exists, for an interrupted run to remove.
probe_i386() {
  local parent dir probe status reason elf
  elf='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00'
  elf+='\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00'
  elf+='\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'
  elf+='\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
  elf+='\x31\xc0\x40\x31\xdb\xb3\x2a\xcd\x80' # eax = 1 (exit), ebx = 42, int 0x80
  # The build folder first: a temporary folder may be mounted noexec.
  parent=$setup/../../build
  mkdir -p "$parent" 2>/dev/null
  dir=$(mktemp -d "$parent/i386-probe.XXXXXX" 2>/dev/null) || { parent=${TMPDIR:-/tmp}; dir=$(mktemp -d); } || exit 1
  probe_place=$(cd "$parent" && pwd) probe_dir=$dir
  probe=$dir/probe
  printf "$elf" >"$probe" && chmod +x "$probe" || exit 1
  # bash names execve's error (126 for ENOEXEC and EACCES alike); in the C
  # locale, so that the words can be told apart.
  LC_ALL=C "${DOVREL_SETUP_RUN_PROBE:-$BASH}" -c '"$0"' "$probe" 2>"$dir/error"
  status=$?
  reason=$(tail -n1 "$dir/error")
  rm -rf "$dir"
  probe_dir=""
  probe_status=$status probe_result=failed
  if [ "$status" -eq 42 ]; then probe_result=runs; return; fi
  if [ "$status" -eq 126 ] && [[ $reason == *"Exec format error" ]]; then probe_result=refused; fi
  reason=${reason##*: }
  case $reason in
    "Permission denied") reason+="; is it mounted noexec?" ;;
    "") reason="exit status $status." ;;
    *) reason+=. ;;
  esac
  probe_reason=$reason
}

current_mode() {
  if emulation_rule >/dev/null; then echo emulated; return; fi
  probe_i386
  case $probe_result in
    runs) echo native ;;
    refused) echo none ;;
    *)
      echo "i386 mode: cannot run a program in $probe_place: $probe_reason Nothing was changed." >&2
      return 1 ;;
  esac
}

if [ "${1:-}" = --print ]; then
  current_mode
  exit
fi

stop() {
  echo "Wine cannot run here: $1" >&2
  exit 1
}

# Registers the emulator the package installed, by its own path: a file found
# in PATH could be anyone's. F: the kernel opens the emulator now, so the rule
# holds in every mount namespace.
register_rule() { # name
  local qemu version error
  qemu=$(dpkg -L qemu-user 2>/dev/null | grep '^/.*/bin/qemu-i386$') ||
    stop "the package qemu-user installed no qemu-i386."
  version=$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null)
  if [ ! -e "$binfmt/register" ]; then
    error=$("${sudo_cmd[@]}" mount -t binfmt_misc binfmt_misc "$binfmt" 2>&1) ||
      stop "the kernel's binfmt_misc cannot be mounted at $binfmt (${error##*: }; it needs root and a kernel with binfmt_misc), so QEMU cannot be registered for i386 programs."
    mounted=1
    echo "i386 emulation: mounted the kernel's binfmt_misc at $binfmt (until reboot)."
  fi
  # Someone's own rule of that name (disabled, or for other files) is theirs to decide on.
  [ ! -e "$binfmt/$1" ] ||
    stop "the binfmt_misc rule $1 is in the way (disabled, or not for i386 programs): enable it (echo 1 > $binfmt/$1) or remove it (echo -1 > $binfmt/$1), then run this again."
  error=$(printf ':%s:M::%s:%s:%s:F\n' "$1" "$magic" "$mask" "$qemu" | "${sudo_cmd[@]}" tee "$binfmt/register" 2>&1 >/dev/null) ||
    stop "the binfmt_misc rule for $qemu could not be registered (${error##*: })."
  registered_rule=$1
  registered="$qemu (qemu-user $version)"
}

remove_rule() { # name
  echo -1 | "${sudo_cmd[@]}" tee "$binfmt/$1" >/dev/null 2>&1
}

# What a set-up that did not finish added is taken back out: the rule, unless
# proven, and binfmt_misc, if it mounted it; and the probe's folder in the user's build folder.
undo_setup() {
  local status=$? error
  trap '' INT TERM HUP # the undoing is not cut short
  [ -z "${probe_dir:-}" ] || rm -rf "$probe_dir"
  if [ -n "$registered_rule" ]; then
    if remove_rule "$registered_rule"; then
      echo "i386 emulation: the binfmt_misc rule $registered_rule is removed again." >&2
    else
      echo "i386 emulation: the binfmt_misc rule $registered_rule could not be removed: as root, echo -1 > $binfmt/$registered_rule" >&2
    fi
  fi
  if [ -n "$mounted" ]; then
    if error=$("${sudo_cmd[@]}" umount "$binfmt" 2>&1); then
      echo "i386 emulation: binfmt_misc is unmounted again from $binfmt." >&2
    else
      echo "i386 emulation: binfmt_misc stays mounted at $binfmt: ${error##*: }" >&2
    fi
  fi
  exit "$status"
}
interrupted() { # signal, exit status
  echo "i386-mode.sh: interrupted by SIG$1." >&2
  exit "$2"
}

# The rule is kept only once an i386 program runs through it.
prove_rule() { # name
  probe_i386
  [ "$probe_result" = runs ] ||
    stop "with $registered registered as $1, an i386 program still does not run (exit status $probe_status: ${probe_reason%.})."
}

# Installs QEMU and wine64, registers the emulator and proves it; what does not
# finish, however it ends, is taken back out again (undo_setup).
set_up_emulation() {
  local what_missing="this kernel runs no i386 programs" lasting="until reboot" name
  local advice="as root, run $setup/i386-mode.sh once (it installs QEMU and wine64 and registers the emulator), then this command again"
  [ -z "$forced" ] || what_missing="emulation forced with DOVREL_I386_MODE=emulated" advice="run this command as root"
  need_root "Wine cannot run here: $what_missing, and setting up QEMU's emulation" "$advice"
  # Switched off by whoever runs the machine: theirs to switch on again.
  [ "$(cat "$binfmt/status" 2>/dev/null)" != disabled ] ||
    stop "$what_missing, and binfmt_misc, which would hand i386 programs to QEMU, is switched off ($binfmt/status says disabled): as root, echo 1 > $binfmt/status, then run this again."
  registered_rule="" mounted=""
  trap undo_setup EXIT
  trap 'interrupted INT 130' INT
  trap 'interrupted TERM 143' TERM
  trap 'interrupted HUP 129' HUP
  "$setup/install-deps.sh" emulation || stop "the emulation packages could not be installed."
  name=$rule_name
  [ -z "$forced" ] || name=$forced_rule lasting="until the last run using it ends"
  register_rule "$name"
  prove_rule "$name"
  # Proven: the rule stays until reboot, or a forced one until the runs using it end (below).
  [ -n "$forced" ] || trap - EXIT INT TERM HUP
  echo "i386 emulation: $what_missing; registered $registered with binfmt_misc as $name, $lasting;" \
    "Wine tests now run emulated, slower."
}

setup_lock
mode=$(current_mode) || exit 1
if [ "${DOVREL_I386_MODE:-}" = emulated ] && [ "$mode" = native ]; then forced=1; else forced=""; fi
if [ "$mode" = none ] || [ -n "$forced" ]; then
  set_up_emulation
  mode=emulated
elif [ "$mode" = emulated ]; then
  # An earlier run set it up: the 64-bit server is still needed.
  "$setup/install-deps.sh" emulation || stop "the emulation packages could not be installed."
fi

# A forced rule is shared: each run using it holds the users' lock (shared), and
# the one that can take it alone, at its end, removes the rule.
remove_forced_rule() {
  local status=$?
  trap '' INT TERM HUP
  setup_lock
  if ! flock -x -n 8; then
    echo "i386 emulation: the rule $forced_rule stays, another run still uses it."
  elif [ -e "$binfmt/$forced_rule" ]; then
    if remove_rule "$forced_rule"; then
      echo "i386 emulation: the binfmt_misc rule $forced_rule is removed again."
    else
      echo "i386 emulation: the binfmt_misc rule $forced_rule could not be removed; every i386 program" \
        "runs emulated until it is: as root, echo -1 > $binfmt/$forced_rule" >&2
      [ "$status" -ne 0 ] || status=1
    fi
  fi
  exit "$status"
}
if rule=$(emulation_rule) && [ "${rule##*/}" = "$forced_rule" ]; then
  open_lock 8 dovrel-i386-forced.lock && flock -s 8 || stop "cannot lock $locks/dovrel-i386-forced.lock."
  trap remove_forced_rule EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
  trap 'exit 129' HUP
fi
setup_unlock

[ $# -eq 0 ] && exit 0
export DOVREL_I386_MODE=$mode
# The command does not hold the users' lock: a server it leaves running would.
"$@" 8<&-
