#!/usr/bin/python3
"""Prints the benchmark results as one markdown table: | measure | median | p95 | target | met |.

    bench-table.py BENCH.json [TIMING_ROWS]

BENCH.json is corvane_bench's --benchmark_out (JSON) of a run with repetitions. The keystroke and
floor benchmarks count the median and 95th percentile of their single iterations; their rows give
the median of those over the repetitions. Every other benchmark gives the median and 95th
percentile of its repetitions' mean times. TIMING_ROWS, when given, holds rows of the same five
columns (corvane-timing's output), appended as they are.
"""

import json
import statistics
import sys

ROWS = {1000: "1,000", 10000: "10,000"}

NAMES = {
    "keystrokeToPageWritten": "keystroke → page and pictures written, {} rows",
    "floorDrawAndWriteFresh": "floor: both pictures drawn, same bytes written to fresh files",
    "keystrokeThroughTheEditor": "keystroke through the editing logic, undo history full, 1,000 rows",
    "readSheet": "workbook sheet read, {} rows",
    "tableFromWorkbook": "workbook to indexed table, {} rows",
    "sourceReadsChangedWorkbook": "changed workbook read through the source, {} rows",
    "sourceUnchangedTwentyLookups": "unchanged workbook: table and 20 lookups, {} rows",
    "lookup": "one lookup, {} rows",
}

KEYSTROKE_P95_MS = 10.0
# Targets in milliseconds for the median of other benchmarks.
TARGETS_MS = {"tableFromWorkbook/10000": 3.0}
FLOOR_RATIO = 1.3

TO_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


def measure_name(run_name):
    base, _, arg = run_name.partition("/")
    text = NAMES.get(base)
    if text is None:
        return run_name
    return text.format(ROWS.get(int(arg), arg) if arg.isdigit() else arg)


def order(run_name):
    """Benchmarks run in a random order; rows follow NAMES, then the number of rows."""
    base, _, arg = run_name.partition("/")
    place = list(NAMES).index(base) if base in NAMES else len(NAMES)
    return (place, base, int(arg) if arg.isdigit() else 0, arg)


def duration(ms):
    if ms is None:
        return "—"
    if ms >= 1:
        return f"{ms:.3g} ms" if ms < 1000 else f"{ms:.0f} ms"
    if ms >= 1e-3:
        return f"{ms * 1e3:.3g} µs"
    return f"{ms * 1e6:.3g} ns"


def p95(values):
    ordered = sorted(values)
    return ordered[max(0, -(-len(ordered) * 95 // 100) - 1)]


def row(*cells):
    return "| " + " | ".join(cells) + " |"


def main():
    with open(sys.argv[1], encoding="utf-8") as f:
        report = json.load(f)

    runs = {}  # run name -> list of iteration entries, in the order they ran
    for b in report["benchmarks"]:
        if b.get("run_type", "iteration") == "iteration":
            runs.setdefault(b.get("run_name", b["name"]), []).append(b)

    results = {}  # run name -> (median ms, p95 ms, error)
    for name, entries in runs.items():
        errors = [e.get("error_message", "failed") for e in entries if e.get("error_occurred")]
        if errors:
            results[name] = (None, None, errors[0])
        elif all("median_ms" in e for e in entries):
            results[name] = (statistics.median(e["median_ms"] for e in entries),
                             statistics.median(e["p95_ms"] for e in entries), None)
        else:
            times = [e["real_time"] * TO_MS[e.get("time_unit", "ns")] for e in entries]
            results[name] = (statistics.median(times), p95(times), None)

    repetitions = max((len(e) for e in runs.values()), default=0)
    load = report.get("context", {}).get("load_avg", [])
    print(f"Benchmarks, {repetitions} repetitions each"
          + (f"; load average {', '.join(f'{x:.2f}' for x in load)}" if load else "") + ".")
    print()
    print(row("measure", "median", "p95", "target", "met"))
    print(row("---", "---:", "---:", "---", "---"))

    floor = results.get("floorDrawAndWriteFresh")
    names = sorted(runs, key=order)
    keystrokes = [n for n in names if n.startswith("keystrokeToPageWritten/")]
    for name in keystrokes:
        median, high, error = results[name]
        if error:
            print(row(measure_name(name), "error: " + error, "—", "p95 < 10 ms", "no"))
            continue
        met = "yes" if high < KEYSTROKE_P95_MS else "no"
        print(row(measure_name(name), duration(median), duration(high), "p95 < 10 ms", met))
    if floor:
        median, high, error = floor
        print(row(measure_name("floorDrawAndWriteFresh"),
                  "error: " + error if error else duration(median), duration(high), "—", "—"))
    for name in keystrokes:
        median, _, error = results[name]
        arg = name.partition("/")[2]
        label = f"keystroke / floor, {ROWS.get(int(arg), arg)} rows"
        if error or not floor or floor[2] or not floor[0]:
            print(row(label, "—", "—", f"median ≤ {FLOOR_RATIO}×", "no"))
            continue
        ratio = median / floor[0]
        met = "yes" if ratio <= FLOOR_RATIO else "no"
        print(row(label, f"{ratio:.2f}×", "—", f"median ≤ {FLOOR_RATIO}×", met))

    for name in names:
        if name in keystrokes or name == "floorDrawAndWriteFresh":
            continue
        median, high, error = results[name]
        target = TARGETS_MS.get(name)
        target_text = f"≤ {target:g} ms" if target else "—"
        if error:
            print(row(measure_name(name), "error: " + error, "—", target_text, "no" if target else "—"))
        else:
            met = ("yes" if median <= target else "no") if target else "—"
            print(row(measure_name(name), duration(median), duration(high), target_text, met))

    if len(sys.argv) > 2:
        with open(sys.argv[2], encoding="utf-8") as f:
            for line in f:
                line = line.strip()
                # Five cells between six bars.
                if line.startswith("|") and line.endswith("|") and line.count("|") == 6:
                    print(line)
                elif line:
                    print("bench-table.py: not a row of five cells, left out: " + line,
                          file=sys.stderr)


if __name__ == "__main__":
    main()
