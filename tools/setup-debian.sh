#!/usr/bin/env bash
# Installs the Debian 12 packages Gustrule needs to build, run and test, and says which.
# Usage: tools/setup-debian.sh [build] [test] [desktop] [package] [package-check] [format] [fuzz]
#                              [web] [arm64]
#        (no part means build)
#   build:   what the programs need to build and run;
#   test:    that, the test tools, the desktop and web parts and a German (",") locale for the
#            window tests;
#   desktop: a virtual X server, a window manager and the accessibility bus, for
#            tools/desktop-session.sh and tools/screenshots.sh;
#   package: what tools/package.sh needs beyond the build: file, which CPack runs;
#   package-check: lintian, for checking the Debian package (tests/package/check-deb.sh);
#   format:  clang-format and clang-tidy, for tools/check-format.sh and tools/tidy.sh;
#   fuzz:    the compiler tools and clang's libFuzzer, for the fuzz targets only;
#   web:     emscripten, for the web page (tools/build-web.sh), and Chromium and Node.js with npm
#            for its tests;
#   arm64:   a cross compiler for 64-bit ARM Linux, an emulator to run its programs and the
#            GoogleTest sources to build for it, for tools/build-arm64.sh.
# Without root, and when sudo is missing or refuses, nothing can be installed: it then prints
# the command to ask an administrator to run and exits with status 1.
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
  x11-xserver-utils    # xrdb, to raise a session's font resolution as high-density desktops do
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
    # GoogleTest, Google Benchmark, GNU MPFR (the reference of the soft arithmetic's test),
    # desktop-file-validate for the menu entry, groff and man for rendering the man pages, GNU
    # time for the command line's peak memory, the desktop session for the window tests that need
    # a real X server, the Orca screen reader that one of them listens with, locales for a ","
    # locale, and the web part for the web page's tests.
    test)
      packages+=("${window[@]}" libgtest-dev libbenchmark-dev libmpfr-dev desktop-file-utils
        groff-base man-db time "${desktop[@]}" orca locales "${web[@]}")
      german_locale=yes
      ;;
    desktop) packages+=("${desktop[@]}") ;;
    package) packages+=(file) ;; # CPack's Debian generator reads the programs' types with file
    package-check) packages+=(lintian) ;; # Debian's package checker
    format) packages+=(clang-format clang-tidy) ;; # the format check and the static checks
    fuzz) packages+=(clang libclang-rt-14-dev) ;; # libFuzzer
    web) packages+=("${web[@]}") ;;
    # The arm64 cross compiler with its C library, the user-mode emulator, GoogleTest's sources.
    arm64) packages+=(g++-aarch64-linux-gnu qemu-user-static libgtest-dev) ;;
    *) echo "setup-debian.sh: unknown part '$want'" >&2; exit 2 ;;
  esac
done
mapfile -t packages < <(printf '%s\n' "${packages[@]}" | awk '!seen[$0]++')

# Root runs commands itself, anyone else through sudo. Without sudo, or when sudo refuses (the
# user may not use it, or no password was given), nothing can be installed: say what an
# administrator would run instead.
as_root=()
if [[ $(id -u) != 0 ]]; then
  if command -v sudo >/dev/null; then
    as_root=(sudo)
  else
    as_root=(none)
  fi
fi
locale_line="localedef -i de_DE -f UTF-8 de_DE.UTF-8"
cannot_install() { # WHY WHAT
  echo "setup-debian.sh: cannot install: $1. Ask an administrator to run:" >&2
  echo "  $2" >&2
  exit 1
}
# Runs a command as root; when that fails through sudo, stops with the administrator's command.
as_root_or_ask() { # ADMIN_LINE COMMAND...
  local admin_line=$1
  shift
  [[ ${as_root[*]} != none ]] || cannot_install "not root and no sudo" "$admin_line"
  "${as_root[@]}" "$@" && return 0
  local status=$?
  [[ ${#as_root[@]} == 0 ]] || cannot_install "sudo failed" "$admin_line"
  exit "$status"
}
need_locale() {
  [[ $german_locale == yes ]] && ! locale -a 2>/dev/null | grep -qiE '^de_DE\.utf-?8$'
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]} == 0)); then
  echo "setup-debian.sh: all needed packages are installed (${packages[*]})"
else
  admin_line="apt-get install --no-install-recommends ${missing[*]}"
  ! need_locale || admin_line+=" && $locale_line"
  echo "setup-debian.sh: installing ${missing[*]}"
  as_root_or_ask "$admin_line" apt-get update -qq
  # Passed as an argument: sudo does not hand the caller's environment on.
  as_root_or_ask "$admin_line" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
    --no-install-recommends "${missing[@]}"
fi

# The window tests run under de_DE.UTF-8 to see a "," decimal separator; the image may have
# only the C locales. localedef writes the one locale into the system's locale archive.
if need_locale; then
  echo "setup-debian.sh: generating the locale de_DE.UTF-8"
  as_root_or_ask "$locale_line" localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
