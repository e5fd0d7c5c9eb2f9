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
expect_usage "size: zero flow" "FLOW '0' is not above zero" -- size 0 1 spiral --max-velocity 5
expect_usage "size: negative length" "LENGTH '-5' is not above zero" \
  -- size 1 -5 spiral --max-velocity 5
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
expect_usage "size: --json without --schedule" "--json goes only with --schedule" \
  -- size 1 1 spiral --max-velocity 5 --json
expect_usage "size: --tsv and --csv" "--tsv, --csv and --json exclude each other" \
  -- size --schedule x --max-velocity 5 --csv --tsv
expect_usage "size: --output-delimiter without --csv" "--output-delimiter goes only with --csv" \
  -- size --schedule x --max-velocity 5 --output-delimiter ';'
expect_usage "size: --input-delimiter" "--input-delimiter is ',', ';' or tab" \
  -- size --schedule x --input-delimiter '|'
expect_usage "size: --type" "--type is spiral or flexible" -- size --schedule x --type oval
expect "size: no such file" 2 "" "gustrule-cli: $work/none.csv: No such file or directory" \
  -- size --schedule "$work/none.csv" --max-velocity 5
expect "size: a folder" 2 "" "gustrule-cli: $work: Is a directory" \
  -- size --schedule "$work" --max-velocity 5

# A schedule: each section's line shows its input, its results and its status; each failure is
# told with the file and the line where its record begins, then a summary.
printf '%s\r\n' "Section,Flow,max_velocity,Type" "#1 riser,183.7,,flexible" "\"B,"  "2\",x" \
  "C,245.63" "" "D,0" "E,183.7,0.05" "F,183.7,,spiral,extra" >"$work/mixed.csv"
empty13=$(printf '\t%.0s' {1..13})
mixed_out="Section${T}Flow${T}max_velocity${T}Type${T}$round_head${T}status"
mixed_out+=$'\n'"#1 riser${T}183.7${T}${T}flexible${T}$flexible_300${T}ok"
mixed_out+=$'\n'"B,  2${T}x${T}${T}$empty13${T}flow 'x' is not a number"
mixed_out+=$'\n'"C${T}245.63${T}${T}${T}$round_300${T}ok"
mixed_out+=$'\n'"D${T}0${T}${T}$empty13${T}flow '0' is not above zero"
mixed_out+=$'\n'"E${T}183.7${T}0.05${T}$empty13${T}$no_size"
mixed_out+=$'\n'"F${T}183.7${T}${T}spiral$empty13${T}5 fields, the header has 4"
mixed_err() {
  printf 'gustrule-cli: %s:%s\n' "$1" "3: flow 'x' is not a number" "$1" "7: flow '0' is not above zero" \
    "$1" "8: $no_size" "$1" "9: 5 fields, the header has 4"
  printf 'gustrule-cli: 2 sections sized, 4 failed'
}
expect "schedule with bad lines among good ones" 1 "$mixed_out" "$(mixed_err "$work/mixed.csv")" \
  -- size --schedule "$work/mixed.csv" --max-friction 1 --max-velocity 5 --tsv
expect "schedule from standard input" 1 "$mixed_out" "$(mixed_err -)" \
  -- size --schedule - --max-friction 1 --max-velocity 5 --tsv <"$work/mixed.csv"
printf '%s\n' 'Abschnitt;Flow (l/s);max_velocity' '=A1;183,7;5' >"$work/german.csv"
round_250_semicolons=${round_250//./,}
expect_line "schedule for a German spreadsheet" 2 \
  "\"'=A1\";183,7;5;${round_250_semicolons//$T/;};ok" \
  -- size --schedule "$work/german.csv" --decimal-separator , --csv --output-delimiter ';'
expect_usage "schedule with a misspelt column" "-:1: unknown column 'Lenght': did you mean 'length'?" \
  -- size --schedule - --max-velocity 5 <<<"flow,Lenght"
expect_usage "a header that is not one" \
  "/dev/zero:1: the header line is longer than 1048576 bytes" \
  -- size --schedule /dev/zero --max-velocity 5
{
  echo flow
  head -c 10000000 /dev/zero | tr '\0' 1
} >"$work/long.csv"
expect "a 10 MB line stops the reading" 1 "flow${T}$round_head${T}status" \
  "gustrule-cli: $work/long.csv:2: a record longer than 1048576 bytes" \
  -- size --schedule "$work/long.csv" --max-velocity 5 --tsv

TMPDIR=$work/none expect "the aligned table needs a temporary file" 1 "" \
  "gustrule-cli: cannot make a temporary file: No such file or directory" \
  -- size --schedule "$work/german.csv" --max-velocity 5
expect "other forms do not" 1 \
  "Abschnitt${T}Flow (l/s)${T}max_velocity${T}$round_head${T}status"$'\n'"=A1${T}183,7${T}5$empty13${T}flow '183,7' is not a number" \
  "gustrule-cli: $work/german.csv:2: flow '183,7' is not a number"$'\n'"gustrule-cli: 0 sections sized, 1 failed" \
  -- size --schedule "$work/german.csv" --tsv

# Memory stays bounded, whatever the size: the schedule is read and written line by line (the
# aligned table through a temporary file). 10 MB of sections with long names take well under
# 30 MB. Not under the sanitizers, whose shadow memory is counted too.
if [[ ${2-} != sanitized ]]; then
  awk 'BEGIN { name = sprintf("%2000s", ""); gsub(/ /, "x", name); print "section,flow"
               for (i = 0; i < 5000; i++) print name i "," 20 + i % 3000 }' >"$work/large.csv"
  for mode in --tsv ""; do
    peak=$(/usr/bin/time -f %M "$cli" size --schedule "$work/large.csv" --max-velocity 5 $mode \
      2>&1 >/dev/null)
    verdict "memory of 10 MB of sections ${mode:-aligned}" "$( ((peak < 30000)) && echo yes)" \
      "  peak $peak KB"
  done
