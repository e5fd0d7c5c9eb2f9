#!/usr/bin/env bash
# Checks that a man page renders cleanly and names itself properly.
#
#   lint-man-page.sh PAGE VERSION
#
# groff and man(1) render it without a warning, lexgrog reads a "name - summary" line from its
# NAME section (as mandb does for apropos and whatis), the page is plain ASCII (other characters
# are written as groff escapes) and its title line names Gustrule VERSION.
set -u
page=$1 version=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/checks.sh"

for tool in groff lexgrog man; do
  command -v "$tool" >/dev/null || { echo "$tool is missing (groff-base, man-db)"; exit 1; }
done

# Runs "$@" and succeeds when it succeeds without a word on standard error.
silent_success() {
  local errors
  errors=$("$@" 2>&1 >/dev/null) && [[ -z $errors ]] && return 0
  printf '%s\n' "$errors"
  return 1
}
check "groff renders it without warnings" silent_success groff -man -ww -z "$page"
check "man renders it without warnings" silent_success env MANWIDTH=80 LC_ALL=C.UTF-8 \
  man --warnings -l "$page"

command_name=$(basename "$page" .1)
whatis_line() {
  local line
  line=$(lexgrog "$page") || return 1
  local want="^[^:]+: \"$command_name - [^\"]+\"\$"
  [[ $line =~ $want ]] || { echo "lexgrog: $line"; return 1; }
}
check "lexgrog reads \"$command_name - ...\" from NAME" whatis_line
check "the page is plain ASCII" bash -c "! LC_ALL=C grep -n '[^[:print:][:space:]]' '$page'"
title_line() {
  local title
  title=$(grep -m1 '^\.TH ' "$page")
  local want="^\\.TH ${command_name^^} 1 [0-9]{4}-[0-9]{2}-[0-9]{2} \"Gustrule ${version//./\\.}\" "
  [[ $title =~ $want ]] && return 0
  echo "title line: $title"
  return 1
}
check "the title line is section 1 of Gustrule $version" title_line

finish
