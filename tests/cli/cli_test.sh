#!/usr/bin/env bash
# Runs the built gustrule-cli and checks its output, error text and exit status. Every check
# counts once.
set -u
cli=$1
failures=0
passes=0
err_file=$(mktemp)
trap 'rm -f "$err_file"' EXIT

# run ARGS...: sets out, err and status.
run() {
  out=$("$cli" "$@" 2>"$err_file")
  status=$?
  err=$(cat "$err_file")
}

# verdict NAME OK DETAILS: counts one check.
verdict() {
  if [[ $2 == yes ]]; then
    passes=$((passes + 1))
  else
    printf 'FAIL %s\n%s\n' "$1" "$3"
    failures=$((failures + 1))
  fi
}

# expect NAME STATUS STDOUT STDERR -- ARGS...: all three must match exactly.
expect() {
  local name=$1 want_status=$2 want_out=$3 want_err=$4 ok=no
  shift 5
  run "$@"
  [[ $status == "$want_status" && $out == "$want_out" && $err == "$want_err" ]] && ok=yes
  verdict "$name" $ok "$(printf '  status %s (want %s)\n  stdout:\n%s\n  want:\n%s\n' \
    "$status" "$want_status" "$out" "$want_out"
    printf '  stderr: %s (want %s)' "$err" "$want_err")"
}

# expect_line NAME LINE WANT -- ARGS...: line LINE of a successful run's output, "count" for
# the number of lines.
expect_line() {
  local name=$1 line=$2 want=$3 got ok=no
  shift 4
  run "$@"
  if [[ $line == count ]]; then got=$(wc -l <<<"$out"); else got=$(sed -n "${line}p" <<<"$out"); fi
  [[ $status == 0 && $got == "$want" ]] && ok=yes
  verdict "$name" $ok "$(printf '  status %s\n  got:  %s\n  want: %s' "$status" "$got" "$want")"
}

