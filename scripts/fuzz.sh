#!/usr/bin/env bash
# Builds the fuzzers with clang in build-fuzz/ and runs them.
#
#   scripts/fuzz.sh TARGET SECONDS     fuzz TARGET (jobfile or bendtable) for that long
#   scripts/fuzz.sh TARGET runs N      the same for N inputs instead (repeatable: seeded by count)
#   scripts/fuzz.sh TARGET merge [DIR...]  minimise fuzz/corpus/TARGET together with the inputs
#                                      that runs have found (fuzz/findings/TARGET/corpus) and DIRs
#   scripts/fuzz.sh TARGET time FILE...  run inputs; print the CPU time (best of 3) and heap of each
#   scripts/fuzz.sh seeds              write the seeds of our own writers to fuzz/findings/seeds
#   scripts/fuzz.sh build              only build
#
# A run starts from fuzz/corpus/TARGET with the dictionary fuzz/TARGET.dict (the regressions are
# left to the replay test: the largest of them would only slow a run down). New inputs, crashes,
# timeouts and inputs slower than 100 ms of CPU time go to fuzz/findings/TARGET/ (not in git),
# and each run adds a line to fuzz/findings/runs.log. The fuzzer runs niced, one process: other
# builds share the machine.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-fuzz
findings=fuzz/findings
slow_ms=100

usage() {
    sed -n '2,17p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit 2
}

build_fuzzers() {
    scripts/setup.sh
    if [[ ! -f $build/CMakeCache.txt ]]; then
        cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
            -DCORVANE_FUZZ=ON -DCORVANE_BUILD_TESTS=OFF >/dev/null
    fi
    nice -n 10 cmake --build "$build" --target fuzz_jobfile fuzz_bendtable corvane_fuzz_seeds
}

# The largest input a run makes and a merge keeps: each seed fits (the largest, a workbook whose
# FAT is partly listed in a DIFAT sector, is 61 KB); larger inputs mostly cost time.
max_len_of() {
    case $1 in
        jobfile) echo 16384 ;;
        bendtable) echo 65536 ;;
    esac
}

# libFuzzer's options for a target.
fuzz_options() {
    local target=$1
    printf '%s\n' -dict="fuzz/$target.dict" -max_len="$(max_len_of "$target")" \
        -rss_limit_mb=2048 -timeout=1 -report_slow_units=1 -print_final_stats=1 \
        -artifact_prefix="$findings/$target/"
}

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=offscreen

