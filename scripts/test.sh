#!/usr/bin/env bash
# Builds everything (warnings are errors) and runs every test: the core and window
# tests, then the core tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

jobs=$(nproc)
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGRIDORA_WERROR=ON >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

# The window under a real X server and window manager, driven from the keyboard.
timeout -k 10 180 ./scripts/window-test.sh build/app/gridora

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DGRIDORA_SANITIZE=ON -DGRIDORA_WERROR=ON \
  -DGRIDORA_BUILD_APP=OFF -DGRIDORA_BUILD_BENCH=OFF >/dev/null
cmake --build build-sanitize -j "$jobs"
# Each shard runs its share of the core tests in one process: a sanitized process takes
# seconds to start, which one process per test would pay hundreds of times.
shards=()
for ((shard = 0; shard < jobs; ++shard)); do
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 GTEST_TOTAL_SHARDS=$jobs GTEST_SHARD_INDEX=$shard \
    timeout -k 10 1800 build-sanitize/tests/gridora_core_tests --gtest_brief=1 >"build-sanitize/shard-$shard.log" 2>&1 &
  shards+=($!)
done
failed=0
for shard in "${!shards[@]}"; do
  if ! wait "${shards[$shard]}"; then
    failed=1
    cat "build-sanitize/shard-$shard.log"
  fi
  tail -n 1 "build-sanitize/shard-$shard.log"
done
[ "$failed" = 0 ] || { echo "sanitized core tests failed" >&2; exit 1; }

# The file readers under libFuzzer, a fixed number of inputs each.
./scripts/fuzz.sh 5000
