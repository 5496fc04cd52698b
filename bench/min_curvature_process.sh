#!/usr/bin/env bash
# Times the whole process of one minimum-curvature job: 2,000 random points onto
# 501 x 501 nodes ("open-random", then "min-curvature" with the layout keys), the batch
# mode from start to exit, best of RUNS runs (default 3). When GMT is installed its
# `gmt surface` grids the same points onto the same nodes (tension 0, the minimum
# curvature surface) as a side-by-side reference, and the ratio is printed.
#
# Usage: bench/min_curvature_process.sh [PATH/TO/gridora]   (default build/app/gridora)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exe=$(readlink -f "${1:-$root/build/app/gridora}")
runs=${RUNS:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# The points: a Park-Miller generator written out, so that every awk makes the same
# numbers; a smooth surface for values.
awk 'BEGIN {
  s = 2024
  for (i = 0; i < 2000; ++i) {
    s = (16807 * s) % 2147483647; x = 500 * s / 2147483647
    s = (16807 * s) % 2147483647; y = 500 * s / 2147483647
    printf "%.4f %.4f %.4f\n", x, y, 100 * sin(x / 500 * 6) * cos(y / 500 * 4)
  }
}' > points.xyz
printf 'open-random points.xyz\nmin-curvature xmin=0 ymin=0 xmax=500 ymax=500 dx=1 dy=1\n' > job.txt

# The best of `runs` runs of the command: "WALL CPU" in seconds, the run with the least
# wall-clock time and its processor time (user + system). On a machine that others load,
# the processor time is the steadier figure.
best_of() {
  local best="" line wall cpu
  for ((run = 0; run < runs; ++run)); do
    line=$( { TIMEFORMAT='%R %U %S'; time "$@" > /dev/null 2> run-stderr.txt; } 2>&1 ) ||
      { cat run-stderr.txt >&2; return 1; }
    wall=$(echo "$line" | awk '{ print $1 }')
    cpu=$(echo "$line" | awk '{ printf "%.2f", $2 + $3 }')
    if [ -z "$best" ] || awk -v s="$wall" -v b="${best%% *}" 'BEGIN { exit !(s < b) }'; then best="$wall $cpu"; fi
  done
  echo "$best"
}

read -r gridora gridoraCpu < <(best_of "$exe" --batch job.txt --profile profile.ini)
echo "gridora min-curvature 2000 points, 501 x 501 nodes: ${gridora} s (cpu ${gridoraCpu} s), best of $runs"
if command -v gmt > /dev/null; then
  read -r gmt gmtCpu < <(best_of gmt surface points.xyz -R0/500/0/500 -I1 -T0 -Gsurface.nc)
  echo "gmt surface -T0, same points and nodes:            ${gmt} s (cpu ${gmtCpu} s), best of $runs"
  awk -v a="$gridora" -v b="$gmt" -v c="$gridoraCpu" -v d="$gmtCpu" \
    'BEGIN { printf "ratio gridora / gmt: %.2f (cpu %.2f)\n", a / b, (d > 0 ? c / d : 0) }'
else
  echo "gmt is not installed: no reference time (apt-get install gmt gmt-gshhg-low)"
fi