(( $# >= 1 )) || usage
case $1 in
    build) build_fuzzers; exit 0 ;;
    seeds)
        build_fuzzers
        rm -rf "$findings/seeds"
        "$build/fuzz/corvane_fuzz_seeds" "$findings/seeds"
        # The workbooks of the other writers: xlwt, LibreOffice and the default table; the two
        # large fixtures give way to small workbooks whose shared strings run over likewise.
        /usr/bin/python3 scripts/make-fuzz-workbooks.py "$findings/seeds/bendtable"
        cp data/BendTbl.xls "$findings/seeds/bendtable/"
        for file in tests/bendtable/data/*.xls; do
            case $file in */sst-xlwt.xls | */strings-lo.xls) ;;
                *) cp "$file" "$findings/seeds/bendtable/" ;;
            esac
        done
        [[ ! -d examples ]] || cp examples/*.bm "$findings/seeds/jobfile/" 2>/dev/null || true
        echo "seeds in $findings/seeds/; add them with: scripts/fuzz.sh TARGET merge $findings/seeds/TARGET"
        exit 0
        ;;
    jobfile | bendtable) target=$1 ;;
    *) usage ;;
esac
(( $# >= 2 )) || usage
mode=$2
shift 2

build_fuzzers
fuzzer=$build/fuzz/fuzz_$target
mkdir -p "$findings/$target/corpus" "fuzz/corpus/$target" "fuzz/regressions/$target"
mapfile -t options < <(fuzz_options "$target")

case $mode in
    merge)
        # The committed corpus: the seeds (the files with names) and the small inputs that runs
        # have found, as few of them as cover with the seeds every edge that they cover together. Larger finds
        # are mostly mutants of the seeds that a run finds again in minutes; they stay in
        # findings/ for the next run.
        candidates=$(mktemp -d)
        fresh=$(mktemp -d)
        for dir in "fuzz/corpus/$target" "$findings/$target/corpus" "$@"; do
            for file in "$dir"/*; do
                [[ -f $file ]] || continue
                if [[ $(basename "$file") =~ ^[0-9a-f]{40}$ ]]; then
                    (( $(stat -c %s "$file") <= 4096 )) || continue
                fi
                cp "$file" "$candidates/"
            done
        done
        nice -n 10 "$fuzzer" -merge=1 -use_counters=0 "${options[@]}" "$fresh" "$candidates"
        # libFuzzer names what it keeps by content; a seed keeps its own name. The seeds, files of
        # our own writers and those of others, stay whether or not the merge needs them.
        declare -A named=()
        for file in "$candidates"/*; do
            [[ $(basename "$file") =~ ^[0-9a-f]{40}$ ]] && continue
            named[$(sha1sum <"$file" | cut -c1-40)]=$(basename "$file")
            cp "$file" "$fresh/$(sha1sum <"$file" | cut -c1-40)"
        done
        rm -rf "fuzz/corpus/$target"
        mkdir -p "fuzz/corpus/$target"
        for file in "$fresh"/*; do
            cp "$file" "fuzz/corpus/$target/${named[$(basename "$file")]:-$(basename "$file")}"
        done
        rm -rf "$candidates" "$fresh"
        echo "fuzz/corpus/$target: $(ls "fuzz/corpus/$target" | wc -l) files," \
             "$(du -sk "fuzz/corpus/$target" | cut -f1) KB"
        ;;
    time)
        # Each input three times, with the CPU time and the heap that the harness measures; the
        # best of the three, slowest input last.
        (( $# >= 1 )) || usage
        CORVANE_FUZZ_REPORT=1 "$fuzzer" -runs=3 "$@" 2>&1 |
            awk '/^Running: / { file = $2 }
                 /^==[a-z]+== cost / { if (!(file in best) || $3 < best[file]) best[file] = $3
                                       heap[file] = $5 }
                 END { for (f in best) print best[f], "ms", heap[f], "bytes", f }' |
            sort -n
        ;;
    runs | [0-9]*)
        if [[ $mode == runs ]]; then
            (( $# == 1 )) || usage
            wanted=$1
            what="$1 runs"
        else
            deadline=$(( SECONDS + mode ))
            what="$mode s"
        fi
        total=0
        status=0
        started=$SECONDS
        while :; do
            if [[ $mode == runs ]]; then
                (( wanted - total > 0 )) || break
                limit=(-runs=$(( wanted - total )) -seed=$(( total + 1 )))
            else
                (( deadline - SECONDS > 0 )) || break
                limit=(-max_total_time=$(( deadline - SECONDS )))
            fi
            log=$(mktemp)
            set +e
            CORVANE_FUZZ_SLOW_MS=$slow_ms nice -n 10 "$fuzzer" "${options[@]}" "${limit[@]}" \
                "$findings/$target/corpus" "fuzz/corpus/$target" 2>&1 | tee "$log" | grep --line-buffered -v -E '^#[0-9]+\s+(NEW|REDUCE)'
            status=${PIPESTATUS[0]}
            set -e
            execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
            total=$(( total + ${execs:-0} ))
            timeout=$(sed -n "s|.*Test unit written to \(.*timeout-[0-9a-f]*\)$|\1|p" "$log")
            rm -f "$log"
            (( status != 0 )) && [[ -n $timeout ]] || break
            # libFuzzer's timeout counts wall time, which a niced process on a busy machine also
            # spends waiting. The harness counts CPU time: an input under the limit there was
            # starved, not slow, and the run goes on.
            if CORVANE_FUZZ_SLOW_MS=$slow_ms "$fuzzer" "$timeout" >/dev/null 2>&1; then
                mkdir -p "$findings/$target/starved"
                mv "$timeout" "$findings/$target/starved/"
                echo "$target: $timeout takes under $slow_ms ms of CPU time; it was starved, going on"
                status=0
            else
                break
            fi
        done
        seconds=$(( SECONDS - started ))
        echo "$(date -Iseconds) $target $what execs=$total s=$seconds" \
             "exec/s=$(( total / (seconds > 0 ? seconds : 1) )) exit=$status" >>"$findings/runs.log"
        echo "$target: $total executions in $seconds s; findings in $findings/$target/"
        ls "$findings/$target" | grep -v -E '^(corpus|starved)$' || true
        exit "$status"
        ;;
    *) usage ;;
esac
