#!/usr/bin/env bash
# Builds everything with AddressSanitizer (with LeakSanitizer) and UndefinedBehaviorSanitizer and
# runs the whole test suite; any report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-debian.sh build test
cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DGUSTRULE_SANITIZE=ON
cmake --build build/sanitize
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build/sanitize --output-on-failure --timeout 900
