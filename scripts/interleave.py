#!/usr/bin/python3
"""Times whole commands, run in turn so that a busy spell of the machine falls on all alike.

    scripts/interleave.py [--runs N] [--warmup W] -- 'COMMAND A' 'COMMAND B' ...

Each command is a shell-quoted line, run without a shell, its output thrown away; a command that
fails stops the measurement. Prints, per command, the median and the 90th percentile of its
wall-clock time, and each median against the first one's.
"""
import argparse
import shlex
import statistics
import subprocess
import sys
import time


def run(argv):
    start = time.perf_counter()
    done = subprocess.run(argv, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    elapsed = time.perf_counter() - start
    if done.returncode != 0:
        sys.exit('failed with status %d: %s' % (done.returncode, shlex.join(argv)))
    return elapsed * 1000


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--runs', type=int, default=30)
    parser.add_argument('--warmup', type=int, default=3)
    parser.add_argument('commands', nargs='+')
    args = parser.parse_args()
    commands = [shlex.split(c) for c in args.commands]
    times = [[] for _ in commands]
    for round_ in range(args.warmup + args.runs):
        for i, argv in enumerate(commands):
            ms = run(argv)
            if round_ >= args.warmup:
                times[i].append(ms)
    first = statistics.median(times[0])
    print('| command | median ms | p90 ms | against the first |')
    print('|---|---|---|---|')
    for line, samples in zip(args.commands, times):
        median = statistics.median(samples)
        p90 = sorted(samples)[int(0.9 * (len(samples) - 1))]
        print('| `%s` | %.1f | %.1f | %.2fx |' % (line, median, p90, median / first))


if __name__ == '__main__':
    main()
