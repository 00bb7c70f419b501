#!/usr/bin/env bash
# Runs the README's set-up command (install, normal g++ build, bundled
# example), then every test twice: in that normal build, and in an
# AddressSanitizer + UndefinedBehaviorSanitizer build (clang) that also builds
# the fuzz targets and runs each for a while. The normal build is also
# packaged as a .deb and the package tried out.
set -euo pipefail
cd "$(dirname "$0")/.."
fuzz_seconds=${VARNEX_FUZZ_SECONDS:-30}
jobs=$(nproc)

# The README's first command: install, the normal build, and the bundled
# example. Running it here is what proves it works on a fresh machine.
echo "== Set-up, normal build and the bundled example =="
scripts/setup-and-run.sh

echo "== Layering of the sources =="
python3 scripts/check-layering.py

echo "== Tests of the normal build =="
ctest --test-dir build/release --output-on-failure -j "$jobs"

echo "== Debian package =="
scripts/check-package.sh build/release

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build =="
CC=clang CXX=clang++ cmake -G Ninja -S . -B build/sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVARNEX_SANITIZE=ON -DVARNEX_FUZZERS=ON -DVARNEX_BENCHMARKS=OFF
cmake --build build/sanitize
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
ctest --test-dir build/sanitize --output-on-failure -j "$jobs"

echo "== Fuzzing (${fuzz_seconds} s per target) =="
scripts/run-fuzzers.sh build/sanitize "$fuzz_seconds"

echo "All tests passed."
