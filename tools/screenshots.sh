#!/usr/bin/env bash
# Takes a screenshot of each page of the window under Xvfb, as a user sees it, into
# docs/screenshots/ (or the folder given). Needs: xvfb xauth xdotool imagemagick.
# Usage: tools/screenshots.sh [path/to/gustrule] [output folder]
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-build/release/ui/gustrule}
out=${2:-docs/screenshots}
mkdir -p "$out"

display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 800x640x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$program_pid" "$xvfb" 2>/dev/null || true' EXIT
sleep 1
DISPLAY=$display "$program" >/dev/null 2>&1 &
program_pid=$!

window=""
for _ in $(seq 50); do
  window=$(DISPLAY=$display xdotool search --name '^Quellborn Gustrule$' 2>/dev/null | head -n1) || true
  [[ -n $window ]] && break
  sleep 0.1
done
[[ -n $window ]] || { echo "screenshots.sh: the window did not appear" >&2; exit 1; }
sleep 0.5

names=(round rectangular velocities conversions)
for i in "${!names[@]}"; do
  DISPLAY=$display import -window "$window" "$out/${names[$i]}.png"
  DISPLAY=$display xdotool key --window "$window" ctrl+Tab
  sleep 0.4
done
echo "screenshots.sh: wrote ${names[*]/%/.png} to $out"
