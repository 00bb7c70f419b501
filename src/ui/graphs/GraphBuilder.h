#pragma once

#include <string>
#include <vector>

#include "ui/graphs/GraphContent.h"
#include "ui/graphs/GraphResultKind.h"

namespace varnex {
class Project;
}

namespace varnex::ui {

// Graph types by their menu codes; 2 has no menu entry. Convergence: how the
// mean and the 50th and 95th percentiles, with their 95 % intervals, settle
// as the iterations accumulate (results/Convergence.h), for the first picked
// time slice.
namespace GraphType {
enum : int {
    cumulativeFrequency = 0,
    reverseCumulativeFrequency = 1,
    timeHistory = 3,
    convergence = 4
};
}

// What the graph window shows: the location of the result, the graph type
// and the picks of the "Percentiles" list (time history: percentile indices
// 0..6 of the vectors' levels) or of the "Times" list (frequency graphs:
// time slice indices).
struct GraphSelection {
    ResultLocation location;
    int graphType = GraphType::cumulativeFrequency;
    std::vector<int> percentiles{6, 5, 4, 3, 2, 1, 0};
    std::vector<int> timeSlices;
};

class GraphBuilder {
public:
    // The seven percentile curves, by percentile index 0..6 (levels 5 .. 95).
    static const char* PercentileCurveName(int percentileIndex); // "95 (blue)", ...
    static unsigned PercentileCurveColour(int percentileIndex);
    // The colour of the k-th time slice curve of a frequency graph.
    static unsigned TimeCurveColour(int k);
    // The water quality standard's dashed line, in a colour no curve uses,
    // so that it cannot be taken for one.
    static unsigned StandardLineColour();
    // The convergence graph's curves, in drawing order.
    static const char* ConvergenceCurveName(int curve);
    static constexpr int convergenceCurves = 7;

    // The curves, titles and standard line of the selection, from the
    // project's results; empty (with "No results to graph") when the run
    // holds nothing for it. The probabilities run along x, the values along
    // y, so the standard is a horizontal line in every graph type.
    static GraphContent Build(const Project& project, const GraphSelection& selection);

    // The plotted numbers as tab-separated text: a header row with the x
    // axis title and the curve names, then one row per point.
    static std::string ClipboardText(const GraphContent& content);

    // "%.0lf years".
    static std::string TimeSliceText(double years);
    static std::string ValueAxisTitle(const Project& project, const ResultLocation& location);
};

} // namespace varnex::ui
