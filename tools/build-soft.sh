#!/usr/bin/env bash
# Builds the engine, gustrule-cli and their tests with the soft arithmetic (the default off x86)
# into build/soft, one Debug build that the test command, the web page's tests and the arm64
# comparison share: everything, or only the TARGETs named.
# Usage: tools/build-soft.sh [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-debian.sh build test >&2
cmake -S . -B build/soft -G Ninja -DCMAKE_BUILD_TYPE=Debug -DGUSTRULE_BUILD_TESTS=ON \
  -DGUSTRULE_BUILD_UI=OFF -DGUSTRULE_ARITHMETIC=soft >&2
if (($# > 0)); then
  cmake --build build/soft --target "$@" >&2
else
  cmake --build build/soft >&2
fi
