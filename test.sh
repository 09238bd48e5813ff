#!/usr/bin/env bash
# Sets up, builds and runs every test.
#   ./test.sh              the tests, in build-tests/
#   ./test.sh --sanitize   the same under AddressSanitizer and UndefinedBehaviorSanitizer
#   ./test.sh --werror     warnings are errors (CI)
set -euo pipefail
cd "$(dirname "$0")"

dir=build-tests
options=(-DCORVANE_BUILD_TESTS=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo)
for arg in "$@"; do
    case $arg in
        --sanitize) dir=build-sanitize; options+=(-DCORVANE_SANITIZE=ON) ;;
        --werror) options+=(-DCORVANE_WERROR=ON) ;;
        *) echo "usage: ./test.sh [--sanitize] [--werror]" >&2; exit 2 ;;
    esac
done

scripts/setup.sh
cmake -S . -B "$dir" -G Ninja "${options[@]}" >/dev/null
cmake --build "$dir"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
