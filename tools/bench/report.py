#!/usr/bin/env python3
"""The benchmark's report, from the measurer's rounds and the facts bench.sh gathers.

Every comparison is made within rounds: Dovrel over the other program in the same
round, because the machine may slow down for long stretches and a round's programs
share whatever it is doing. Each target's ratio is the median of those paired
ratios, with a percentile bootstrap interval over the rounds.

  report.py --check RUNS_FILE     exit 0 when every target measured in rounds is resolved
  report.py RUNS_FILE [FACTS...]  print the report (Markdown); the last line is key=value
"""
import argparse
import collections
import random
import statistics
import sys
import textwrap

LABELS = ("minimal", "intrinsic", "Dovrel")
COLUMNS = {"startup": 0, "workingset": 1, "private": 2}
RESAMPLES = 2000
SEED = 1  # fixed, so the same rounds always give the same report
SIZE_LIMIT_KIB = 300
QUIET_MOVE = 0.10
# Emulated figures are several times slower: never compare them with native ones.
MODES = {"native": "natively", "emulated": "through QEMU's user-mode emulation (mode=emulated:"
         " not comparable with a native run's figures)"}


Target = collections.namedtuple("Target", "key name measure other limit")

TARGETS = (
    Target("ws", "peak working set, Dovrel/minimal", "workingset", "minimal", 1.05),
    Target("intrinsic", "start-up, Dovrel/intrinsic", "startup", "intrinsic", 1.03),
    Target("startup", "start-up, Dovrel/minimal, in a quiet phase", "startup", "minimal", 1.10),
)


def read_rounds(path):
    """Rounds in order, each {label: (ms, peak_ws, private)}; incomplete rounds are left out."""
    rounds = {}
    with open(path) as lines:
        for line in lines:
            fields = line.split()
            if len(fields) == 6 and fields[0] == "run":
                rounds.setdefault(int(fields[2]), {})[fields[1]] = tuple(map(float, fields[3:]))
    return [rounds[r] for r in sorted(rounds) if all(label in rounds[r] for label in LABELS)]


def values(rounds, label, measure):
    return [r[label][COLUMNS[measure]] for r in rounds]


def ratios(rounds, other, measure):
    column = COLUMNS[measure]
    return [r["Dovrel"][column] / r[other][column] for r in rounds]


def bootstrap(samples, draws):
    """The median and its 95 % interval, from the same resampled rounds for every target."""
    medians = [statistics.median(samples[i] for i in draw) for draw in draws]
    cuts = statistics.quantiles(medians, n=40, method="inclusive")
    return statistics.median(samples), cuts[0], cuts[-1]


def verdict(low, high, limit):
    if high <= limit:
        return "met"
    if low > limit:
        return "missed"
    return "not resolved"


def assess(rounds):
    """{target key: (median, low, high, verdict)}."""
    rng = random.Random(SEED)
    n = len(rounds)
    draws = [[rng.randrange(n) for _ in range(n)] for _ in range(RESAMPLES)]
    result = {}
    for target in TARGETS:
        mid, low, high = bootstrap(ratios(rounds, target.other, target.measure), draws)
        result[target.key] = (mid, low, high, verdict(low, high, target.limit))
    return result


def fill(text):
    return textwrap.fill(text, width=100, break_on_hyphens=False)


def ms(v):
    return f"{v:.1f}"


def memory(b):  # in KiB: whole pages
    return f"{b / 1024:.0f}"


def kib(b):
    return f"{b / 1024:.1f}"


def spread(samples, show):
    return f"{show(statistics.median(samples))} ({show(min(samples))} to {show(max(samples))})"


def percent(start, end):
    return f"{100 * (end - start) / start:+.0f} %"


ROWS = (("start-up (ms)", "startup", ms), ("peak working set (KiB)", "workingset", memory),
        ("private bytes (KiB)", "private", memory))
