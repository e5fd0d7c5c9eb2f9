#!/usr/bin/env bash
# Takes a screenshot of each page of the window under Xvfb, as a user sees it, into
# docs/screenshots/ (or the folder given). Packages: tools/setup-debian.sh desktop.
# Usage: tools/screenshots.sh [path/to/gustrule] [output folder]
#
# The window runs in an X session of its own (tools/desktop-session.sh), without a window
# manager, so the pictures show the window's client area only and never another server's screen.
set -euo pipefail
cd "$(dirname "$0")/.."
if [[ ${1:-} != --in-session ]]; then
  program=${1:-build/release/ui/gustrule}
  out=${2:-docs/screenshots}
  [[ -x $program ]] || { echo "screenshots.sh: no program $program (build it first)" >&2; exit 1; }
  exec bash tools/desktop-session.sh --size 800x640 -- bash "$0" --in-session "$program" "$out"
fi

# Inside the session: DISPLAY is set and the session ends the program afterwards.
program=$2
out=$3
mkdir -p "$out"
"$program" >/dev/null 2>&1 &

window=""
for _ in $(seq 50); do
  window=$(xdotool search --name '^Quellborn Gustrule$' 2>/dev/null | head -n1) || true
  [[ -n $window ]] && break
  sleep 0.1
done
[[ -n $window ]] || { echo "screenshots.sh: the window did not appear" >&2; exit 1; }
sleep 0.5

names=(round rectangular velocities conversions)
for i in "${!names[@]}"; do
  import -window "$window" "$out/${names[$i]}.png"
  # Without a window manager nothing has the input focus, which xdotool reports on every key.
  xdotool key --window "$window" ctrl+Tab 2>/dev/null
  sleep 0.4
done
echo "screenshots.sh: wrote ${names[*]/%/.png} to $out"
