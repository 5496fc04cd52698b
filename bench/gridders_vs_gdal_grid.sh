#!/usr/bin/env bash
# The two jobs of gridders_bench beside gdal_grid's: 1,000,000 random points onto
# 1001 x 1001 nodes (spacing 10 over [0, 10000]^2), by inverse distance from the 12
# nearest points and by linear interpolation on the Delaunay triangulation.
#
#   bench/gridders_vs_gdal_grid.sh [BUILD_DIR]     (default: build)
#
# gdal_grid is timed as a whole process (reading the points, its index, the grid and
# writing a GeoTIFF), ours as the benchmark's job (index and grid, the points in
# memory); best of 3 each. gdal_grid's fixed cost (reading the points onto one node)
# is printed too, so either reading of the ratio can be made. Both use every core.
set -euo pipefail

build=${1:-build}
bench=$build/bench/gridders_bench
for tool in gdal_grid ogr2ogr awk; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed (Debian: gdal-bin)"; exit 1; }
done
[ -x "$bench" ] || { echo "$bench not built (ninja -C $build gridders_bench)"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export GDAL_NUM_THREADS=ALL_CPUS

# The benchmark's field, from awk's generator: the same size and spread of points.
awk 'BEGIN { srand(12345); print "x,y,z";
  for (i = 0; i < 1000000; i++) { x = 10000 * rand(); y = 10000 * rand();
    printf "%.6f,%.6f,%.6f\n", x, y, 100 + 20 * sin(x / 1500) * cos(y / 2000) + rand() - 0.5 } }' >"$work/points.csv"
ogr2ogr -f GPKG "$work/points.gpkg" "$work/points.csv" -nln points \
  -oo X_POSSIBLE_NAMES=x -oo Y_POSSIBLE_NAMES=y -oo AUTODETECT_TYPE=YES

now() { date +%s.%N; }
# Best wall time in seconds of three runs of a command.
best_of_3() {
  local best="" start end
  for _ in 1 2 3; do
    start=$(now)
    "$@" >/dev/null
    end=$(now)
    best=$(awk -v b="$best" -v s="$start" -v e="$end" 'BEGIN { t = e - s; print (b == "" || t < b) ? t : b }')
  done
  echo "$best"
}
# Nodes at 0, 10, ..., 10000: the pixel centres of a 1001 x 1001 raster.
gdal_job() {
  gdal_grid -q -of GTiff -ot Float32 -zfield z -l points -txe -5 10005 -tye -5 10005 -outsize "$2" "$2" \
    -a "$1" "$work/points.gpkg" "$work/grid.tif"
}
# Best of 3 of one benchmark, in seconds.
ours() {
  "$bench" --benchmark_filter="^$1/" --benchmark_repetitions=3 --benchmark_format=csv 2>/dev/null |
    awk -F, '/^"[A-Za-z0-9]+\/iterations:1\/real_time",/ { t = $3 / 1000; if (b == "" || t < b) b = t }
             END { print b }'
}

fixed=$(best_of_3 gdal_job "nearest:nodata=-9999" 1)
echo "gdal_grid reading the points onto one node: ${fixed} s"
# gdal_grid's invdistnn takes the max_points nearest within its radius, and its time grows
# with the points inside: 40 holds about 50, so every node but those in the corners has
# its 12 nearest.
for job in "InverseDistance12 invdistnn:power=2:radius=40:max_points=12:nodata=-9999" \
           "LinearTriangulation linear:radius=0:nodata=-9999"; do
  name=${job%% *}
  algorithm=${job#* }
  theirs=$(best_of_3 gdal_job "$algorithm" 1001)
  mine=$(ours "$name")
  awk -v n="$name" -v m="$mine" -v t="$theirs" -v f="$fixed" 'BEGIN {
    printf "%-20s gridora %.3f s   gdal_grid %.3f s (%.3f s without reading)   ratio %.2f (%.2f)\n",
      n, m, t, t - f, m / t, (t - f > 0 ? m / (t - f) : 0) }'
done
