#!/usr/bin/env bash
# One command from a fresh Debian 12 machine to a working Varnex: installs the
# packages, builds the programs and runs the bundled example.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-dependencies.sh
cmake -G Ninja -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/release
scripts/preview-example.sh build/release/bin/varnex-cli examples/distribution-preview.txt
echo
echo "== Level 1 assessment of examples/level1-gasworks.json =="
build/release/bin/varnex-cli run examples/level1-gasworks.json
