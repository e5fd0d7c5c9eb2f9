#!/usr/bin/env bash
# Cross-builds the engine, gustrule-cli and their tests for 64-bit ARM Linux into build/arm64
# (the soft arithmetic, as every non-x86 build chooses it; no window) with Debian's
# g++-aarch64-linux-gnu, and runs every test under qemu's user-mode emulator. GoogleTest is built
# for arm64 first, from the sources libgtest-dev installs.
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
