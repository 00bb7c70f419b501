#!/usr/bin/env bash
# Copies the window tests' screenshots that the user guide shows into
# docs/images, so that the guide's figures follow the windows when they
# change. Run the UI tests first (they write BUILD_DIR/screenshots), look at
# the pictures, then commit the copies.
# Usage: refresh-guide-figures.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
shots=${1:-build/release}/screenshots

# figure in docs/images <- screenshot written by the tests
figures=(
  "main-window.png            main-level1-gasworks.png"
  "start-window.png           start-window-recent.png"
  "wizard-source-details.png  wizard-09-SourceDetails.png"
  "wizard-unsaturated-pathway.png wizard-11-UnsaturatedPathway.png"
  "site-plan-digitising.png   site-plan-digitising.png"
  "program-options.png        program-options.png"
  "distribution-dialog.png    distribution-triangular.png"
  "input-correlations.png     input-correlations.png"
  "run-progress.png           progress-dialog.png"
  "plume-settings.png         plume-settings.png"
  "plume-map.png              site-plan-plume.png"
  "statistics-window.png      statistics-level3-petrol-station.png"
  "graph-cumulative-frequency.png graph-level3-petrol-station-cumulative.png"
  "graph-time-history.png     graph-level3-petrol-station-history.png"
  "graph-reverse-cumulative.png graph-level3-petrol-station-reverse.png"
  "sensitivity-analysis.png   sensitivity-level3-petrol-station.png"
  "report-model-page.png      report-level3-petrol-station-model-1.png"
  "report-results-page.png    report-level3-petrol-station-results-3.png"
  "form-field-error.png       form-field-error.png"
  "validation-list.png        validation-list.png"
  "receptors-dialog.png       receptors-dialog.png"
  "properties-german.png      properties-deutsch.png"
  "statistics-all-times.png   statistics-all-times.png"
  "graph-log-axis.png         graph-log-axis.png"
  "plume-map-standard.png     plume-map-standard.png"
  "probability-map.png        probability-map-gasworks.png"
)
missing=0
for pair in "${figures[@]}"; do
  read -r figure shot <<<"$pair"
  if [ -f "$shots/$shot" ]; then
    cp "$shots/$shot" "docs/images/$figure"
  else
    echo "no screenshot $shots/$shot for docs/images/$figure"
    missing=1
  fi
done
# A figure the guide no longer names is a stale copy.
for file in docs/images/*.png; do
  grep -q "images/$(basename "$file")" docs/user-guide.md || echo "docs/images/$(basename "$file") is not shown by the guide"
done
exit $missing
