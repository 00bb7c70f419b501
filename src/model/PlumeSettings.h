#pragma once

#include <vector>

namespace varnex {

// Which contaminant and time the plume map is computed for. While `active`
// is on, every draw returns its distribution's central value and only that
// contaminant and time are computed. Not saved.
struct PlumeSettings {
    bool active = false;
    int contaminantIndex = -1;
    double timeYears = 0.0;
    // The receptor moved from node to node of the plume grid (an index into
    // the project's receptors).
    int receptorIndex = -1;

    // The last plume grid computed: node (c, r) lies at x = leftX + c x
    // spacing, y = topY - r x spacing (site plan metres); columns[c][r] is
    // its concentration in mg/l. Not saved.
    double spacingM = 0.0;
    double leftX = 0.0;
    double topY = 0.0;
    std::vector<std::vector<double>> columns;
};

} // namespace varnex
