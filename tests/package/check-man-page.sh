#!/usr/bin/env bash
# Checks the man page of gustrule-cli against the program itself.
#
#   check-man-page.sh help     CLI MANPAGE   the same options and subcommands as CLI --help
#   check-man-page.sh examples CLI MANPAGE   every "$ gustrule-cli ..." example prints what the
#                                            page shows, and exits as a following "$ echo $?" says;
#                                            a "$ cat FILE" example shows a file the later
#                                            examples read: it is written with the lines shown
set -u
mode=$1 cli=$2 page=$3
# The examples run in a directory of their own: the program and the page by absolute paths.
[[ $cli == */* ]] && cli=$(realpath "$cli")
page=$(realpath "$page")
failures=0
passes=0

fail() {
  printf 'FAIL %s\n' "$*"
  failures=$((failures + 1))
}

# The page with the escapes of the characters it uses replaced and font changes dropped; and as
# plain text, with the macro names of request lines dropped too.
plain_page_with_requests() {
  sed -E -e 's/\\-/-/g' -e 's/\\\(dq/"/g' -e 's/\\\(S3/³/g' -e 's/\\\(\/O/Ø/g' -e 's/\\\(de/°/g' \
    -e 's/\\f[BIRP]//g' -e 's/\\[&%]//g' "$page"
}
plain_page() {
  plain_page_with_requests | sed -E 's/^\.[A-Za-z]+ ?//'
}

# The tags of the .TP paragraphs of one section or subsection, as plain text.
section_tag_lines() {
  plain_page_with_requests | awk -v title="$1" '
    /^\.S[HS] / {inside = ($2 == title)}
    inside && after_tp {sub(/^\.[A-Za-z]+ ?/, ""); print}
    {after_tp = ($0 ~ /^\.TP/)}'
}
section_tags() {
  section_tag_lines "$1" | options_in
}

# Options: every "--name", and "--" standing alone.
options_in() {
  grep -oE -- '--[a-z][a-z-]*' | sort -u
}
has_lone_dashes() {
  grep -qE -- '(^|[^-[:alnum:]])--($|[^-[:alnum:]])'
}

check_help() {
  local help
  help=$("$cli" --help) || { fail "$cli --help exited with $?"; return; }

  # Every option of --help is described under OPTIONS, and the page names no other.
  local help_options page_options page_tags
  help_options=$(options_in <<<"$help")
  page_options=$(plain_page | options_in)
  page_tags=$(section_tags OPTIONS)
  local name text
  for name in page_tags page_options; do
    text=${!name}
    if [[ $text != "$help_options" ]]; then
      fail "options: --help has [$(echo $help_options)], $name has [$(echo $text)]"
    else
      passes=$((passes + 1))
    fi
  done
  local help_dashes=no page_dashes=no
  has_lone_dashes <<<"$help" && help_dashes=yes
  section_tag_lines OPTIONS | grep -qx -- '--' && page_dashes=yes
  if [[ $help_dashes != "$page_dashes" ]]; then
    fail "\"--\" (end of options): in --help $help_dashes, under OPTIONS $page_dashes"
  else
    passes=$((passes + 1))
  fi

  # The words from the engine's tables: each duct type of the usage lines and each flow unit of
  # convert's description is on the page too.
  local words word
  words=$(grep -oE 'LENGTH [a-z|]+' <<<"$help" | head -n 1 | cut -d' ' -f2 | tr '|' '\n')
  words+=$'\n'$(sed -n '/^  convert /{n;p;}' <<<"$help" | sed -E 's/.* into (.*)\. UNIT.*/\1/' |
    sed -E 's/,? and /, /' | tr -d ' ' | tr ',' '\n')
  for word in $words; do
    if plain_page | grep -qF -- "$word"; then
      passes=$((passes + 1))
    else
      fail "the page does not name '$word', which --help does"
    fi
  done

  # Subcommands: those of the usage lines and of the described list, in each text.
  local help_usage help_list page_synopsis page_list
  help_usage=$(grep -oE 'gustrule-cli [a-z]+' <<<"$help" | cut -d' ' -f2 | sort -u)
  help_list=$(sed -n '/^Subcommands:/,/^$/p' <<<"$help" | grep -oE '^  [a-z]+( |$)' | tr -d ' ' | sort -u)
  page_synopsis=$(plain_page | sed -n '/^SYNOPSIS/,/^DESCRIPTION/p' |
    grep -oE 'gustrule-cli [a-z]+' | cut -d' ' -f2 | sort -u)
  page_list=$(section_tag_lines Subcommands | cut -d' ' -f1 | sort -u)
  for name in help_list page_synopsis page_list; do
    text=${!name}
    if [[ -z $help_usage || $text != "$help_usage" ]]; then
      fail "subcommands: the usage of --help has [$(echo $help_usage)], $name has [$(echo $text)]"
    else
      passes=$((passes + 1))
    fi
  done
}

