#!/usr/bin/env bash
# Validates the desktop entry with desktop-file-validate; exits 77 (skipped) where it is missing.
set -u
if ! command -v desktop-file-validate >/dev/null; then
  echo "desktop-file-validate is not installed (package desktop-file-utils); skipped"
  exit 77
fi
# It prints hints and warnings as well as errors; a clean entry gets none of them.
out=$(desktop-file-validate "$1" 2>&1)
status=$?
if [[ $status != 0 || -n $out ]]; then
  printf '%s\n' "$out"
  echo "1 failed"
  exit 1
fi
echo "1 passed, 0 failed"
