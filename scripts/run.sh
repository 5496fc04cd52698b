#!/usr/bin/env bash
# Sets up, builds and runs Gridora's main job: the batch demo on the bundled volcano
# data (writing the map, the document and the XML file into demo-output/), then, when
# a display is available, the window on the document the demo made.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target gridora

mkdir -p demo-output
cd demo-output
../build/app/gridora --batch ../examples/demo.txt --profile demo-profile.ini
echo "demo-output/: $(ls | tr '\n' ' ')"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  document=""
  [ -f volcano.snp ] && document=volcano.snp
  exec ../build/app/gridora $document
fi
