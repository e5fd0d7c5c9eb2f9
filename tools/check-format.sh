#!/usr/bin/env bash
# Fails when a C++ file of the repository differs from what clang-format makes of it with the
# repository's .clang-format. Usage: tools/check-format.sh [--fix]
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-debian.sh format >&2
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [[ ${1:-} == --fix ]]; then
  clang-format -i "${files[@]}"
  exit 0
fi
if ! clang-format --dry-run --Werror "${files[@]}"; then
  echo "check-format.sh: the files above differ from .clang-format; run tools/check-format.sh --fix" >&2
  exit 1
fi
echo "check-format.sh: ${#files[@]} files formatted as .clang-format says"
