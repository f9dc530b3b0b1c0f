#!/usr/bin/env bash
# Start-up time and footprint of Dovrel.exe against the least a one-window
# Win32 program can be, built with the same compiler and flags. Both start
# alternately in an XP SP3 Wine prefix of their own (build/wine/bench).
# A measurement, not a test: it fails only when a program cannot be measured.
#
# Env: BENCH_RUNS (default 20) measured starts of each program; BENCH_WARMUPS
# (default 1) unreported starts first; DOVREL_EXE (default build/win32/Dovrel.exe).
# Writes build/bench.md and prints it; the last line is
#   startup_ratio=<median ratio> size_kib=<Dovrel size> ws_ratio=<ratio>
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/wine-env.sh

runs=${BENCH_RUNS:-20}
warmups=${BENCH_WARMUPS:-1}
dovrel=$(realpath -m "${DOVREL_EXE:-build/win32/Dovrel.exe}")
dovrel_title="Dovrel for Windows XP"
baseline_title="Dovrel bench baseline"
out=build/bench
report=build/bench.md

[[ "$runs" =~ ^[1-9][0-9]*$ ]] || { echo "BENCH_RUNS must be a positive number" >&2; exit 2; }
[[ "$warmups" =~ ^[0-9]+$ ]] || { echo "BENCH_WARMUPS must be a number" >&2; exit 2; }
[ -f "$dovrel" ] || { echo "$dovrel is missing: run 'make exe' first" >&2; exit 1; }

mkdir -p "$out"
if ! { cmake -S tools/bench -B "$out" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-i686-w64-mingw32.cmake" \
  -DCMAKE_BUILD_TYPE=Release && cmake --build "$out" -j 2; } >"$out/build.log" 2>&1; then
  cat "$out/build.log" >&2
  echo "building the benchmark programs failed" >&2
  exit 1
fi
baseline=$(realpath "$out/bench_baseline.exe")

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

echo "Measuring $runs starts of each program (after $warmups warm-up each) ..." >&2
measured=$out/runs.txt
if ! wine "$out/bench_measure.exe" "$runs" "$warmups" \
    baseline "$(winpath "$baseline")" "$baseline_title" \
    Dovrel "$(winpath "$dovrel")" "$dovrel_title" 2>/dev/null | tr -d '\r' >"$measured"; then
  grep '^error' "$measured" >&2 || echo "the measuring program failed" >&2
  exit 1
fi
if grep -q '^error' "$measured"; then
  grep '^error' "$measured" >&2
  exit 1
fi

# Stripped sizes, from stripped copies (both are linked with -s already).
stripped_size() {
  local copy
  copy=$(mktemp)
  i686-w64-mingw32-strip -o "$copy" "$1"
  stat -c %s "$copy"
  rm -f "$copy"
}
baseline_size=$(stripped_size "$baseline")
dovrel_size=$(stripped_size "$dovrel")
dovrel_dlls=$(i686-w64-mingw32-objdump -p "$dovrel" | awk '/DLL Name:/ {print $3}' | sort -f | paste -sd ' ')
wine_version=$(wine --version 2>/dev/null || echo unknown)

# column: 4 start-up ms, 5 peak working set, 6 private bytes
stat_of() { # label column -> "min median max"
  awk -v l="$1" -v c="$2" '$1 == "run" && $2 == l {print $c}' "$measured" | sort -g |
    awk '{v[NR] = $1} END {
      if (NR == 0) exit 1
      m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
      printf "%s %s %s\n", v[1], m, v[NR] }'
}
read -r b_min b_med b_max < <(stat_of baseline 4)
read -r d_min d_med d_max < <(stat_of Dovrel 4)
read -r bw_min bw_med bw_max < <(stat_of baseline 5)
read -r dw_min dw_med dw_max < <(stat_of Dovrel 5)
read -r bp_min bp_med bp_max < <(stat_of baseline 6)
read -r dp_min dp_med dp_max < <(stat_of Dovrel 6)

kib() { awk -v b="$1" 'BEGIN {printf "%.1f", b / 1024}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", (b > 0) ? a / b : 0}'; }
ms() { awk -v v="$1" 'BEGIN {printf "%.1f", v}'; }
meets() { # value limit -> "yes"/"NO"
  awk -v v="$1" -v l="$2" 'BEGIN {print (v + 0 <= l + 0) ? "yes" : "NO"}'
}

startup_ratio=$(ratio "$d_med" "$b_med")
ws_ratio=$(ratio "$dw_med" "$bw_med")
private_ratio=$(ratio "$dp_med" "$bp_med")
size_ratio=$(ratio "$dovrel_size" "$baseline_size")
size_kib=$(kib "$dovrel_size")

{
  echo "# Start-up and footprint: Dovrel against a minimal one-window program"
  echo
  echo "$runs starts of each program, alternating, after $warmups unreported warm-up start(s) each;"
  echo "under $wine_version in an XP SP3 prefix ($(nproc) CPUs). Start-up: from CreateProcess until"
  echo "the main window is visible. Memory: medians, read after the window is up and idle."
  echo
  echo "| | baseline | Dovrel | Dovrel/baseline |"
  echo "|---|---:|---:|---:|"
  echo "| start-up min (ms) | $(ms "$b_min") | $(ms "$d_min") | $(ratio "$d_min" "$b_min") |"
  echo "| start-up median (ms) | $(ms "$b_med") | $(ms "$d_med") | $startup_ratio |"
  echo "| start-up max (ms) | $(ms "$b_max") | $(ms "$d_max") | $(ratio "$d_max" "$b_max") |"
  echo "| peak working set (KiB) | $(kib "$bw_med") | $(kib "$dw_med") | $ws_ratio |"
  echo "| private bytes (KiB) | $(kib "$bp_med") | $(kib "$dp_med") | $private_ratio |"
  echo "| stripped file size (KiB) | $(kib "$baseline_size") | $size_kib | $size_ratio |"
  echo
  echo "| Target | Limit | Measured | Met |"
  echo "|---|---:|---:|---|"
  echo "| start-up median ratio | 1.15 | $startup_ratio | $(meets "$startup_ratio" 1.15) |"
  echo "| peak working set ratio | 1.25 | $ws_ratio | $(meets "$ws_ratio" 1.25) |"
  echo "| Dovrel.exe stripped (KiB) | 300 | $size_kib | $(meets "$size_kib" 300) |"
  echo
  echo "Dovrel.exe imports: $dovrel_dlls"
  echo
  echo "Reproduce: \`make bench\` (BENCH_RUNS=$runs)."
  echo
  echo "startup_ratio=$startup_ratio size_kib=$size_kib ws_ratio=$ws_ratio"
} >"$report"
cat "$report"