fi

expect_usage "unknown subcommand" "unknown subcommand 'square'" -- square 1 2
expect_usage "missing values" "round takes 3 values" -- round 183.7 1
expect_usage "bad duct type" "the duct type is spiral or flexible" -- round 183.7 1 oval
expect_usage "separator of two characters" "--decimal-separator takes exactly one character" \
  -- convert 1 l/s --decimal-separator ab
expect_usage "separator missing" "--decimal-separator needs a character" \
  -- convert 1 l/s --decimal-separator
expect_usage "unknown option" "unknown option '--bogus'" -- round 1 1 spiral --bogus
expect_usage "an unknown option is quoted escaped" "unknown option '--\\x1B[2J'" -- $'--\e[2J'
expect_usage "an option of size" "--csv is not an option of round" -- round 1 1 spiral --csv
expect_usage "a switch takes no value" "unknown option '--tsv=yes'" -- round 1 1 spiral --tsv=yes
expect_usage "no arguments" "no subcommand given" --
expect_usage "-h after -- is a value" "unknown subcommand '-h'" -- -- -h

# batch: each line's output is what a run of its own writes to standard output, then to standard
# error, then the status line; a line starts from the same defaults as a run of its own.
batch_lines=("convert${T}1,5${T}m³/s${T}--decimal-separator${T},${T}--tsv"
  "convert${T}1,5${T}m³/s" "rect${T}183.7${T}-212${T}212${T}1"
  "size${T} 183.7 ${T}1${T}spiral${T}--max-velocity${T}5" "size${T}1${T}${T}spiral${T}--max-friction${T}1"
  "round${T}1${T}1${T}oval" "" "-h")
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
{
  printf 'convert\t1\tl/s\n'
  head -c 1100000 /dev/zero
} >"$work/long-batch"
expect "batch: a line longer than 1 MiB ends it" 1 \
  "l/s   m³/s  m³/min  m³/hr"$'\n'"1.00  0.00  0.06    3.60"$'\n\036'" status 0" \
  "gustrule-cli: -:2: a line longer than 1048576 bytes" -- batch <"$work/long-batch"
expect "batch: no schedule from the batch's input" 0 \
  "gustrule-cli: size --schedule does not run in a batch
Try 'gustrule-cli size --help'."$'\n\036'" status 2" "" \
  -- batch <<<"size${T}--schedule${T}-${T}--max-velocity${T}5"

# A failed write is a failure of every subcommand, whether the disk is full or standard output
# is closed; a reader that has gone ends the program at once, without a message.
write_checks=("--help" "--version" "round${T}1${T}1${T}spiral" "rect${T}1${T}2${T}3${T}4"
  "convert${T}1${T}l/s" "size${T}1${T}1${T}spiral${T}--max-velocity${T}5" "size${T}--help" "batch")
for line in "${write_checks[@]}"; do
  write_input="convert${T}1${T}l/s"
  [[ $line == size*--schedule* ]] && write_input=$'flow\n183.7'
  mapfile -t -d "$T" args < <(printf '%s' "$line")
  for target in full closed; do
    if [[ $target == full ]]; then
      "$cli" "${args[@]}" >/dev/full 2>"$err_file" <<<"$write_input"
    else
      "$cli" "${args[@]}" >&- 2>"$err_file" <<<"$write_input"
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
