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

# Compressed where gzip was found at configure time, plain otherwise.
gz=.gz
[[ -e share/man/man1/gustrule-cli.1.gz ]] || gz=""
docs=share/doc/gustrule
# The lintian overrides belong to the Debian package only (check-deb.sh), not to a plain install.
expected=(bin/gustrule-cli share/man/man1/gustrule-cli.1$gz $docs/copyright
  $docs/changelog.Debian$gz)
if [[ $ui == yes ]]; then
  expected+=(bin/gustrule share/man/man1/gustrule.1$gz share/applications/gustrule.desktop
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

same_as_source() { # INSTALLED SOURCE
  [[ -e $1 ]] || return 1
  if [[ $1 == *.gz ]]; then
    gzip -t "$1" && zcat "$1" | cmp -s - "$2"
  else
    cmp -s "$1" "$2"
  fi
}
pages=(gustrule-cli)
[[ $ui == no ]] || pages+=(gustrule)
for page in "${pages[@]}"; do
  check "the man page $page.1 is packaging/$page.1" \
    same_as_source "share/man/man1/$page.1$gz" "$source_dir/packaging/$page.1"
done
check "$docs/changelog.Debian$gz is packaging/changelog" \
  same_as_source "$docs/changelog.Debian$gz" "$source_dir/packaging/changelog"
check "$docs/copyright is packaging/copyright" \
  same_as_source $docs/copyright "$source_dir/packaging/copyright"

# The licence text of the copyright file (the continuation lines of its last "License: Expat",
# "." standing for an empty line) is the permission text of LICENSE, and its years and holder
# are LICENSE's.
same_licence() {
  local licence copyright
  licence=$(sed -n '/^Permission is hereby granted/,$p' "$source_dir/LICENSE")
  copyright=$(awk '/^License: Expat$/ {text = ""; inside = 1; next}
                   inside && /^ / {text = text substr($0, 2) "\n"; next}
                   {inside = 0}
                   END {printf "%s", text}' $docs/copyright | sed 's/^\.$//')
  [[ -n $licence && $licence == "$copyright" ]] || diff <(echo "$licence") <(echo "$copyright")
}
check "the copyright file holds the MIT licence of LICENSE" same_licence
same_holder() {
  local holder
  holder=$(sed -n 's/^Copyright (c) //p' "$source_dir/LICENSE")
  grep -qxF "Copyright: $holder" $docs/copyright
}
check "the copyright file names LICENSE's years and holder" same_holder

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
