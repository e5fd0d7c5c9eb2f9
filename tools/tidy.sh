#!/usr/bin/env bash
# Runs clang-tidy with the repository's .clang-tidy over the project's own sources; any finding
# fails. Uses the compile commands of the test build (configured here when missing).
# Usage: tools/tidy.sh [FILE...]   (default: every .cpp of engine/, cli/, ui/ and tools/)
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-debian.sh build format >&2
build=build/test
if [[ ! -f $build/compile_commands.json ]]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DGUSTRULE_BUILD_TESTS=ON >/dev/null
fi
# The Qt sources include files that moc and rcc generate.
cmake --build "$build" --target gustrule_ui_autogen gustrule_widgets_autogen >/dev/null
if (($# > 0)); then
  files=("$@")
else
  mapfile -t files < <(git ls-files 'engine/*.cpp' 'cli/*.cpp' 'ui/*.cpp' 'tools/*.cpp')
fi
clang-tidy -p "$build" --quiet "${files[@]}"
echo "tidy.sh: ${#files[@]} files, no findings"
