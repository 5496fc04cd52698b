#!/usr/bin/env bash
# Builds the fuzz targets of the readers and the batch script parser with clang
# (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) and runs each for a fixed
# number of inputs, starting from its seed corpus in fuzz/corpus/. A finding stops the
# script with an error. The random seed is fixed so that a run repeats: longer runs with
# other seeds are for hunting (FUZZ_SEED=N).
# Usage: scripts/fuzz.sh [RUNS]   (default 5000 per target)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5000}

CXX=clang++ cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j "$(nproc)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
targets="snp_reader space_delimited_reader csv_reader pwri_reader batch_script table_reader"
[ -x build-fuzz/raster_reader_fuzz ] && targets="$targets raster_reader"
for target in $targets; do
  mkdir -p "$work/$target"
  cp fuzz/corpus/"$target"/* "$work/$target"/
  echo "fuzz: $target, $runs runs"
  (cd "$work" && "$OLDPWD/build-fuzz/${target}_fuzz" -runs="$runs" -max_len=4096 -rss_limit_mb=2048 \
    -print_final_stats=1 -seed="${FUZZ_SEED:-1}" "$work/$target" 2>"$work/$target.log") || {
    tail -n 40 "$work/$target.log"
    exit 1
  }
  grep -E "stat::number_of_executed_units|Done" "$work/$target.log" || true
done
