#!/usr/bin/env bash
# Sets up, builds and starts Corvane.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_BUILD_TESTS=OFF >/dev/null
cmake --build build --target corvane
exec build/corvane "$@"
