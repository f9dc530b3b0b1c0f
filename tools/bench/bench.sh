#!/usr/bin/env bash
# Start-up time and footprint of Dovrel.exe against two programs built with the
# same compiler and flags: the least a one-window Win32 program can be
# ("minimal"), and Dovrel's own window alone ("intrinsic": the product's
# MainWindow shown as Dovrel shows it, with no start-up checks, no service
# objects, no logic). The three start in turn, round after round, in an XP SP3
# Wine prefix of their own (build/wine/bench). The machine may slow down for
# long stretches, so programs are compared within rounds; tools/bench/report.py
# does the arithmetic. A measurement, not a test: it fails only when a program
# cannot be measured.
#
# Env: BENCH_RUNS (default 20) rounds, at least 2; BENCH_MAX_RUNS (default 60):
# while a target measured in rounds is not resolved, further batches of half
# BENCH_RUNS up to this many; BENCH_WARMUPS (default 1) unreported rounds before
# each batch; DOVREL_EXE (default build/win32/Dovrel.exe); BENCH_ORDER forward
# (default: minimal, Dovrel, intrinsic) or reverse.
# Writes build/bench.md and prints it; the last line is
#   startup_ratio=<Dovrel/minimal> size_kib=<Dovrel> ws_ratio=<Dovrel/minimal>
#   intrinsic_ratio=<Dovrel/intrinsic> startup_verdict= intrinsic_verdict=
#   ws_verdict= size_verdict= rounds=<N> mode=<native|emulated>
# (ratios: medians of the same-round ratios; verdicts: met, missed, not-resolved).
set -euo pipefail
cd "$(dirname "$0")/../.."
source tools/wine/wine-env.sh

runs=${BENCH_RUNS:-20}
max_runs=${BENCH_MAX_RUNS:-60}
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
[[ "$max_runs" =~ ^[0-9]+$ ]] || { echo "BENCH_MAX_RUNS must be a number" >&2; exit 2; }
[ "$max_runs" -ge "$runs" ] || max_runs=$runs
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
tools/wine/wine-prefix.sh "$WINEPREFIX"

own_display=""
cleanup() {
  wineserver -k 2>/dev/null || true
  if [ -n "$own_display" ]; then xvfb_stop; fi
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  source tools/wine/xvfb.sh
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

measured=$out/runs.txt
measure() { # first count: appends that many rounds to $measured
  local batch=$out/batch.txt
  if ! wine "$out/bench_measure.exe" "$1" "$2" "$warmups" "${programs[@]}" 2>/dev/null |
    tr -d '\r' >"$batch" || grep -q '^error' "$batch"; then
    grep '^error' "$batch" >&2 || echo "the measuring program failed" >&2
    exit 1
  fi
  cat "$batch" >>"$measured"
}

echo "Measuring $runs rounds of $round_order (up to $max_runs until each target is resolved) ..." >&2
: >"$measured"
rounds=0
batch=$runs
while :; do
  measure "$rounds" "$batch"
  rounds=$((rounds + batch))
  if [ "$rounds" -ge "$max_runs" ] || python3 tools/bench/report.py --check "$measured"; then break; fi
  batch=$(((runs + 1) / 2))
  [ "$batch" -le $((max_runs - rounds)) ] || batch=$((max_runs - rounds))
  echo "Not every target is resolved after $rounds rounds: $batch more ..." >&2
done
wineserver -k 2>/dev/null || true

# Whether the intrinsic window still shows what Dovrel shows.
echo "Comparing screenshots of the intrinsic window and Dovrel's ..." >&2
if pixels=$(tools/bench/bench-look.sh "$out/bench_wait_window.exe" "$dovrel_title" "$dovrel" "$intrinsic" \
  "$out" 2>"$out/look.log"); then
  look=(--look-pixels "$pixels")
else
  look=(--look-failure "$(tail -n1 "$out/look.log")")
fi

# Stripped sizes, from stripped copies (all are linked with -s already).
stripped_size() {
  local copy
  copy=$(mktemp)
  i686-w64-mingw32-strip -o "$copy" "$1"
  stat -c %s "$copy"
  rm -f "$copy"
}
dovrel_dlls=$(i686-w64-mingw32-objdump -p "$dovrel" | awk '/DLL Name:/ {print $3}' | sort -f | paste -sd ' ')

python3 tools/bench/report.py "$measured" --runs "$runs" --max-runs "$max_runs" --warmups "$warmups" \
  --order "$order" --round-order "$round_order" --wine "$(wine --version 2>/dev/null || echo unknown)" \
  --cpus "$(nproc)" --mode "${DOVREL_I386_MODE:-$(tools/setup/i386-mode.sh --print)}" \
  --imports "$dovrel_dlls" --out "$out" "${look[@]}" \
  --sizes "$(stripped_size "$minimal")" "$(stripped_size "$intrinsic")" "$(stripped_size "$dovrel")" >"$report"
cat "$report"