# expect_usage NAME PROBLEM -- ARGS...: exit 2, nothing on standard output, and on standard
# error "gustrule-cli: PROBLEM" followed by the usage lines.
expect_usage() {
  local name=$1 problem=$2 ok=no
  shift 3
  run "$@"
  local first=${err%%$'\n'*} rest=${err#*$'\n'}
  [[ $status == 2 && -z $out && $first == "gustrule-cli: $problem" && $rest == "$usage" ]] && ok=yes
  verdict "$name" $ok "$(printf '  status %s\n  stderr:\n%s\n  want first line: gustrule-cli: %s' \
    "$status" "$err" "$problem")"
}

T=$'\t'
round_head="Ø (mm)${T}Vel (m/s)${T}dP Pa/m${T}Total dP (Pa)${T}Vel Press (Pa)${T}90° R/D=0.5"
round_head+="${T}90° R/D=1${T}60° R/D=0.5${T}60° R/D=1${T}45° R/D=0.5${T}45° R/D=1"
round_head+="${T}30° R/D=0.5${T}30° R/D=1"
rect_head="Eqiv Ø (mm)${T}Vel (m/s)${T}dP Pa/m${T}Total dP (Pa)${T}Vel Press (Pa)"
conv_head="l/s${T}m³/s${T}m³/min${T}m³/hr"
spiral_80="80${T}36.55${T}222.5${T}222.5${T}804.0${T}578.9${T}176.9${T}451.5${T}138.0${T}347.3"
spiral_80+="${T}106.1${T}260.5${T}79.6"
flexible_80="80${T}36.55${T}634.3${T}634.3${T}804.0${T}${T}${T}${T}${T}${T}${T}${T}"

expect_line "round heading" 1 "$round_head" -- round 183.7 1 spiral --tsv
expect_line "round 80 mm row" 2 "$spiral_80" -- round 183.7 1 spiral --tsv
expect_line "round line count" count 24 -- round 183.7 1 spiral --tsv
expect_line "flexible row" 2 "$flexible_80" -- round 183.7 1 flexible --tsv

expect "rect start-up row" 0 "$rect_head"$'\n'"233${T}4.09${T}1.0${T}1.0${T}10.1" "" \
  -- rect 183.7 212 212 1 --tsv
expect "rect negative side as a value" 0 "$rect_head"$'\n'"213${T}-6.12${T}1.6${T}1.6${T}22.6" "" \
  -- rect 183.7 -300 100 1 --tsv
expect "rect division by zero" 1 "$rect_head" "Floating point division by zero." \
  -- rect 183.7 -212 212 1 --tsv
expect "rect marker row" 0 "$rect_head"$'\n'"?...${T}?...${T}?...${T}?...${T}?..." "" \
  -- rect 0 212 212 1 --tsv
expect "convert litres" 0 "$conv_head"$'\n'"183.70${T}0.18${T}11.02${T}661.32" "" \
  -- convert 183.7 l/s --tsv
expect "convert unmatched unit" 0 "$conv_head"$'\n'"0.00${T}0.00${T}0.00${T}0.00" "" \
  -- convert 183.7 m3/s --tsv
expect "convert negative value" 0 "$conv_head"$'\n'"-1000.00${T}-1.00${T}-60.00${T}-3600.00" "" \
  -- convert -1 m³/s --tsv
expect "comma separator" 0 "$conv_head"$'\n'"1500.00${T}1.50${T}90.00${T}5400.00" "" \
  -- convert 1,5 m³/s --tsv --decimal-separator ,
expect "separator given with =" 0 "$conv_head"$'\n'"1500.00${T}1.50${T}90.00${T}5400.00" "" \
  -- convert 1,5 m³/s --tsv --decimal-separator=,
expect "round zero flow fails before any row" 1 "$round_head" "Floating point division by zero." \
  -- round 0 1 spiral --tsv
expect "round negative flow" 1 "$round_head" "Invalid floating point operation." \
  -- round -5 1 spiral --tsv
expect "aligned table" 0 "Eqiv Ø (mm)  Vel (m/s)  dP Pa/m  Total dP (Pa)  Vel Press (Pa)
233          4.09       1.0      1.0            10.1" "" -- rect 183.7 212 212 1
expect "double dash ends options" 0 "$conv_head"$'\n'"0.00${T}0.00${T}0.00${T}0.00" "" \
  -- convert --tsv -- --tsv l/s

run --help
help=$out
usage=${help%%$'\n\n'*}
verdict "--help starts with the usage lines" \
  "$([[ $status == 0 && $usage == Usage:*"gustrule-cli rect FLOW SIDE_A SIDE_B LENGTH"* ]] &&
    echo yes)" "  status $status, usage:"$'\n'"$usage"
verdict "--help lists -h and --version" \
  "$([[ $help == *"  -h, --help "* && $help == *"  --version "* ]] && echo yes)" "$help"
expect "-h is --help" 0 "$help" "" -- -h
expect "--help ends the reading" 0 "$help" "" -- round --help --csv
expect "--version" 0 "gustrule-cli 1.0.0" "" -- --version
expect "--version after a subcommand" 0 "gustrule-cli 1.0.0" "" -- convert 1 --version

expect_usage "unknown subcommand" "unknown subcommand 'square'" -- square 1 2
expect_usage "missing values" "round takes 3 values" -- round 183.7 1
expect_usage "bad duct type" "the duct type is spiral or flexible" -- round 183.7 1 oval
expect_usage "separator of two characters" "--decimal-separator takes exactly one character" \
  -- convert 1 l/s --decimal-separator ab
expect_usage "separator missing" "--decimal-separator needs a character" \
  -- convert 1 l/s --decimal-separator
expect_usage "unknown option" "unknown option '--csv'" -- round 1 1 spiral --csv
expect_usage "a switch takes no value" "unknown option '--tsv=yes'" -- round 1 1 spiral --tsv=yes
expect_usage "no arguments" "no subcommand given" --
expect_usage "-h after -- is a value" "unknown subcommand '-h'" -- -- -h

echo "$passes passed, $failures failed"
[[ $failures == 0 ]]
