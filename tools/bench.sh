#!/usr/bin/env bash
# Start-up time and footprint of Dovrel.exe against two programs built with the
# same compiler and flags: the least a one-window Win32 program can be
# ("minimal"), and the window Dovrel shows without anything behind it
# ("intrinsic": same controls, fonts, colours, icons and picture, no start-up
# checks, no service objects, no logic). The three start in turn, round after
# round, in an XP SP3 Wine prefix of their own (build/wine/bench). The machine
# may slow down for long stretches, so programs are compared within rounds.
# A measurement, not a test: it fails only when a program cannot be measured.
#
# Env: BENCH_RUNS (default 20) rounds, at least 2; BENCH_WARMUPS (default 1)
# unreported rounds first; DOVREL_EXE (default build/win32/Dovrel.exe);
# BENCH_ORDER forward (default: minimal, Dovrel, intrinsic) or reverse.
# Writes build/bench.md and prints it; the last line is
#   startup_ratio=<Dovrel/minimal> size_kib=<Dovrel> ws_ratio=<Dovrel/minimal> intrinsic_ratio=<Dovrel/intrinsic>
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/wine-env.sh

runs=${BENCH_RUNS:-20}
warmups=${BENCH_WARMUPS:-1}
order=${BENCH_ORDER:-forward}
dovrel=$(realpath -m "${DOVREL_EXE:-build/win32/Dovrel.exe}")
dovrel_title="Dovrel for Windows XP"
minimal_title="Dovrel bench baseline"
out=build/bench
report=build/bench.md

if ! [[ "$runs" =~ ^[1-9][0-9]*$ ]] || [ "$runs" -lt 2 ]; then
  echo "BENCH_RUNS must be a number of at least 2" >&2
  exit 2
fi
[[ "$warmups" =~ ^[0-9]+$ ]] || { echo "BENCH_WARMUPS must be a number" >&2; exit 2; }
[[ "$order" =~ ^(forward|reverse)$ ]] || { echo "BENCH_ORDER must be forward or reverse" >&2; exit 2; }
[ -f "$dovrel" ] || { echo "$dovrel is missing: run 'make exe' first" >&2; exit 1; }

