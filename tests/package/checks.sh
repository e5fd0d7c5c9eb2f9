# Sourced by the package checks: counts named checks and prints the closing line CI reads.
failures=0
passes=0

check() { # NAME COMMAND...
  local name=$1
  shift
  if "$@"; then
    passes=$((passes + 1))
  else
    printf 'FAIL %s\n' "$name"
    failures=$((failures + 1))
  fi
}

finish() {
  printf '%d passed, %d failed\n' "$passes" "$failures"
  ((failures == 0))
}
