#!/usr/bin/env bash
# Builds the program and every test, runs them all, then builds the unit
# tests again with AddressSanitizer and UndefinedBehaviorSanitizer and runs
# those. Fails when any test fails.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${JOBS:-2}
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs")

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTUMBALON_SANITIZE=ON -DTUMBALON_UNIT_ONLY=ON
cmake --build build-asan -j"$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j"$jobs" -L unit)
