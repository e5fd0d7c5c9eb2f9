#!/usr/bin/env bash
# Installs what is missing, builds Gustrule with its tests and runs every test headless: CTest's,
# then the web page's (tools/test-web.sh); then builds the engine and the command line again with
# the soft arithmetic (the x87 unit's format computed in software, the default off x86) and runs
# their tests with it too.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-debian.sh build test
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DGUSTRULE_BUILD_TESTS=ON
cmake --build build/test
ctest --test-dir build/test --output-on-failure --timeout 600
bash tools/test-web.sh
# The MPFR reference test checks the soft arithmetic itself, already run above.
cmake -S . -B build/soft -G Ninja -DCMAKE_BUILD_TYPE=Debug -DGUSTRULE_BUILD_TESTS=ON \
  -DGUSTRULE_BUILD_UI=OFF -DGUSTRULE_ARITHMETIC=soft
cmake --build build/soft
ctest --test-dir build/soft --output-on-failure --timeout 600 --exclude-regex '^Reference\.'
