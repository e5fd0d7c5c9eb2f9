#!/usr/bin/env bash
# Installs what is missing, builds Gustrule with its tests and runs every test headless: CTest's,
# then the web page's (tools/test-web.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-debian.sh build test
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DGUSTRULE_BUILD_TESTS=ON
cmake --build build/test
ctest --test-dir build/test --output-on-failure --timeout 600
bash tools/test-web.sh