mkdir -p "$out"
if ! { cmake -S tools/bench -B "$out" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-i686-w64-mingw32.cmake" \
  -DCMAKE_BUILD_TYPE=Release && cmake --build "$out" -j 2; } >"$out/build.log" 2>&1; then
  cat "$out/build.log" >&2
  echo "building the benchmark programs failed" >&2
  exit 1
fi
minimal=$(realpath "$out/bench_baseline.exe")
intrinsic=$(realpath "$out/bench_intrinsic.exe")

export WINEPREFIX=$PWD/build/wine/bench
tools/wine-prefix.sh "$WINEPREFIX"

own_display=""
cleanup() {
  wineserver -k 2>/dev/null || true
  if [ -n "$own_display" ]; then xvfb_stop; fi
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  source tools/xvfb.sh
  xvfb_start
  own_display=1
fi

winpath() { local p=${1//\//\\}; echo "Z:$p"; }

# label, exe, window title: in the order each round starts them.
programs=(minimal "$(winpath "$minimal")" "$minimal_title"
  Dovrel "$(winpath "$dovrel")" "$dovrel_title"
  intrinsic "$(winpath "$intrinsic")" "$dovrel_title")
if [ "$order" = reverse ]; then
  programs=("${programs[@]:6:3}" "${programs[@]:3:3}" "${programs[@]:0:3}")
fi
round_order="${programs[0]}, ${programs[3]}, ${programs[6]}"

echo "Measuring $runs rounds of $round_order (after $warmups warm-up round(s)) ..." >&2
measured=$out/runs.txt
if ! wine "$out/bench_measure.exe" "$runs" "$warmups" "${programs[@]}" 2>/dev/null |
  tr -d '\r' >"$measured"; then
  grep '^error' "$measured" >&2 || echo "the measuring program failed" >&2
  exit 1
fi
if grep -q '^error' "$measured"; then
  grep '^error' "$measured" >&2
  exit 1
fi
wineserver -k 2>/dev/null || true

# Whether the intrinsic window still shows what Dovrel shows.
echo "Comparing screenshots of the intrinsic window and Dovrel's ..." >&2
if pixels=$(tools/bench-look.sh "$out/bench_wait_window.exe" "$dovrel_title" "$dovrel" "$intrinsic" \
  "$out" 2>"$out/look.log"); then
  look="the intrinsic window's screenshot differs from Dovrel's in $pixels pixels (ImageMagick"
  look+=" \`compare -metric AE\` of crops of the two windows: $out/look-a.png is Dovrel's, look-b.png"
  look+=" the intrinsic one)"
  [ "$pixels" = 0 ] || look+="; the intrinsic window no longer shows what Dovrel shows"
else
  look="not compared: $(tail -n1 "$out/look.log")"
fi

# Stripped sizes, from stripped copies (all are linked with -s already).
stripped_size() {
  local copy
  copy=$(mktemp)
  i686-w64-mingw32-strip -o "$copy" "$1"
  stat -c %s "$copy"
  rm -f "$copy"
}
minimal_size=$(stripped_size "$minimal")
intrinsic_size=$(stripped_size "$intrinsic")
dovrel_size=$(stripped_size "$dovrel")
dovrel_dlls=$(i686-w64-mingw32-objdump -p "$dovrel" | awk '/DLL Name:/ {print $3}' | sort -f | paste -sd ' ')
wine_version=$(wine --version 2>/dev/null || echo unknown)

# The measurer's lines: "run LABEL ROUND MS PEAK_WS PRIVATE".
declare -A column=([startup]=4 [workingset]=5 [private]=6)
half=$((runs / 2))

values() { # label column [first_round end_round] -> one value per round
  awk -v l="$1" -v c="$2" -v from="${3:-0}" -v to="${4:-$runs}" \
    '$1 == "run" && $2 == l && $3 >= from && $3 < to {print $c}' "$measured"
}
differences() { # label_a label_b column -> per round, a minus b
  awk -v a="$1" -v b="$2" -v c="$3" '
    $1 == "run" && $2 == a {x[$3] = $c}
    $1 == "run" && $2 == b {y[$3] = $c}
    END {for (r in x) if (r in y) print x[r] - y[r]}' "$measured"
}
summary() { # values on stdin -> "min median max"
  sort -g | awk '{v[NR] = $1} END {
    if (NR == 0) exit 1
    m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "%s %s %s\n", v[1], m, v[NR] }'
}
median() { summary | awk '{print $2}'; }

kib() { awk -v b="$1" 'BEGIN {printf "%.1f", b / 1024}'; }
memory() { awk -v b="$1" 'BEGIN {printf "%.0f", b / 1024}'; } # in KiB: whole pages
ms() { awk -v v="$1" 'BEGIN {printf "%.1f", v}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", (b > 0) ? a / b : 0}'; }
percent() { # from to -> the change, in per cent of from
  awk -v from="$1" -v to="$2" 'BEGIN {printf "%+.0f %%", (from > 0) ? 100 * (to - from) / from : 0}'
}
meets() { awk -v v="$1" -v l="$2" 'BEGIN {print (v + 0 <= l + 0) ? "yes" : "NO"}'; }

# "median (min to max)" of a program's column, shown by the formatter given.
cell() { # label column formatter
  local lo mid hi
  read -r lo mid hi < <(values "$1" "$2" | summary)
  echo "$("$3" "$mid") ($("$3" "$lo") to $("$3" "$hi"))"
}
difference_cell() { # label_a label_b column formatter
  local lo mid hi
  read -r lo mid hi < <(differences "$1" "$2" "$3" | summary)
  echo "$("$4" "$mid") ($("$4" "$lo") to $("$4" "$hi"))"
}

# med[LABEL.MEASURE]; start-up medians of each half: first[LABEL], second[LABEL].
declare -A med first second
for label in minimal intrinsic Dovrel; do
  for measure in startup workingset private; do
    med[$label.$measure]=$(values "$label" "${column[$measure]}" | median)
  done
  first[$label]=$(values "$label" "${column[startup]}" 0 "$half" | median)
  second[$label]=$(values "$label" "${column[startup]}" "$half" "$runs" | median)
done
ratio_of() { ratio "${med[Dovrel.$2]}" "${med[$1.$2]}"; } # Dovrel/LABEL of MEASURE

startup_ratio=$(ratio_of minimal startup)
intrinsic_ratio=$(ratio_of intrinsic startup)
ws_ratio=$(ratio_of minimal workingset)
size_kib=$(kib "$dovrel_size")

# Quiet: no program's start-up median moved by more than a tenth between halves.
largest_move=$(for label in minimal intrinsic Dovrel; do
  awk -v a="${first[$label]}" -v b="${second[$label]}" 'BEGIN {d = (b - a) / a; print (d < 0) ? -d : d}'
done | sort -g | tail -n1)
quiet=$(awk -v m="$largest_move" 'BEGIN {print (m <= 0.10) ? "yes" : "no"}')
quiet_note=""
[ "$quiet" = yes ] || quiet_note=" (not a quiet run)"

{
  echo "# Start-up and footprint: Dovrel against a minimal window and against its own window alone"
  echo
  echo "$runs rounds, each starting $round_order in that order (BENCH_ORDER=$order), after $warmups"
  echo "unreported warm-up round(s); under $wine_version in an XP SP3 prefix ($(nproc) CPUs)."
  echo "Start-up: from CreateProcess until the main window is visible. Memory: read after the window"
  echo "is up and idle. *minimal*: one window with one button. *intrinsic*: the window Dovrel shows"
  echo "(the same controls, fonts, colours, icons and picture) with no start-up checks, no service"
  echo "objects and no logic."
  echo
  echo "Looks: $look."
  echo
  echo "## Medians (min to max)"
  echo
  echo "| | minimal | intrinsic | Dovrel | Dovrel/minimal | Dovrel/intrinsic |"
  echo "|---|---:|---:|---:|---:|---:|"
  for row in "start-up (ms):startup:ms" "peak working set (KiB):workingset:memory" \
    "private bytes (KiB):private:memory"; do
    IFS=: read -r name measure format <<<"$row"
    echo "| $name | $(cell minimal "${column[$measure]}" "$format")" \
      "| $(cell intrinsic "${column[$measure]}" "$format") | $(cell Dovrel "${column[$measure]}" "$format")" \
      "| $(ratio_of minimal "$measure") | $(ratio_of intrinsic "$measure") |"
  done
  echo "| stripped file size (KiB) | $(kib "$minimal_size") | $(kib "$intrinsic_size") | $size_kib" \
    "| $(ratio "$dovrel_size" "$minimal_size") | $(ratio "$dovrel_size" "$intrinsic_size") |"
  echo
  echo "## Same-round differences: median (min to max)"
  echo
  echo "| | Dovrel − minimal | Dovrel − intrinsic | intrinsic − minimal |"
  echo "|---|---:|---:|---:|"
  for row in "start-up (ms):startup:ms" "peak working set (KiB):workingset:memory" \
    "private bytes (KiB):private:memory"; do
    IFS=: read -r name measure format <<<"$row"
    echo "| $name | $(difference_cell Dovrel minimal "${column[$measure]}" "$format")" \
      "| $(difference_cell Dovrel intrinsic "${column[$measure]}" "$format")" \
      "| $(difference_cell intrinsic minimal "${column[$measure]}" "$format") |"
  done
  echo
  echo "## First half (rounds 0 to $((half - 1))) against second half (rounds $half to $((runs - 1)))"
  echo
  echo "| start-up median | first half | second half | moved |"
  echo "|---|---:|---:|---:|"
  for label in minimal intrinsic Dovrel; do
    echo "| $label (ms) | $(ms "${first[$label]}") | $(ms "${second[$label]}")" \
      "| $(percent "${first[$label]}" "${second[$label]}") |"
  done
  for label in minimal intrinsic; do
    a=$(ratio "${first[Dovrel]}" "${first[$label]}")
    b=$(ratio "${second[Dovrel]}" "${second[$label]}")
    echo "| Dovrel/$label | $a | $b | $(percent "$a" "$b") |"
  done
  echo
  echo "Quiet run (no start-up median moved by more than 10 % between the halves): $quiet."
  echo
  echo "## Targets"
  echo
  echo "| Target | Limit | Measured | Met |"
  echo "|---|---:|---:|---|"
  echo "| peak working set, Dovrel/minimal | 1.05 | $ws_ratio | $(meets "$ws_ratio" 1.05) |"
  echo "| start-up median, Dovrel/intrinsic | 1.03 | $intrinsic_ratio | $(meets "$intrinsic_ratio" 1.03) |"
  echo "| start-up median, Dovrel/minimal, in a quiet phase | 1.10 | $startup_ratio" \
    "| $(meets "$startup_ratio" 1.10)$quiet_note |"
  echo "| Dovrel.exe stripped (KiB) | 300 | $size_kib | $(meets "$size_kib" 300) |"
  echo
  echo "Dovrel.exe imports: $dovrel_dlls"
  echo
  echo "Reproduce: \`make bench\` (BENCH_RUNS=$runs BENCH_ORDER=$order)."
  echo
  echo "startup_ratio=$startup_ratio size_kib=$size_kib ws_ratio=$ws_ratio intrinsic_ratio=$intrinsic_ratio"
} >"$report"
cat "$report"
