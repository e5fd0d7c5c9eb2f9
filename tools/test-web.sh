#!/usr/bin/env bash
# Builds the web page and runs its tests (tests/web/, Node's test runner): the WebAssembly engine
# alone in Node, then the page in headless Chromium, compared with a gustrule-cli built with the
# software arithmetic in build/web-ref. The Node packages come from tests/web/package-lock.json.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build-web.sh
cmake -S . -B build/web-ref -G Ninja -DCMAKE_BUILD_TYPE=Release -DGUSTRULE_BUILD_UI=OFF \
  -DGUSTRULE_BUILD_TESTS=OFF -DGUSTRULE_ARITHMETIC=soft >/dev/null
cmake --build build/web-ref --target gustrule-cli >&2
cd tests/web
npm ci --no-audit --no-fund --loglevel=error
node --test engine.test.mjs page.test.mjs look.test.mjs offline.test.mjs
