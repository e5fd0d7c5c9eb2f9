#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks that exactly the expected files are there
# and that they fit together.
#
#   check-install-tree.sh BUILD_DIR [--no-ui]    (--no-ui: a build without the window program)
set -u
build=$1
ui=yes
[[ ${2:-} == --no-ui ]] && ui=no
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
source "$here/checks.sh"

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
if ! cmake --install "$build" --prefix "$prefix" >"$prefix.log" 2>&1; then
  cat "$prefix.log"
  rm -f "$prefix.log"
  echo "0 passed, 1 failed"
  exit 1
fi
rm -f "$prefix.log"
cd "$prefix"

man=share/man/man1/gustrule-cli.1.gz
[[ -e $man ]] || man=share/man/man1/gustrule-cli.1 # built where gzip is missing
expected=(bin/gustrule-cli "$man")
if [[ $ui == yes ]]; then
  expected+=(bin/gustrule share/applications/gustrule.desktop
    share/icons/hicolor/32x32/apps/gustrule.png share/icons/hicolor/64x64/apps/gustrule.png
    share/icons/hicolor/128x128/apps/gustrule.png)
fi
want=$(printf '%s\n' "${expected[@]}" | sort)
got=$(find . -type f -printf '%P\n' | sort)
same_files() {
  [[ $got == "$want" ]] || diff <(echo "$want") <(echo "$got") | grep '^[<>]'
  [[ $got == "$want" ]]
}
check "the installed files (< expected, > installed)" same_files

check "bin/gustrule-cli is executable" [ -x bin/gustrule-cli ]
[[ $ui == no ]] || check "bin/gustrule is executable" [ -x bin/gustrule ]
check "the installed gustrule-cli runs" bash -c 'bin/gustrule-cli convert 1 l/s >/dev/null'

same_man_page() {
  if [[ $man == *.gz ]]; then
    gzip -t "$man" && zcat "$man" | cmp -s - "$source_dir/packaging/gustrule-cli.1"
  else
    cmp -s "$man" "$source_dir/packaging/gustrule-cli.1"
  fi
}
check "the man page is packaging/gustrule-cli.1" same_man_page

if [[ $ui == yes ]]; then
  # A PNG's width and height are the big-endian words at bytes 16 and 20.
  png_size() {
    local bytes
    bytes=$(od -An -tx1 -j16 -N8 "$1" | tr -d ' \n')
    echo "$((16#${bytes:0:8}))x$((16#${bytes:8:8}))"
  }
  for size in 32 64 128; do
    icon=share/icons/hicolor/${size}x$size/apps/gustrule.png
    [[ -f $icon ]] || continue
    check "$icon is a ${size}x$size PNG" [ "$(head -c8 "$icon" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a -a "$(png_size "$icon")" = "${size}x$size" ]
  done

  entry=share/applications/gustrule.desktop
  value() { sed -n "s/^$1=//p" "$entry"; }
  check "the desktop entry starts bin/gustrule with no arguments" [ "$(value Exec)" = gustrule ]
  check "the desktop entry's icon is the installed one" [ "$(value Icon)" = gustrule ]
  check "the desktop entry's name is the window title" [ "$(value Name)" = "Quellborn Gustrule" ]
  check "the desktop entry needs no terminal" [ "$(value Terminal)" = false ]
fi

finish
