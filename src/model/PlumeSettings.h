#pragma once

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
};

} // namespace varnex
