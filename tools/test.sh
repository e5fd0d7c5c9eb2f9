#!/usr/bin/env bash
# Installs what is missing, builds Gustrule with its tests and runs every test headless: CTest's;
# then builds the engine and the command line again with the soft arithmetic (the x87 unit's
# format computed in software, the default off x86) and runs their tests with it too; then the
# web page's (tools/test-web.sh), which compares the page with that soft gustrule-cli.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-debian.sh build test
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DGUSTRULE_BUILD_TESTS=ON
cmake --build build/test
ctest --test-dir build/test --output-on-failure --timeout 600
# The MPFR reference test checks the soft arithmetic itself, already run above.
bash tools/build-soft.sh
ctest --test-dir build/soft --output-on-failure --timeout 600 --exclude-regex '^Reference\.'
bash tools/test-web.sh
