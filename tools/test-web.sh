#!/usr/bin/env bash
# Builds the web page and runs its tests (tests/web/, Node's test runner): the WebAssembly engine
# alone in Node, then the page in headless Chromium, compared with the gustrule-cli of the soft
# build (tools/build-soft.sh). The Node packages come from tests/web/package-lock.json.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build-web.sh
bash tools/build-soft.sh gustrule-cli
cd tests/web
npm ci --no-audit --no-fund --loglevel=error
node --test engine.test.mjs page.test.mjs look.test.mjs offline.test.mjs
