#!/usr/bin/env bash
# Runs the built gustrule-cli and checks its output, error text and exit status. Every check
# counts once.
set -u
cli=$1
failures=0
passes=0
err_file=$(mktemp)
work=$(mktemp -d) # schedule files
trap 'rm -f "$err_file"; rm -rf "$work"' EXIT

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
# error "gustrule-cli: PROBLEM" and the line that points to the help of the subcommand that the
# first argument names, or to the program's.
expect_usage() {
  local name=$1 problem=$2 ok=no help="--help"
  shift 3
  [[ ${1-} =~ ^(round|rect|convert|size|batch)$ ]] && help="$1 --help"
  run "$@"
  local want="gustrule-cli: $problem"$'\n'"Try 'gustrule-cli $help'."
  [[ $status == 2 && -z $out && $err == "$want" ]] && ok=yes
  verdict "$name" $ok "$(printf '  status %s\n  stderr:\n%s\n  want:\n%s' "$status" "$err" "$want")"
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
run rect --help
verdict "a subcommand's own help" "$([[ $status == 0 && $out == "Usage:
  gustrule-cli rect FLOW SIDE_A SIDE_B LENGTH [--tsv] [--decimal-separator C]
"* && $out == *"  --tsv "* && $out != *"--max-velocity"* ]] && echo yes)" "$out"
expect "--help ends the reading" 0 "$out" "" -- rect --help --csv
expect "--version" 0 "gustrule-cli 1.0.0" "" -- --version
expect "--version after a subcommand" 0 "gustrule-cli 1.0.0" "" -- convert 1 --version

# size: the row is the one round prints, for one duct and for each section of a schedule.
round_250=$(sed -n 8p <<<"$("$cli" round 183.7 1 spiral --tsv)")
round_300=$(sed -n 9p <<<"$("$cli" round 245.63 1 spiral --tsv)")
flexible_300=$(sed -n 9p <<<"$("$cli" round 183.7 1 flexible --tsv)")
no_size="No duct size up to 1500 mm meets the limits."
expect "size one duct" 0 "$round_head"$'\n'"$round_250" "" \
  -- size 183.7 1 spiral --max-velocity 5 --tsv
expect "size with both limits, flexible" 0 "$round_head"$'\n'"$flexible_300" "" \
  -- size --max-velocity=5 --max-friction 1 183.7 1 flexible --tsv
expect "size: 5.0039 m/s shows as 5.00 but exceeds 5" 0 "$round_head"$'\n'"$round_300" "" \
  -- size 245.63 1 spiral --max-velocity 5 --tsv
expect "size with a comma separator" 0 "$round_head"$'\n'"$round_250" "" \
  -- size 183,7 1 spiral --max-friction 1,0 --decimal-separator , --tsv
expect "size: no size qualifies" 3 "" "$no_size" -- size 183.7 1 spiral --max-velocity 0.05
expect "size: zero flow" 1 "" "Floating point division by zero." -- size 0 1 spiral --max-velocity 5
expect "size: flow beyond the double range" 1 "" "Floating point overflow." \
  -- size 2e1000 1 spiral --max-velocity 5
expect_usage "size: unreadable flow" "FLOW '12a' is not a number" \
  -- size 12a 1 spiral --max-velocity 5
expect_usage "size: unreadable length" "LENGTH '' is not a number" -- size 1 "" spiral --max-velocity 5
expect_usage "size: unreadable limit" "--max-friction '1.0' is not a number" \
  -- size 1 1 spiral --max-friction 1.0 --decimal-separator ,
expect_usage "size: a limit of zero" "--max-velocity '-0' is not above zero" \
  -- size 1 1 spiral --max-velocity -0
expect_usage "size: two values" "size takes 3 values" -- size 1 1 --max-velocity 5
expect_usage "size: no limit" "size needs --max-velocity or --max-friction" -- size 1 1 spiral
expect_usage "size: bad duct type" "the duct type is spiral or flexible" \
  -- size 1 1 Spiral --max-velocity 5
expect_usage "size: values and --schedule" "size --schedule takes no values" \
  -- size 1 1 spiral --schedule x --max-velocity 5
expect_usage "size: --csv without --schedule" "--csv goes only with --schedule" \
  -- size 1 1 spiral --max-velocity 5 --csv
expect_usage "size: --tsv and --csv" "--tsv and --csv exclude each other" \
  -- size --schedule x --max-velocity 5 --csv --tsv
expect_usage "size: --type" "--type is spiral or flexible" -- size --schedule x --type oval
expect_usage "size: no such file" "cannot read '$work/none.csv': No such file or directory" \
  -- size --schedule "$work/none.csv" --max-velocity 5

sched_head="Section${T}$round_head"
printf '%s\r\n' "Section,Flow,max_velocity,Type" "# supply" "A,183.7,,flexible" "\"B, 2\",x" \
  "C,245.63" "" "D,0" "E,183.7,0.05" "F,183.7,,spiral,extra" >"$work/mixed.csv"
mixed_out="$sched_head"$'\n'"A${T}$flexible_300"$'\n'"B, 2${T}${T}${T}${T}${T}${T}${T}${T}${T}${T}${T}"
mixed_out+="${T}${T}"$'\n'"C${T}$round_300"$'\n'"D"$(printf '\t%.0s' {1..13})$'\n'"E"
mixed_out+=$(printf '\t%.0s' {1..13})$'\n'"F"$(printf '\t%.0s' {1..13})
mixed_err="line 4: flow 'x' is not a number"$'\n'"line 7: Floating point division by zero."
mixed_err+=$'\n'"line 8: $no_size"$'\n'"line 9: 5 fields, the header has 4"
expect "schedule with bad lines among good ones" 1 "$mixed_out" "$mixed_err" \
  -- size --schedule "$work/mixed.csv" --max-friction 1 --max-velocity 5 --tsv
expect "schedule from standard input" 1 "$mixed_out" "$mixed_err" \
  -- size --schedule - --max-friction 1 --max-velocity 5 --tsv <"$work/mixed.csv"
printf '%s\n' 'section,flow' '"B, 2",183.7' '"say ""hi""",183.7' >"$work/quoted.csv"
round_250_csv=${round_250//$T/,}
expect_line "schedule as CSV: quoted where needed" 2 "\"B, 2\",$round_250_csv" \
  -- size --schedule=- --max-velocity 5 --csv <"$work/quoted.csv"
expect_line "schedule as CSV: quotes doubled" 3 "\"say \"\"hi\"\"\",$round_250_csv" \
  -- size --schedule=- --max-velocity 5 --csv <"$work/quoted.csv"
printf 'flow\tsection\n"183,7"\tone, two\n' >"$work/comma.tsv"
expect "schedule: tabs, and a comma separator" 0 "$sched_head"$'\n'"one, two${T}$round_250" "" \
  -- size --schedule "$work/comma.tsv" --max-velocity 5 --decimal-separator , --tsv
printf 'flow\n"183,7"\n183.7\n' >"$work/comma.csv"
expect "schedule: a comma decimal in a CSV is quoted" 1 \
  "$sched_head"$'\n'"${T}$round_250"$'\n'"$(printf '\t%.0s' {1..13})" \
  "line 3: flow '183.7' is not a number" \
  -- size --schedule "$work/comma.csv" --max-velocity 5 --decimal-separator , --tsv
expect_usage "schedule without a flow column" "standard input: no 'flow' column" \
  -- size --schedule - --max-velocity 5 <<<"section,Flow rate"
expect_usage "schedule with a column named twice" \
  "standard input: the column 'flow' is named twice" \
  -- size --schedule - --max-velocity 5 <<<"flow,FLOW"

expect_usage "unknown subcommand" "unknown subcommand 'square'" -- square 1 2
expect_usage "missing values" "round takes 3 values" -- round 183.7 1
expect_usage "bad duct type" "the duct type is spiral or flexible" -- round 183.7 1 oval
expect_usage "separator of two characters" "--decimal-separator takes exactly one character" \
  -- convert 1 l/s --decimal-separator ab
expect_usage "separator missing" "--decimal-separator needs a character" \
  -- convert 1 l/s --decimal-separator
expect_usage "unknown option" "unknown option '--json'" -- round 1 1 spiral --json
expect_usage "an option of size" "--csv is not an option of round" -- round 1 1 spiral --csv
expect_usage "a switch takes no value" "unknown option '--tsv=yes'" -- round 1 1 spiral --tsv=yes
expect_usage "no arguments" "no subcommand given" --
expect_usage "-h after -- is a value" "unknown subcommand '-h'" -- -- -h

# batch: each line's output is what a run of its own writes to standard output, then to standard
# error, then the status line; a line starts from the same defaults as a run of its own.
batch_lines=("convert${T}1,5${T}m³/s${T}--decimal-separator${T},${T}--tsv"
  "convert${T}1,5${T}m³/s" "rect${T}183.7${T}-212${T}212${T}1"
  "size${T} 183.7 ${T}1${T}spiral${T}--max-velocity${T}5" "round${T}1${T}1${T}oval" "" "-h")
for line in "${batch_lines[@]}"; do
  mapfile -t -d "$T" args < <(printf '%s' "$line")
  status=0
  "$cli" "${args[@]}" >"$work/out" 2>"$work/err" || status=$?
  cat "$work/out" "$work/err"
  printf '\036 status %d\n' "$status"
done >"$work/separate"
printf '%s\n' "${batch_lines[@]}" | "$cli" batch >"$work/batch" 2>"$err_file"
verdict "batch output is that of separate runs" \
  "$([[ $? == 0 && ! -s $err_file ]] && cmp -s "$work/separate" "$work/batch" && echo yes)" \
  "$(diff -a "$work/separate" "$work/batch")"
expect "batch: no schedule from the batch's input" 0 \
  "gustrule-cli: size --schedule does not run in a batch
Try 'gustrule-cli size --help'."$'\n\036'" status 2" "" \
  -- batch <<<"size${T}--schedule${T}-${T}--max-velocity${T}5"

# A failed write is a failure of every subcommand, whether the disk is full or standard output
# is closed; a reader that has gone ends the program at once, without a message.
write_checks=("--help" "--version" "round${T}1${T}1${T}spiral" "rect${T}1${T}2${T}3${T}4"
  "convert${T}1${T}l/s" "size${T}1${T}1${T}spiral${T}--max-velocity${T}5" "size${T}--help" "batch")
for line in "${write_checks[@]}"; do
  mapfile -t -d "$T" args < <(printf '%s' "$line")
  for target in full closed; do
    if [[ $target == full ]]; then
      "$cli" "${args[@]}" >/dev/full 2>"$err_file" <<<"convert${T}1${T}l/s"
    else
      "$cli" "${args[@]}" >&- 2>"$err_file" <<<"convert${T}1${T}l/s"
    fi
    status=$?
    err=$(cat "$err_file")
    want="gustrule-cli: write error: No space left on device"
    [[ $target == closed ]] && want="gustrule-cli: write error: Bad file descriptor"
    verdict "write error, $target: ${args[*]}" "$([[ $status == 1 && $err == "$want" ]] && echo yes)" \
      "  status $status, stderr: $err"
  done
done
for _ in {1..2000}; do echo "round${T}1${T}1${T}spiral"; done | "$cli" batch 2>"$err_file" | head -1 \
  >/dev/null
status=${PIPESTATUS[1]}
verdict "a closed pipe ends the program without a message" \
  "$([[ $status == 141 && ! -s $err_file ]] && echo yes)" "  status $status: $(cat "$err_file")"

echo "$passes passed, $failures failed"
[[ $failures == 0 ]]