# run_example WORDS...: runs the program with the words after "gustrule-cli" as its arguments;
# a final "< FILE" reads standard input from FILE, as the shell would.
run_example() {
  local words=("$@") input=/dev/null
  if ((${#words[@]} >= 2)) && [[ ${words[-2]} == "<" ]]; then
    input=${words[-1]}
    words=("${words[@]:0:${#words[@]}-2}")
  fi
  "$cli" "${words[@]:1}" <"$input"
}

check_examples() {
  local examples=0 command="" expected="" status="" line in_example=no file=""
  # "$ cat FILE" writes its files into the examples' directory.
  examples_dir=$(mktemp -d) || { fail "no temporary directory"; return; }
  trap 'rm -rf "$examples_dir"' EXIT
  cd "$examples_dir" || return
  # Runs the example gathered so far and compares its output and status with the page's.
  finish() {
    [[ -n $command ]] || return 0
    examples=$((examples + 1))
    local args got got_status
    read -ra args <<<"$command"
    got=$(run_example "${args[@]}" 2>&1)
    got_status=$?
    if [[ $got != "${expected%$'\n'}" ]]; then
      fail "example '$command' prints:"$'\n'"$got"$'\n'"  the page shows:"$'\n'"${expected%$'\n'}"
    elif [[ -n $status && $got_status != "$status" ]]; then
      fail "example '$command' exits with $got_status, the page says $status"
    else
      passes=$((passes + 1))
    fi
    command="" expected="" status=""
  }
  while IFS= read -r line; do
    case $line in
      .EX) in_example=yes ;;
      .EE) finish; in_example=no file="" ;;
      *)
        [[ $in_example == yes ]] || continue
        if [[ $line == '$ echo $?' ]]; then
          IFS= read -r status
        elif [[ $line == '$ gustrule-cli '* ]]; then
          finish
          file=""
          command=${line#\$ }
        elif [[ $line =~ ^\$\ cat\ ([A-Za-z0-9._-]+)$ ]]; then
          finish
          file=${BASH_REMATCH[1]}
          : >"$file"
        elif [[ -n $file && $line != .* ]]; then
          printf '%s\n' "$line" >>"$file"
        elif [[ -n $command && $line != .* ]]; then
          expected+=$line$'\n'
        fi
        ;;
    esac
  done < <(sed -E -e 's/\\-/-/g' -e 's/\\\(S3/³/g' -e 's/\\\(\/O/Ø/g' -e 's/\\\(de/°/g' \
    -e 's/\\\(dq/"/g' -e 's/\\e/\\/g' "$page")
  # An example without "$ " shows a command alone; it must at least succeed.
  local bare
  while IFS= read -r bare; do
    local args
    read -ra args <<<"$bare"
    if run_example "${args[@]}" >/dev/null 2>&1; then
      passes=$((passes + 1))
    else
      fail "example '$bare' exits with $?"
    fi
    examples=$((examples + 1))
  done < <(sed -E -e 's/\\-/-/g' -e 's/\\\(S3/³/g' "$page" | sed -n '/^\.EX/,/^\.EE/p' | grep '^gustrule-cli ')
  ((examples >= 4)) || fail "only $examples examples found in $page"
}

case $mode in
  help) check_help ;;
  examples) check_examples ;;
  *) echo "usage: check-man-page.sh help|examples CLI MANPAGE" >&2; exit 2 ;;
esac
printf '%d passed, %d failed\n' "$passes" "$failures"
((failures == 0))