PAIRS = (("Dovrel", "minimal"), ("Dovrel", "intrinsic"), ("intrinsic", "minimal"))


def row(*cells):
    return "| " + " | ".join(cells) + " |"


def report(rounds, facts):
    n = len(rounds)
    half = n // 2
    halves = (rounds[:half], rounds[half:])
    assessed = assess(rounds)
    unresolved = sum(a[3] == "not resolved" for a in assessed.values())
    sizes = dict(zip(LABELS, facts.sizes))
    size_kib = sizes["Dovrel"] / 1024
    size_verdict = "met" if size_kib <= SIZE_LIMIT_KIB else "missed"
    # Quiet: no program's start-up median moved by more than a tenth between halves.
    moves = {label: [statistics.median(values(h, label, "startup")) for h in halves]
             for label in LABELS}
    quiet = all(abs(b - a) / a <= QUIET_MOVE for a, b in moves.values())

    if unresolved:
        grown = (f"stopped at BENCH_MAX_RUNS={facts.max_runs} with {unresolved} target(s) not"
                 " resolved")
    elif n > facts.runs:
        grown = f"grown from BENCH_RUNS={facts.runs} until every target measured in rounds resolved"
    else:
        grown = f"BENCH_RUNS={facts.runs}; every target measured in rounds resolved"
    if facts.look_pixels is None:
        look = f"not compared: {facts.look_failure}"
    else:
        look = (f"the intrinsic window's screenshot differs from Dovrel's in {facts.look_pixels}"
                " pixels (ImageMagick `compare -metric AE` of crops of the two windows:"
                f" {facts.out}/look-a.png is Dovrel's, look-b.png the intrinsic one)")
        if facts.look_pixels:
            look += "; the intrinsic window no longer shows what Dovrel shows"

    out = ["# Start-up and footprint: Dovrel against a minimal window and against its own window"
           " alone", "",
           fill(f"{n} rounds ({grown}), each starting {facts.round_order} in that order"
                f" (BENCH_ORDER={facts.order}), each batch of rounds after {facts.warmups}"
                f" unreported warm-up round(s); under {facts.wine} in an XP SP3 prefix"
                f" ({facts.cpus} CPUs), i386 code run {MODES[facts.mode]}. Start-up: from"
                " CreateProcess until the main window is visible. Memory: read after the window is"
                " up and idle. *minimal*: one window with one button. *intrinsic*: Dovrel's own window (its MainWindow, shown and"
                " focused as Dovrel shows it) with no start-up checks, no service objects and no"
                " logic."), "",
           fill(f"Looks: {look}."), "",
           "## Medians (min to max); ratios: median of the same-round ratios", "",
           row("", *LABELS, "Dovrel/minimal", "Dovrel/intrinsic"), "|---|---:|---:|---:|---:|---:|"]
    for name, measure, show in ROWS:
        out.append(row(name, *(spread(values(rounds, label, measure), show) for label in LABELS),
                       *(f"{statistics.median(ratios(rounds, other, measure)):.3f}"
                         for other in ("minimal", "intrinsic"))))
    out += [row("stripped file size (KiB)", *(kib(sizes[label]) for label in LABELS),
                f"{sizes['Dovrel'] / sizes['minimal']:.3f}",
                f"{sizes['Dovrel'] / sizes['intrinsic']:.3f}"), "",
            "## Same-round differences: median (min to max)", "",
            row("", *(f"{a} − {b}" for a, b in PAIRS)), "|---|---:|---:|---:|"]
    for name, measure, show in ROWS:
        c = COLUMNS[measure]
        out.append(row(name, *(spread([r[a][c] - r[b][c] for r in rounds], show)
                               for a, b in PAIRS)))
    out += ["", f"## First half (rounds 0 to {half - 1}) against second half (rounds {half} to"
            f" {n - 1})", "", "| start-up median | first half | second half | moved |",
            "|---|---:|---:|---:|"]
    for label in LABELS:
        a, b = moves[label]
        out.append(row(f"{label} (ms)", ms(a), ms(b), percent(a, b)))
    for other in ("minimal", "intrinsic"):
        a, b = (statistics.median(ratios(h, other, "startup")) for h in halves)
        out.append(row(f"Dovrel/{other}", f"{a:.3f}", f"{b:.3f}", percent(a, b)))
    out += ["", f"Quiet run (no start-up median moved by more than {100 * QUIET_MOVE:.0f} % between"
            f" the halves): {'yes' if quiet else 'no'}.", "", "## Targets", "",
            fill("Median of the same-round ratios and its 95 % interval (percentile bootstrap:"
                 f" {RESAMPLES} resamples of the rounds, fixed seed). *met*: the interval lies at"
                 " or below the limit; *missed*: above it; *not resolved*: it straddles the limit."
                 " Rounds added until a target is resolved look at the data more than once, which"
                 " makes a grown run's intervals a little optimistic."), "",
            "| Target | Limit | Median | 95 % interval | Verdict |", "|---|---:|---:|---:|---|"]
    for target in TARGETS:
        mid, low, high, said = assessed[target.key]
        if target.key == "startup" and not quiet:
            said += " (not a quiet run)"
        out.append(row(target.name, f"{target.limit:.2f}", f"{mid:.3f}", f"{low:.3f} to {high:.3f}",
                       said))
    last = {"startup_ratio": f"{assessed['startup'][0]:.3f}", "size_kib": f"{size_kib:.1f}",
            "ws_ratio": f"{assessed['ws'][0]:.3f}",
            "intrinsic_ratio": f"{assessed['intrinsic'][0]:.3f}"}
    for key in ("startup", "intrinsic", "ws"):
        last[f"{key}_verdict"] = assessed[key][3].replace(" ", "-")
    last.update(size_verdict=size_verdict, rounds=str(n), mode=facts.mode)
    out += [row("Dovrel.exe stripped (KiB)", str(SIZE_LIMIT_KIB), f"{size_kib:.1f}", "",
                size_verdict),
            "", f"Dovrel.exe imports: {facts.imports}", "",
            f"Reproduce: `make bench` (BENCH_RUNS={facts.runs} BENCH_MAX_RUNS={facts.max_runs}"
            f" BENCH_ORDER={facts.order}).", "",
            " ".join(f"{key}={value}" for key, value in last.items())]
    return "\n".join(out)


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("runs_file")
    parser.add_argument("--check", action="store_true")
    parser.add_argument("--runs", type=int, default=0, help="rounds asked for (BENCH_RUNS)")
    parser.add_argument("--max-runs", type=int, default=0, help="BENCH_MAX_RUNS")
    parser.add_argument("--warmups", type=int, default=0)
    parser.add_argument("--order", default="forward")
    parser.add_argument("--round-order", default="")
    parser.add_argument("--wine", default="unknown")
    parser.add_argument("--cpus", default="?")
    parser.add_argument("--mode", choices=MODES, default="native")
    parser.add_argument("--sizes", type=int, nargs=3, metavar=("MINIMAL", "INTRINSIC", "DOVREL"),
                        help="stripped sizes in bytes")
    parser.add_argument("--imports", default="")
    parser.add_argument("--out", default="build/bench", help="where the look-*.png are")
    parser.add_argument("--look-pixels", type=int)
    parser.add_argument("--look-failure", default="")
    facts = parser.parse_args()

    rounds = read_rounds(facts.runs_file)
    if len(rounds) < 2:
        sys.exit(f"{facts.runs_file}: fewer than two complete rounds")
    if facts.check:
        sys.exit(0 if all(a[3] != "not resolved" for a in assess(rounds).values()) else 1)
    if not facts.sizes:
        parser.error("--sizes is needed for the report")
    print(report(rounds, facts))


if __name__ == "__main__":
    main()
