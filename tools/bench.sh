#!/usr/bin/env bash
# Builds in Release and prints one table of medians: the engine, sizing a schedule, keystrokes in
# the window, the first drawing of the velocities picture, start-up and peak memory beside a
# bare Qt window, on Qt's offscreen platform and on a real X server (Xvfb), the web page
# (tools/bench-web.sh), and the engine and the schedule again with the soft arithmetic (a build of
# its own, without the window), their rows marked "(soft)".
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-debian.sh build test >&2
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DGUSTRULE_BUILD_TESTS=OFF \
  -DGUSTRULE_BUILD_BENCH=ON >&2
cmake --build build/bench >&2
b=build/bench/bench

# Google Benchmark medians over 5 repetitions, as "| name | median |" rows; MARK follows the name.
medians() { # [--mark MARK] BENCHMARK [ARGS...]
  local mark=""
  if [[ $1 == --mark ]]; then
    mark=" $2"
    shift 2
  fi
  "$@" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true 2>/dev/null |
    awk -v mark="$mark" '/_median/ { name = $1; sub(/\/iterations:[0-9]+/, "", name);
                                      sub(/_median$/, "", name);
                                      printf "| %s%s | %s %s | |\n", name, mark, $2, $3 }'
}

echo "| measurement | median | compared with |"
echo "|---|---|---|"
medians "$b/engine_bench"
medians "$b/cli_bench"
# gustrule-cli itself on the benchmark's schedule as a file: the median wall time of 5 runs,
# from process start to exit, the aligned table written to /dev/null.
schedule=build/bench/schedule-10000.csv
"$b/cli_bench" --print-schedule 10000 >"$schedule"
times=()
for _ in 1 2 3 4 5; do
  start=$(date +%s%N)
  build/bench/cli/gustrule-cli size --schedule "$schedule" --max-velocity 5 --max-friction 1 \
    >/dev/null 2>&1 || true # the sections that no size meets end it with status 1
  times+=($((($(date +%s%N) - start) / 1000)))
done
median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p)
printf '| gustrule-cli size --schedule, 10,000 sections | %d.%03d ms | |\n' \
  $((median / 1000)) $((median % 1000))
# A schedule of 1,000,000 sections (the benchmark's random mix, 32 MB) in each output form, one
# run each: the wall time, the CPU time (user and system) and the peak memory (maximum resident
# set), as GNU time measures them.
large=build/bench/schedule-1000000.csv
"$b/cli_bench" --print-schedule 1000000 >"$large"
for mode in --tsv --csv --json aligned; do
  /usr/bin/time -f '%e %U %S %M' -o build/bench/time.txt build/bench/cli/gustrule-cli size \
    --schedule "$large" --max-velocity 5 --max-friction 1 ${mode/aligned/} >/dev/null 2>&1 || true
  # GNU time writes a line about the exit status (1: some sections fail) before the figures.
  tail -n 1 build/bench/time.txt | awk -v mode="$mode" '{
    printf "| gustrule-cli size --schedule, 1,000,000 sections, %s | %s s, %.1f s CPU, peak %.1f MB | |\n",
      mode, $1, $2 + $3, $4 / 1000 }'
done
QT_QPA_PLATFORM=offscreen medians "$b/window_bench"
"$b/startup_compare" "$b/startup_probe" "$b/bare_window" 30 offscreen
# The same probe on a real X server: Xvfb, in a session of its own, on Qt's X11 platform.
bash tools/desktop-session.sh -- "$b/startup_compare" "$b/startup_probe" "$b/bare_window" 30 xcb
# The web page in headless Chromium.
bash tools/bench-web.sh
# The engine and the schedule with the soft arithmetic.
cmake -S . -B build/bench-soft -G Ninja -DCMAKE_BUILD_TYPE=Release -DGUSTRULE_BUILD_TESTS=OFF \
  -DGUSTRULE_BUILD_BENCH=ON -DGUSTRULE_BUILD_UI=OFF -DGUSTRULE_ARITHMETIC=soft >&2
cmake --build build/bench-soft >&2
medians --mark "(soft)" build/bench-soft/bench/engine_bench
medians --mark "(soft)" build/bench-soft/bench/cli_bench
echo
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
