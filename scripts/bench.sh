#!/usr/bin/env bash
# Sets up, builds the benchmarks in build-bench/ and prints their results as one markdown table,
# | measure | median | p95 | target | met |, on stdout; building and progress go to stderr.
#
# The rows come from corvane_bench (Google Benchmark: the keystroke against the floor, the bend
# table) and then from corvane-timing (the main window and the programs timed as the operator meets
# them), when build-bench/ has that program.
set -euo pipefail
cd "$(dirname "$0")/.."

repetitions=5

scripts/setup.sh >&2
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DCORVANE_BUILD_TESTS=OFF \
    -DCORVANE_BUILD_BENCHMARKS=ON >/dev/null
cmake --build build-bench --target corvane_bench >&2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Repetitions interleaved at random, so that a busy spell of the machine falls on the keystroke
# and on the floor alike.
echo "Running corvane_bench, $repetitions repetitions..." >&2
build-bench/bench/corvane_bench --benchmark_repetitions="$repetitions" \
    --benchmark_enable_random_interleaving=true \
    --benchmark_out="$work/bench.json" --benchmark_out_format=json >&2

# The web engine of the preview cannot start its sandbox for root; only then is it turned off.
if (( EUID == 0 )); then
    export QTWEBENGINE_DISABLE_SANDBOX=1
fi
note=
timing_rows=()
if ! cmake --build build-bench --target help | grep -q '^corvane-timing:'; then
    note="corvane-timing: not in build-bench/ yet; its rows are missing."
elif ! cmake --build build-bench --target corvane-timing >&2; then
    note="corvane-timing: did not build; its rows are missing."
else
    echo "Running corvane-timing..." >&2
    status=0
    build-bench/bench/corvane-timing >"$work/timing.md" || status=$?
    timing_rows=("$work/timing.md")
    (( status == 0 )) || note="corvane-timing: exited with status $status; its rows may be missing."
fi

echo >&2
/usr/bin/python3 scripts/bench-table.py "$work/bench.json" "${timing_rows[@]}"
if [[ -n $note ]]; then
    echo
    echo "$note"
fi
