#!/usr/bin/env bash
# Times the whole process of one minimum-curvature job: 2,000 random points onto
# 501 x 501 nodes ("open-random", then "min-curvature" with the layout keys), the batch
# mode from start to exit, best of RUNS runs (default 3). When GMT is installed its
# `gmt surface` grids the same points onto the same nodes (tension 0, the minimum
# curvature surface) as a side-by-side reference, and the ratios are printed. The jobs:
# the default solver, solver=multigrid, and solver=multigrid with no diagnostic files.
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
# Three jobs: the default solver (the direct factorisation at this size); the multigrid
# solver; the multigrid solver without the diagnostic files (gmt writes none).
printf 'open-random points.xyz\nmin-curvature xmin=0 ymin=0 xmax=500 ymax=500 dx=1 dy=1\n' > direct.txt
printf 'open-random points.xyz\nsurface-options solver=multigrid\nmin-curvature xmin=0 ymin=0 xmax=500 ymax=500 dx=1 dy=1\n' \
  > multigrid.txt
printf 'preferences diagnostic-files=no\nopen-random points.xyz\nsurface-options solver=multigrid\nmin-curvature xmin=0 ymin=0 xmax=500 ymax=500 dx=1 dy=1\n' \
  > quiet.txt

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

# Each run starts from a fresh profile, so no option of an earlier job carries over.
run_job() {
  rm -f profile.ini
  "$exe" --batch "$1" --profile profile.ini
}

if command -v gmt > /dev/null; then
  read -r gmt gmtCpu < <(best_of gmt surface points.xyz -R0/500/0/500 -I1 -T0 -Gsurface.nc)
else
  gmt="" gmtCpu=""
  echo "gmt is not installed: no reference time (apt-get install gmt gmt-gshhg-low)"
fi
echo "min-curvature, 2000 points onto 501 x 501 nodes, whole process, best of $runs (seconds; cpu = user + system)"
printf '%-48s %8s %8s %10s %10s\n' "" wall cpu "wall/gmt" "cpu/gmt"
report() {
  local name=$1 wall=$2 cpu=$3
  if [ -n "$gmt" ]; then
    awk -v n="$name" -v a="$wall" -v c="$cpu" -v b="$gmt" -v d="$gmtCpu" \
      'BEGIN { printf "%-48s %8.3f %8.3f %10.2f %10.2f\n", n, a, c, a / b, (d > 0 ? c / d : 0) }'
  else
    awk -v n="$name" -v a="$wall" -v c="$cpu" 'BEGIN { printf "%-48s %8.3f %8.3f\n", n, a, c }'
  fi
}
[ -n "$gmt" ] && report "gmt surface -T0" "$gmt" "$gmtCpu"
for job in direct multigrid quiet; do
  case $job in
    direct) name="gridora, default solver (direct)" ;;
    multigrid) name="gridora, solver=multigrid" ;;
    quiet) name="gridora, solver=multigrid, diagnostic-files=no" ;;
  esac
  read -r wall cpu < <(best_of run_job "$job.txt")
  report "$name" "$wall" "$cpu"
done
