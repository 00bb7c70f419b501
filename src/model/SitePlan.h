#pragma once

#include <string>

namespace varnex {

// The "Domain" settings of the site plan. The model only stores them; the
// site plan view interprets them.
struct SitePlan {
    bool showBackgroundMap = true; // "Show Background Map"
    bool showGrid = false;         // "Show Grid"
    int gridSpacing = 10;          // "Grid Spacing (m)"
    std::string backgroundMapFile; // a DXF or DWG drawing
    // Placement of the background map on the plan, in declaration order.
    double mapOffsetX = 0.0;
    double mapOffsetY = 0.0;
    double mapScale = 1.0;
};

} // namespace varnex
