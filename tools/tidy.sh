#!/usr/bin/env bash
# Runs clang-tidy with the repository's .clang-tidy over the project's own sources; any finding
# fails. Uses the compile commands of the test build (configured here when missing), and for the
# web page's engine binding (web/) those of its WebAssembly build (made when missing) with
# emscripten's own system flags.
# Usage: tools/tidy.sh [FILE...]   (default: every .cpp of engine/, cli/, ui/, tools/ and web/)
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
  mapfile -t files < <(git ls-files 'engine/*.cpp' 'cli/*.cpp' 'ui/*.cpp' 'tools/*.cpp' 'web/*.cpp')
fi
native=() web=()
for file in "${files[@]}"; do
  if [[ $file == web/* ]]; then web+=("$file"); else native+=("$file"); fi
done
((${#native[@]} == 0)) || clang-tidy -p "$build" --quiet "${native[@]}"
if ((${#web[@]} > 0)); then
  [[ -f build/wasm/compile_commands.json ]] || bash tools/build-web.sh >/dev/null
  export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH} # see tools/build-web.sh
  read -r -a emscripten_flags <<<"$(em++ --cflags)"
  clang-tidy -p build/wasm --quiet "${emscripten_flags[@]/#/--extra-arg=}" "${web[@]}"
fi
echo "tidy.sh: ${#files[@]} files, no findings"
