#!/usr/bin/env bash
# Builds the web page and prints the rows of its measurements for the README's table (medians,
# headless Chromium on this machine): transfer size, cold start, keystroke to updated table.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build-web.sh >&2
# The web tests' Node packages (Playwright) drive the browser here too.
(cd tests/web && npm ci --no-audit --no-fund --loglevel=error >&2)
node bench/web.mjs
