#!/usr/bin/env bash
# Installs the Debian 12 packages Gustrule needs to build, run and test, and says which.
# Usage: tools/setup-debian.sh [build] [test] [desktop] [package] [format] [fuzz] [web]
#        (no part means build)
#   build:   what the programs need to build and run;
#   test:    that, the test tools, the desktop and web parts and a German (",") locale for the
#            window tests;
#   desktop: a virtual X server, a window manager and the accessibility bus, for
#            tools/desktop-session.sh and tools/screenshots.sh;
#   package: lintian, for checking the Debian package (tests/package/check-deb.sh);
#   format:  clang-format and clang-tidy, for tools/check-format.sh and tools/tidy.sh;
#   fuzz:    the compiler tools and clang's libFuzzer, for the fuzz targets only;
#   web:     emscripten, for the web page (tools/build-web.sh), and Chromium and Node.js with npm
#            for its tests.
# Without root and without sudo nothing can be installed: it then lists what to ask an
# administrator for and exits with status 1.
set -euo pipefail

tools=(build-essential cmake ninja-build pkg-config) # compiler and build tools
window=(
  qt6-base-dev                         # Qt 6 Widgets
  libjpeg-dev                          # libjpeg(-turbo), decodes the velocities picture
  libxcb1-dev                          # X11 event declarations: centring the framed window
  fonts-dejavu-core fonts-dejavu-extra # DejaVu Sans Condensed, the window's font
)
desktop=(
  xvfb xauth x11-utils # a virtual X server, and xdpyinfo/xprop to see that it is up
  xdotool imagemagick  # finding windows, sending keys, screenshots
  openbox              # a window manager, for frames, activation and tooltips
  at-spi2-core python3-pyatspi dbus dbus-x11 # the accessibility bus and a Python client
)
web=(
  emscripten python3 # the engine compiled to WebAssembly; python3 serves the page (tools/web.sh)
  chromium           # the browser the web tests drive
)
# Node.js and npm run the web tests. A machine that already has a node and an npm of its own (a
# newer Node.js with its npm) keeps them: Debian's npm cannot be installed beside those.
command -v node >/dev/null || web+=(nodejs)
command -v npm >/dev/null || web+=(npm)
packages=("${tools[@]}")
german_locale=no
for want in "${@:-build}"; do
  case $want in
    build) packages+=("${window[@]}") ;;
    # GoogleTest, Google Benchmark, desktop-file-validate for the menu entry, groff and man for
    # rendering the man pages, the desktop session for the window tests that need a real X
    # server, locales for a "," locale, and the web part for the web page's tests.
    test)
      packages+=("${window[@]}" libgtest-dev libbenchmark-dev desktop-file-utils groff-base man-db
        "${desktop[@]}" locales "${web[@]}")
      german_locale=yes
      ;;
    desktop) packages+=("${desktop[@]}") ;;
    package) packages+=(lintian) ;; # Debian's package checker
    format) packages+=(clang-format clang-tidy) ;; # the format check and the static checks
    fuzz) packages+=(clang libclang-rt-14-dev) ;; # libFuzzer
    web) packages+=("${web[@]}") ;;
    *) echo "setup-debian.sh: unknown part '$want'" >&2; exit 2 ;;
  esac
done
mapfile -t packages < <(printf '%s\n' "${packages[@]}" | awk '!seen[$0]++')

# Root runs commands itself, anyone else through sudo; with neither nothing can be installed.
as_root=()
if [[ $(id -u) != 0 ]]; then
  if command -v sudo >/dev/null; then
    as_root=(sudo)
  else
    as_root=(none)
  fi
fi
cannot_install() { # WHAT
  echo "setup-debian.sh: cannot install: not root and no sudo. Ask an administrator to run:" >&2
  echo "  $1" >&2
  exit 1
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]} == 0)); then
  echo "setup-debian.sh: all needed packages are installed (${packages[*]})"
else
  install_line="apt-get install --no-install-recommends ${missing[*]}"
  if [[ ${as_root[*]} == none ]]; then
    [[ $german_locale == no ]] || install_line+=" && localedef -i de_DE -f UTF-8 de_DE.UTF-8"
    cannot_install "$install_line"
  fi
  echo "setup-debian.sh: installing ${missing[*]}"
  "${as_root[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
fi

# The window tests run under de_DE.UTF-8 to see a "," decimal separator; the image may have
# only the C locales. localedef writes the one locale into the system's locale archive.
if [[ $german_locale == yes ]] && ! locale -a 2>/dev/null | grep -qiE '^de_DE\.utf-?8$'; then
  [[ ${as_root[*]} != none ]] || cannot_install "localedef -i de_DE -f UTF-8 de_DE.UTF-8"
  echo "setup-debian.sh: generating the locale de_DE.UTF-8"
  "${as_root[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
