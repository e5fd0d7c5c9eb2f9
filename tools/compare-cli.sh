#!/usr/bin/env bash
# Runs two builds of gustrule-cli on the same few thousand pseudo-random inputs and fails on the
# first difference in standard output, standard error or exit status. Used to show that a change
# of the code leaves every result byte-identical.
# Usage: tools/compare-cli.sh OLD_CLI NEW_CLI [COUNT] [SEED]   (COUNT 3000, SEED 1 by default)
set -euo pipefail
if (($# < 2)); then
  echo "usage: tools/compare-cli.sh OLD_CLI NEW_CLI [COUNT] [SEED]" >&2
  exit 2
fi
old=$1 new=$2 count=${3:-3000} seed=${4:-1}

# One argument list per line, fields separated by the unit separator.
inputs() {
  bash "$(dirname "$0")/cli-inputs.sh" "$count" "$seed"
}

run() {
  local cli=$1
  shift
  local status=0
  "$cli" "$@" 2>&1 || status=$?
  echo "exit $status"
}

compared=0
while IFS=$'\037' read -r -a args; do
  want=$(run "$old" "${args[@]}")
  got=$(run "$new" "${args[@]}")
  if [[ $want != "$got" ]]; then
    printf 'compare-cli.sh: outputs differ for: gustrule-cli' >&2
    printf ' %q' "${args[@]}" >&2
    printf '\n--- %s\n%s\n+++ %s\n%s\n' "$old" "$want" "$new" "$got" >&2
    exit 1
  fi
  compared=$((compared + 1))
done < <(inputs)
echo "compare-cli.sh: $compared inputs, outputs byte-identical"
