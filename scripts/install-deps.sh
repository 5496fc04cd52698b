#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Gridora need.
# Safe to run again: it does nothing (and prints nothing) when all are present.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-svg-dev libqt6svg6 qt6-qpa-plugins
  libxml2-dev libxml2-utils libfmt-dev
  libsuitesparse-dev libopenblas-dev libnanoflann-dev libcgal-dev
  libgdal-dev gdal-bin
  libgtest-dev libgmock-dev libbenchmark-dev
  pybind11-dev python3-numpy python3-pytest python3-dev
  fonts-liberation fonts-droid-fallback fonts-dejavu-core
  clang libclang-rt-14-dev
  xvfb xauth openbox xdotool imagemagick x11-utils
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
