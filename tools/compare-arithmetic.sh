#!/usr/bin/env bash
# Compares the x87 and the soft arithmetic where a user sees them: gustrule-cli built with each
# runs the same generated inputs (tools/cli-inputs.sh), each build all of them in one batch, and
# the share of inputs whose output text differs is printed. For each such input it names the step
# whose last binary digit decided the difference: a third build, the soft arithmetic traced
# against the x87 unit (GUSTRULE_ARITHMETIC_TRACE), lists every ln and 2^f - 1 of the input's
# calculation with both results; the step whose x87 result, taken alone, turns the soft output
# into the x87 output is the one. All other operations agree bit for bit, which the run checks
# too: taking the x87 result at every step must give the x87 output.
# Usage: tools/compare-arithmetic.sh [COUNT] [SEED]   (COUNT 100000, SEED 1 by default)
set -euo pipefail
cd "$(dirname "$0")/.."
count=${1:-100000} seed=${2:-1}
bash tools/setup-debian.sh build >&2

# Release builds of gustrule-cli alone, in build/compare.
build() { # NAME ARITHMETIC TRACE
  cmake -S . -B "build/compare/$1" -G Ninja -DCMAKE_BUILD_TYPE=Release -DGUSTRULE_BUILD_UI=OFF \
    -DGUSTRULE_BUILD_TESTS=OFF -DGUSTRULE_ARITHMETIC="$2" -DGUSTRULE_ARITHMETIC_TRACE="$3" >&2
  cmake --build "build/compare/$1" --target gustrule-cli >&2
}
build x87 x87 OFF
build soft soft OFF
build traced soft ON
x87=build/compare/x87/cli/gustrule-cli
soft=build/compare/soft/cli/gustrule-cli
traced=build/compare/traced/cli/gustrule-cli

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bash tools/cli-inputs.sh "$count" "$seed" >"$work/inputs"
tr '\037' '\t' <"$work/inputs" >"$work/batch"

# Each input's output as one line, its lines joined by the unit separator; a batch ends each
# input's output with a line that starts with the record separator.
records() { # CLI
  "$1" batch <"$work/batch" |
    awk -v end=$'\x1e' -v join=$'\x1f' 'index($0, end) == 1 { print text $0; text = ""; next }
                                         { text = text $0 join }'
}
# The numbers of the inputs whose outputs differ; both builds run at once.
awk -v other=<(records "$soft") '{ if ((getline line < other) <= 0) line = ""
                                   if ($0 != line) print NR }' <(records "$x87") >"$work/differing"
differing=$(wc -l <"$work/differing")

run() { # CLI ARGS...: standard output and error, and the exit status
  local status=0
  "$@" 2>&1 || status=$?
  echo "status $status"
}

while read -r n; do
  IFS=$'\037' read -r -a args < <(sed -n "${n}p" "$work/inputs")
  want=$(run "$x87" "${args[@]}")
  got=$(run "$soft" "${args[@]}")
  printf '\ngustrule-cli'
  printf ' %q' "${args[@]}"
  printf '\n'
  # The first line that differs (awk reads to the end, so that paste is never cut off).
  paste -d '\n' <(printf '%s\n' "$want") <(printf '%s\n' "$got") |
    awk 'NR % 2 == 1 { x87 = $0; next }
         $0 != x87 && !shown { printf "  x87:  %s\n  soft: %s\n", x87, $0; shown = 1 }'
  GUSTRULE_TRACE_FILE="$work/steps" run "$traced" "${args[@]}" >/dev/null
  if [[ $(GUSTRULE_TRACE_X87=all run "$traced" "${args[@]}") != "$want" ]]; then
    echo "  NOT EXPLAINED by ln or 2^f-1: an operation that must agree bit for bit does not"
    continue
  fi
  deciders=()
  mapfile -t parted < <(awk -F '\t' '$7 == "differs" { print $1 }' "$work/steps")
  for step in "${parted[@]}"; do
    [[ $(GUSTRULE_TRACE_X87=$step run "$traced" "${args[@]}") == "$want" ]] && deciders+=("$step")
  done
  if ((${#deciders[@]} == 0)); then
    deciders=("${parted[@]}")
    echo "  decided by the steps ${deciders[*]} together:"
  fi
  total=$(wc -l <"$work/steps")
  for step in "${deciders[@]}"; do
    awk -F '\t' -v step="$step" -v total="$total" '$1 == step {
      printf "  decided by step %s of %s: %s of %s%s\n    x87  %s\n    soft %s\n",
        $1, total, $2, $4, $3 == "" ? "" : " in " $3, $6, $5 }' "$work/steps"
  done
done <"$work/differing"

awk -v n="$count" -v d="$differing" 'BEGIN {
  printf "\ncompare-arithmetic.sh: %d inputs, %d outputs differ between x87 and soft", n, d
  printf " (%.2f in 10,000)\n", (n > 0 ? d * 10000 / n : 0) }'
