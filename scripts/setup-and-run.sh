#!/usr/bin/env bash
# One command from a fresh Debian 12 machine to a working Varnex: installs the
# packages, builds the programs, previews the distributions of a typical
# source and runs the bundled "Level 3" example.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-dependencies.sh
cmake -G Ninja -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/release
scripts/preview-example.sh build/release/bin/varnex-cli examples/distribution-preview.txt

example=examples/level3-gasworks-chalk.json
table=build/release/level3-gasworks-chalk.txt
echo
echo "== Level 3 assessment of $example =="
echo "(about a second on two cores; the whole table of results goes to $table)"
build/release/bin/varnex-cli run "$example" >"$table"
echo
echo "Total concentrations (mg/l) at the three receptors, with the probability of exceeding the standard:"
grep -E '^(Result|Total Receptor Concentration)' "$table"
