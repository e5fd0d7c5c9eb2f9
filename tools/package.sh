#!/usr/bin/env bash
# Installs what is missing, then builds the Debian package of Gustrule: the Release build of
# tools/build-release.sh, then CPack.
# Usage: tools/package.sh [BUILD_DIR]   (default build/pkg); prints the path of the .deb.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/pkg}
bash tools/setup-debian.sh build package
bash tools/build-release.sh "$build"
rm -f "$build"/gustrule_*.deb
(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/gustrule_*.deb)
echo "package.sh: $deb"
