#!/usr/bin/env bash
# Cross-builds the engine, gustrule-cli and their tests for 64-bit ARM Linux into build/arm64
# (the soft arithmetic, as every non-x86 build chooses it; no window) with Debian's
# g++-aarch64-linux-gnu, and runs every test under qemu's user-mode emulator. GoogleTest is built
# for arm64 first, from the sources libgtest-dev installs. Then gustrule-cli batch runs 100,000
# generated inputs (tools/cli-inputs.sh) on arm64 and in the soft build for x86 of the test
# command (build/soft), whose outputs must be byte-identical.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-debian.sh arm64
out=build/arm64
toolchain=$PWD/cmake/aarch64-linux-gnu.cmake
gtest=$PWD/$out/googletest
if [[ ! -f $gtest/lib/cmake/GTest/GTestConfig.cmake ]]; then
  cmake -S /usr/src/googletest -B "$out/googletest-build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$gtest" -DBUILD_GMOCK=OFF
  cmake --build "$out/googletest-build"
  cmake --install "$out/googletest-build"
fi
cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DGUSTRULE_BUILD_UI=OFF -DGTest_DIR="$gtest/lib/cmake/GTest"
cmake --build "$out"
ctest --test-dir "$out" --output-on-failure --timeout 900

bash tools/build-soft.sh gustrule-cli
inputs=$out/batch-inputs
bash tools/cli-inputs.sh 100000 1 | tr '\037' '\t' >"$inputs"
if cmp <(build/soft/cli/gustrule-cli batch <"$inputs") <("$out/gustrule-cli-emulated" batch <"$inputs"); then
  echo "build-arm64.sh: $(wc -l <"$inputs") inputs, arm64 and x86 soft batch outputs byte-identical"
else
  echo "build-arm64.sh: the arm64 batch output differs from the x86 soft build's" >&2
  exit 1
fi
