# Sourced by the package checks: counts named checks and prints the closing line CI reads.
failures=0
passes=0

check() { # NAME COMMAND...
  # Not "name": the command sees this function's locals, and may use that name itself.
  local check_title=$1
  shift
  if "$@"; then
    passes=$((passes + 1))
  else
    printf 'FAIL %s\n' "$check_title"
    failures=$((failures + 1))
  fi
}

finish() {
  printf '%d passed, %d failed\n' "$passes" "$failures"
  ((failures == 0))
}
