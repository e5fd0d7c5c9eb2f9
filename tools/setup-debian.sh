#!/usr/bin/env bash
# Installs the Debian 12 packages Gustrule needs to build, run and test, and says which.
# Usage: tools/setup-debian.sh [build] [test] [fuzz]   (build is always included)
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config # compiler and build tools
  qt6-base-dev                                 # Qt 6 Widgets
  libjpeg-dev                                  # libjpeg(-turbo), decodes the velocities picture
  fonts-dejavu-core fonts-dejavu-extra         # DejaVu Sans Condensed, the window's font
)
for want in "$@"; do
  case $want in
    build) ;;
    test) packages+=(libgtest-dev libbenchmark-dev desktop-file-utils) ;; # GoogleTest, Google
      # Benchmark, and desktop-file-validate for the menu entry
    fuzz) packages+=(clang libclang-rt-14-dev) ;;      # libFuzzer
    *) echo "setup-debian.sh: unknown part '$want'" >&2; exit 2 ;;
  esac
done

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
