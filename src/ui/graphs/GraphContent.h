#pragma once

#include <string>
#include <vector>

#include "results/ResultStatistics.h"

namespace varnex::ui {

// One curve of a result graph, in data units: x is the probability or the
// time in years, y the result value.
struct GraphCurve {
    std::string name;
    unsigned colour = 0x000000; // 0xRRGGBB
    std::vector<GraphPoint> points;
};

// Everything a result graph shows, independent of how it is drawn.
struct GraphContent {
    std::string title;
    std::string xTitle;
    std::string yTitle;
    std::vector<GraphCurve> curves;
    bool hasStandard = false;
    double standard = 0.0;     // mg/l, a horizontal line
    std::string standardLabel; // "WQS: %g [mg/l]"
    // Shown instead of the axes when there are no curves.
    std::string emptyText;

    bool Empty() const { return curves.empty(); }
};

} // namespace varnex::ui
