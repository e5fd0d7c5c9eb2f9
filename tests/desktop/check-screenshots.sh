#!/usr/bin/env bash
# Run inside an X session of its own (tools/desktop-session.sh --size 800x640): takes the
# screenshots of the four pages with tools/screenshots.sh into FOLDER and compares each, pixel for
# pixel, with the one in docs/screenshots. Any difference fails; the shots stay in FOLDER.
# Usage: check-screenshots.sh PROGRAM FOLDER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
program=$1 folder=$2
rm -rf "$folder"
bash "$root/tools/screenshots.sh" --in-session "$program" "$folder" >/dev/null
status=0
for expected in "$root"/docs/screenshots/*.png; do
  shot=$folder/$(basename "$expected")
  # compare prints the number of differing pixels; it exits 1 when some differ, 2 when the two
  # cannot be compared (a missing shot, another size).
  if differing=$(compare -metric AE "$expected" "$shot" null: 2>&1); then
    echo "same: $(basename "$expected")"
  else
    echo "FAIL $(basename "$expected"): $differing pixels differ from docs/screenshots ($shot)"
    status=1
  fi
done
exit $status
