#!/usr/bin/env bash
# Runs the built gustrule-cli and checks its output, error text and exit status.
set -u
cli=$1
failures=0
passes=0

# expect NAME STATUS STDOUT STDERR -- ARGS...
expect() {
  local name=$1 status=$2 out=$3 err=$4
  shift 5
  local got_out got_err got_status
  got_out=$("$cli" "$@" 2>/tmp/cli_test_err.$$)
  got_status=$?
  got_err=$(cat /tmp/cli_test_err.$$)
  rm -f /tmp/cli_test_err.$$
  if [[ $got_status != "$status" || $got_out != "$out" || ( $err != "*" && $got_err != "$err" ) ]]; then
    printf 'FAIL %s\n  status %s (want %s)\n  stdout:\n%s\n  want:\n%s\n  stderr: %s (want %s)\n' \
      "$name" "$got_status" "$status" "$got_out" "$out" "$got_err" "$err"
    failures=$((failures + 1))
  else
    passes=$((passes + 1))
  fi
}

T=$'\t'
round_head="Ø (mm)${T}Vel (m/s)${T}dP Pa/m${T}Total dP (Pa)${T}Vel Press (Pa)${T}90° R/D=0.5${T}90° R/D=1${T}60° R/D=0.5${T}60° R/D=1${T}45° R/D=0.5${T}45° R/D=1${T}30° R/D=0.5${T}30° R/D=1"
rect_head="Eqiv Ø (mm)${T}Vel (m/s)${T}dP Pa/m${T}Total dP (Pa)${T}Vel Press (Pa)"
conv_head="l/s${T}m³/s${T}m³/min${T}m³/hr"

out=$("$cli" round 183.7 1 spiral --tsv)
[[ $(sed -n 1p <<<"$out") == "$round_head" ]] || { echo "FAIL round heading"; failures=$((failures + 1)); }
[[ $(sed -n 2p <<<"$out") == "80${T}36.55${T}222.5${T}222.5${T}804.0${T}578.9${T}176.9${T}451.5${T}138.0${T}347.3${T}106.1${T}260.5${T}79.6" ]] ||
  { echo "FAIL round 80 mm row"; failures=$((failures + 1)); }
[[ $(wc -l <<<"$out") == 24 ]] || { echo "FAIL round line count"; failures=$((failures + 1)); }
[[ $(sed -n 2p <<<"$("$cli" round 183.7 1 flexible --tsv)") == "80${T}36.55${T}634.3${T}634.3${T}804.0${T}${T}${T}${T}${T}${T}${T}${T}" ]] ||
  { echo "FAIL flexible row"; failures=$((failures + 1)); }
passes=$((passes + 1))

expect "rect start-up row" 0 "$rect_head"$'\n'"233${T}4.09${T}1.0${T}1.0${T}10.1" "" -- rect 183.7 212 212 1 --tsv
expect "rect negative side as a value" 0 "$rect_head"$'\n'"213${T}-6.12${T}1.6${T}1.6${T}22.6" "" -- rect 183.7 -300 100 1 --tsv
expect "rect division by zero" 1 "$rect_head" "Floating point division by zero." -- rect 183.7 -212 212 1 --tsv
expect "rect marker row" 0 "$rect_head"$'\n'"?...${T}?...${T}?...${T}?...${T}?..." "" -- rect 0 212 212 1 --tsv
expect "convert litres" 0 "$conv_head"$'\n'"183.70${T}0.18${T}11.02${T}661.32" "" -- convert 183.7 l/s --tsv
expect "convert unmatched unit" 0 "$conv_head"$'\n'"0.00${T}0.00${T}0.00${T}0.00" "" -- convert 183.7 m3/s --tsv
expect "convert negative value" 0 "$conv_head"$'\n'"-1000.00${T}-1.00${T}-60.00${T}-3600.00" "" -- convert -1 m³/s --tsv
expect "comma separator" 0 "$conv_head"$'\n'"1500.00${T}1.50${T}90.00${T}5400.00" "" -- convert 1,5 m³/s --tsv --decimal-separator ,
expect "round zero flow fails before any row" 1 "$round_head" "Floating point division by zero." -- round 0 1 spiral --tsv
expect "round negative flow" 1 "$round_head" "Invalid floating point operation." -- round -5 1 spiral --tsv
expect "aligned table" 0 "Eqiv Ø (mm)  Vel (m/s)  dP Pa/m  Total dP (Pa)  Vel Press (Pa)"$'\n'"233          4.09       1.0      1.0            10.1" "" -- rect 183.7 212 212 1
expect "double dash ends options" 0 "$conv_head"$'\n'"0.00${T}0.00${T}0.00${T}0.00" "" -- convert --tsv -- --tsv l/s
expect "unknown subcommand" 2 "" "*" -- square 1 2
expect "missing values" 2 "" "*" -- round 183.7 1
expect "bad duct type" 2 "" "*" -- round 183.7 1 oval
expect "separator of two characters" 2 "" "*" -- convert 1 l/s --decimal-separator ab
expect "unknown option" 2 "" "*" -- round 1 1 spiral --csv
expect "no arguments" 2 "" "*" --
"$cli" --help | grep -q "gustrule-cli rect FLOW SIDE_A SIDE_B LENGTH" && passes=$((passes + 1)) ||
  { echo "FAIL --help"; failures=$((failures + 1)); }

echo "$passes passed, $failures failed"
[[ $failures == 0 ]]
