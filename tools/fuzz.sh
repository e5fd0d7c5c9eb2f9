#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a while on its seed corpus.
# Usage: tools/fuzz.sh [seconds per target, default 20]
# Inputs the fuzzers find are kept in build/fuzz/tests/fuzz/corpus/<target>/; a crashing input
# is written to build/fuzz/tests/fuzz/artifacts/<target>/. Exits non-zero when a target crashed.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-20}
if ! [[ $seconds =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: tools/fuzz.sh [seconds]" >&2
  exit 2
fi

bash tools/setup-debian.sh fuzz

build=build/fuzz
targets=(read_number format_fixed calculations schedule)
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DGUSTRULE_FUZZ=ON -DGUSTRULE_BUILD_UI=OFF \
  -DGUSTRULE_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target "${targets[@]/#/fuzz_}"

dir=$build/tests/fuzz
crashed=0
summary=()
for t in "${targets[@]}"; do
  mkdir -p "$dir/corpus/$t" "$dir/artifacts/$t"
  log=$dir/fuzz_$t.log
  echo "fuzz.sh: running fuzz_$t for ${seconds}s (log: $log)"
  status=0
  "$dir/fuzz_$t" -max_total_time="$seconds" -rss_limit_mb=2048 \
    -artifact_prefix="$dir/artifacts/$t/" \
    "$dir/corpus/$t" "tests/fuzz/corpus/$t" >"$log" 2>&1 || status=$?
  # libFuzzer ends a completed run with "Done N runs in S second(s)"; after a crash the last
  # progress line "#N ..." is the best count there is.
  runs=$(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$log" | tail -n 1)
  if [[ -z $runs ]]; then
    runs=$(sed -n 's/^#\([0-9]*\).*/\1/p' "$log" | tail -n 1)
    runs="${runs:-?} (at the stop)"
  fi
  if ((status == 0)); then
    result="nothing found"
  else
    crashed=1
    artifact=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log" | tail -n 1)
    result="FOUND A FAILURE (exit $status)${artifact:+, input in $artifact}; see $log"
  fi
  summary+=("$(printf 'fuzz_%-14s %12s runs  %s' "$t" "$runs" "$result")")
done

echo
printf '%s\n' "${summary[@]}"
exit "$crashed"
