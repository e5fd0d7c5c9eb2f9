#!/usr/bin/env bash
# Installs what is missing and makes the Release build of Gustrule that the start command runs,
# `cmake --install` installs and tools/package.sh packages: every default target, so the
# compressed man pages and changelog are there as well as the two programs.
# Usage: tools/build-release.sh [BUILD_DIR]   (default build/release)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
bash tools/setup-debian.sh build
# Hardening as Debian builds its packages: checked string and memory functions, a stack
# protector, and relocations resolved at start and then made read-only.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DGUSTRULE_BUILD_UI=ON \
  -DGUSTRULE_BUILD_TESTS=OFF -DGUSTRULE_BUILD_BENCH=OFF -DGUSTRULE_SANITIZE=OFF \
  -DGUSTRULE_FUZZ=OFF \
  "-DCMAKE_CXX_FLAGS=-D_FORTIFY_SOURCE=2 -fstack-protector-strong" \
  "-DCMAKE_EXE_LINKER_FLAGS=-Wl,-z,relro -Wl,-z,now"
cmake --build "$build"
