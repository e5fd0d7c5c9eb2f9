#!/usr/bin/env bash
# Installs what is missing, builds Gustrule in Release and starts the calculator window.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-debian.sh build
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DGUSTRULE_BUILD_TESTS=OFF
cmake --build build/release --target gustrule gustrule-cli
exec build/release/ui/gustrule
