#!/usr/bin/env bash
# Builds the Debian package of Gustrule: a Release build without the tests, then CPack.
# Usage: tools/package.sh [BUILD_DIR]   (default build/pkg); prints the path of the .deb.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/pkg}
bash tools/setup-debian.sh build
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DGUSTRULE_BUILD_UI=ON \
  -DGUSTRULE_BUILD_TESTS=OFF -DGUSTRULE_BUILD_BENCH=OFF -DGUSTRULE_SANITIZE=OFF -DGUSTRULE_FUZZ=OFF
cmake --build "$build"
rm -f "$build"/gustrule_*.deb
(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/gustrule_*.deb)
echo "package.sh: $deb"
