#!/usr/bin/env bash
# Checks the man page of the window program against the window itself.
#
#   check-window-man-page.sh WINDOW_CAPTIONS PAGE
#
# WINDOW_CAPTIONS is the window-captions program, which prints the texts the window shows. The
# page must have a PAGES section whose tags are the tab captions, in order and as the window
# shows them (without the blanks around them); name the window title, each menu and menu item
# and the grid's context-menu entries in bold; and describe under KEYS the page and focus keys
# and the copy shortcut the window uses. It must also say where the decimal separator comes from
# and that the program uses no files.
set -u
captions_program=$1 page=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/checks.sh"

shown=$("$captions_program") || { echo "FAIL $captions_program exited with $?"; finish; exit 1; }
# The texts of one kind, one per line, without the blanks around them.
texts_of() {
  awk -F'\t' -v kind="$1" '$1 == kind {sub(/^ +/, "", $2); sub(/ +$/, "", $2); print $2}' \
    <<<"$shown"
}

# Replaces the escapes the page uses and drops font changes.
unescape() {
  sed -E -e 's/\\-/-/g' -e 's/\\\(dq/"/g' -e 's/\\\(S3/³/g' -e 's/\\\(de/°/g' \
    -e 's/\\f[BIRP]//g' -e 's/\\[&%]//g'
}
# The tags of the .TP paragraphs of one section, split at ", " into one name per line.
section_tags() {
  unescape <"$page" | awk -v title="$1" '
    /^\.SH / {inside = (substr($0, 5) == title)}
    inside && after_tp {sub(/^\.[A-Za-z]+ ?/, ""); gsub(/"/, ""); print}
    {after_tp = ($0 ~ /^\.TP/)}' | sed 's/ *, */\n/g' | grep .
}
# The texts set in bold, one per line: the words of a .B line, and the arguments in bold of the
# alternating-font lines (.BR .BI bold first, .RB .IB bold second). An argument in double quotes
# may hold blanks; the escapes are replaced only after splitting, so \(dq is not a quote.
bold_texts() {
  awk '
    /^\.(B|BR|BI|RB|IB) / {
      macro = $1; rest = substr($0, length(macro) + 2); n = 0
      while (length(rest) > 0) {
        sub(/^ +/, "", rest)
        if (rest == "") break
        if (substr(rest, 1, 1) == "\"") {
          end = index(substr(rest, 2), "\""); if (end == 0) end = length(rest)
          args[++n] = substr(rest, 2, end - 1); rest = substr(rest, end + 2)
        } else {
          end = index(rest, " "); if (end == 0) end = length(rest) + 1
          args[++n] = substr(rest, 1, end - 1); rest = substr(rest, end + 1)
        }
      }
      if (macro == ".B") {
        line = args[1]
        for (i = 2; i <= n; i++) line = line " " args[i]
        print line
      } else {
        for (i = (macro ~ /^\.B/ ? 1 : 2); i <= n; i += 2) print args[i]
      }
    }' "$page" | unescape
}
# The whole page as plain text on one line.
page_text() {
  unescape <"$page" | sed -E 's/^\.[A-Za-z]+ ?//' | tr '\n' ' '
}

same_lines() { # WHAT EXPECTED GOT
  [[ $2 == "$3" ]] && return 0
  echo "$1: the window has [$(tr '\n' '|' <<<"$2")], the page [$(tr '\n' '|' <<<"$3")]"
  return 1
}
pages=$(texts_of page)
check "the window has four pages" [ "$(grep -c . <<<"$pages")" = 4 ]
check "the PAGES tags are the tab captions, in order" \
  same_lines "pages" "$pages" "$(section_tags PAGES)"

bold=$(bold_texts)
named_in_bold() {
  grep -qxF -- "$1" <<<"$bold" || { echo "not in bold on the page: '$1'"; return 1; }
}
while IFS= read -r text; do
  check "the page names '$text' in bold" named_in_bold "$text"
done < <(texts_of title; texts_of menu; texts_of item; texts_of grid-menu)
check "the grid has a context-menu entry" [ -n "$(texts_of grid-menu)" ]

keys=$(section_tags KEYS)
has_key() { grep -qxF -- "$1" <<<"$keys" || { echo "not a KEYS tag: '$1'"; return 1; }; }
copy_key=$(texts_of copy-key)
for key in Tab Shift+Tab Ctrl+Tab Ctrl+Shift+Tab "$copy_key"; do
  check "KEYS describes $key" has_key "$key"
done

says() { page_text | grep -qiF -- "$1" || { echo "the page never says '$1'"; return 1; }; }
check "the page says where the decimal separator comes from" \
  says "decimal separator of the user's locale"
check "the page names LC_NUMERIC" says LC_NUMERIC
check "the page says that no files are used" says "reads and writes no files"

finish
