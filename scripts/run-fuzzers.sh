#!/usr/bin/env bash
# Runs every fuzz target of a fuzzing build for the given time each, starting
# from its seed corpus in tests/fuzz/corpus/<target without "fuzz_">. New
# inputs go to a scratch folder, never into the repository's corpus. Fails on
# any crash, leak, hang over one second or memory limit.
# Usage: run-fuzzers.sh BUILD_DIR SECONDS [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?build directory}
seconds=${2:?seconds per target}
shift 2
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for binary in "$build"/bin/fuzz_*; do targets+=("$(basename "$binary")"); done
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for target in "${targets[@]}"; do
  name=${target#fuzz_}
  mkdir -p "$work/$name/corpus" "$work/$name/artifacts"
  [ -d "tests/fuzz/corpus/$name" ] && cp -r "tests/fuzz/corpus/$name/." "$work/$name/corpus/"
  # The project file reader has the most paths to explore: never less than
  # a minute.
  target_seconds=$seconds
  [ "$target" = fuzz_project_file ] && [ "$target_seconds" -lt 60 ] && target_seconds=60
  echo "-- $target for ${target_seconds} s"
  # -malloc_limit_mb bounds what one allocation of a reader may claim. The
  # process as a whole holds more: AddressSanitizer keeps 256 MB of freed
  # blocks in quarantine, its shadow memory and the growing corpus come on
  # top, so a clean half-hour campaign reaches 500 MB of resident memory
  # with a live heap of under 30 MB; -rss_limit_mb leaves room for that.
  if ! "$build/bin/$target" -max_total_time="$target_seconds" -timeout=1 \
      -rss_limit_mb=1024 -malloc_limit_mb=256 -print_final_stats=1 \
      -artifact_prefix="$work/$name/artifacts/" "$work/$name/corpus" \
      >"$work/$name/log" 2>&1; then
    tail -n 40 "$work/$name/log"
    mkdir -p fuzz-findings && cp -r "$work/$name/artifacts" "fuzz-findings/$name"
    echo "$target failed; the failing inputs are in fuzz-findings/$name"
    exit 1
  fi
  # The last coverage line (edges "cov", features "ft", corpus size) and the
  # final statistics are what a campaign records.
  grep -E '[[:space:]]DONE |^stat::(number_of_executed_units|average_exec_per_sec|new_units_added|slowest_unit_time_sec|peak_rss_mb)' \
    "$work/$name/log" | sed 's/^/   /'
done
