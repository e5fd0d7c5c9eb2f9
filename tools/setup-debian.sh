#!/usr/bin/env bash
# Installs the Debian 12 packages Gustrule needs to build, run and test, and says which.
# Usage: tools/setup-debian.sh [build] [test] [fuzz]   (no part means build)
#   build: what the programs need to build and run; test: that and the test tools;
#   fuzz: the compiler tools and clang's libFuzzer, for the engine's fuzz targets only.
set -euo pipefail

tools=(build-essential cmake ninja-build pkg-config) # compiler and build tools
window=(
  qt6-base-dev                         # Qt 6 Widgets
  libjpeg-dev                          # libjpeg(-turbo), decodes the velocities picture
  fonts-dejavu-core fonts-dejavu-extra # DejaVu Sans Condensed, the window's font
)
packages=("${tools[@]}")
for want in "${@:-build}"; do
  case $want in
    build) packages+=("${window[@]}") ;;
    # GoogleTest, Google Benchmark, and desktop-file-validate for the menu entry
    test) packages+=("${window[@]}" libgtest-dev libbenchmark-dev desktop-file-utils) ;;
    fuzz) packages+=(clang libclang-rt-14-dev) ;; # libFuzzer
    *) echo "setup-debian.sh: unknown part '$want'" >&2; exit 2 ;;
  esac
done
mapfile -t packages < <(printf '%s\n' "${packages[@]}" | awk '!seen[$0]++')

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]} == 0)); then
  echo "setup-debian.sh: all needed packages are installed (${packages[*]})"
  exit 0
fi

sudo=()
if [[ $(id -u) != 0 ]]; then
  sudo=(sudo)
fi
echo "setup-debian.sh: installing ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
