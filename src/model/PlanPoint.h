#pragma once

namespace varnex {

// A point on the site plan in metres, with its coordinates in the aquifer
// frame beside them (x' downstream along the groundwater flow, y' across
// it), which the run computes at its start by rotating the plan coordinates.
struct PlanPoint {
    double x = 0.0;
    double y = 0.0;
    double rotatedX = 0.0;
    double rotatedY = 0.0;
};

} // namespace varnex
