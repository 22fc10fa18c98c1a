#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer
# (Debug, build-san/) and runs the whole test suite headless under them.
# Run before a push; any finding fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --packages-only
cmake -S . -B build-san -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOSTREL_SANITIZE=ON >/dev/null
cmake --build build-san -j2
cd build-san
# Qt keeps its plugin and font caches until the process ends: leak reports
# at exit are about those, so only memory errors and undefined behaviour count.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --timeout 900
