#!/usr/bin/env bash
# Installs what is missing, builds Gustrule in Release (tools/build-release.sh) and starts the
# calculator window.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build-release.sh build/release
exec build/release/ui/gustrule
