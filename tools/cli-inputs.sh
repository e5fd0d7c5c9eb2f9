#!/usr/bin/env bash
# Prints COUNT pseudo-random gustrule-cli argument lists, one per line, the arguments separated by
# the unit separator (0x1F; an empty text stays an argument). The texts mix ordinary entries
# with the reader's edge cases: signs, lone separators, exponents, blanks, unreadable texts,
# huge values. The same COUNT and SEED give the same lines. Used by tools/compare-cli.sh,
# tools/compare-arithmetic.sh and tools/build-arm64.sh.
# Usage: tools/cli-inputs.sh COUNT [SEED]   (SEED 1 by default)
set -euo pipefail
count=$1 seed=${2:-1}
awk -v n="$count" -v seed="$seed" 'BEGIN {
  srand(seed)
  split("0|-0|.|-.|1e|2E+|3e-|1e-400|2e1000|1.8e308|2e10000||abc| 7 |0x10|1,5|5e-3|1E3", odd, "|")
  split("l/s|m³/s|m³/min|m³/hr|m3/s|L/S| l/s|Select Volume Units", units, "|")
  for (i = 0; i < n; i++) {
    kind = int(rand() * 4)
    if (kind < 2) {
      printf "round\037%s\037%s\037%s", text(), text(), kind == 0 ? "spiral" : "flexible"
    } else if (kind == 2) {
      printf "rect\037%s\037%s\037%s\037%s", text(), text(), text(), text()
    } else {
      printf "convert\037%s\037%s", text(), units[1 + int(rand() * 8)]
    }
    # A quarter of the runs read with "," as the separator; half print tab-separated.
    printf "%s\037%s\n", rand() < 0.25 ? "\037--decimal-separator\037," : "",
      rand() < 0.5 ? "--tsv" : "--"
  }
}
function text(  r, sign, digits, j, t) {
  r = rand()
  if (r < 0.15) return odd[1 + int(rand() * 18)]
  sign = rand() < 0.1 ? "-" : ""
  if (r < 0.55) return sign int(rand() * 5000)
  digits = 1 + int(rand() * 8)
  t = ""
  for (j = 0; j < digits; j++) t = t int(rand() * 10)
  if (r < 0.85) return sign substr(t, 1, 1 + int(rand() * digits)) (rand() < 0.5 ? "." : ",") t
  return sign t "e" (rand() < 0.5 ? "-" : "") int(rand() * 40)
}'
