#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing Varnex needs.
# Runs as root (CI, fresh machines) or through sudo; does nothing when every
# package is already there.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev python3
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev nlohmann-json3-dev
  # Maps for a GIS and background maps: GDAL (gdal-bin for checking the
  # written files by hand and in the package check).
  libgdal-dev gdal-bin
  # The Python module and its tests, studies on Dask, and the scripted
  # studies under GNU parallel.
  pybind11-dev python3-dev python3-numpy python3-pandas python3-pytest python3-distributed
  python3-matplotlib parallel
  # The desktop program, and its tests on the offscreen platform (which
  # needs fonts to lay out and draw text).
  qt6-base-dev qt6-charts-dev qt6-svg-dev libqt6opengl6-dev libdxflib-dev
  fontconfig fonts-dejavu-core
  # The report tests turn their PDF pages into pictures to look at.
  poppler-utils
  # Building the Debian package (dependencies from the linked libraries).
  dpkg-dev file
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
