#pragma once

#include <string>
#include <vector>

#include "ui/graphs/GraphResultKind.h"

namespace varnex {
class Project;
}

namespace varnex::ui {

// The result kinds of the "Statistics" view, in the order of its "Result"
// selector.
namespace StatisticsKind {
enum : int {
    concentration = 0,
    retardedTravelTime = 1,
    unretardedTravelTime = 2,
    dilutedConcentration = 3,
    aquiferFlow = 4,
    count = 5
};
const char* Caption(int kind);
bool DependsOnTime(int kind);
} // namespace StatisticsKind

// Where a statistics vector is measured: at the receptor, at the source or
// at the base of one of the source's unsaturated pathways.
namespace MeasuredAt {
enum : int { receptor = 0, source = 1, firstPathway = 2 }; // pathway p: firstPathway + p
}

// The picks of the view's selectors. `source` is ResultLocation::total for
// "<Total>".
struct StatisticsChoice {
    int kind = StatisticsKind::concentration;
    int source = 0;
    int receptor = 0;
    int contaminant = 0;
    int timeSlice = 0;
    int measuredAt = MeasuredAt::receptor;
};

// One labelled line of the view.
struct StatisticsLine {
    std::string label;
    std::string value;
};

class StatisticsTable {
public:
    // The result vector the choice names as a location of the result store;
    // false when no vector of that kind exists there (a travel time at the
    // source, say).
    static bool Locate(const StatisticsChoice& choice, ResultLocation& location);

    // "Minimum", "Maximum", "Mean", "SD", "Variance", the seven
    // "%02d%% of values less than" rows, then the probability of exceeding
    // the water quality standard (concentrations with a standard) and the
    // 95 % confidence interval of each percentile. Numbers "%.6G"; every
    // value "---" when no vector matches.
    static std::vector<StatisticsLine> Lines(const Project& project,
                                             const StatisticsChoice& choice);

    // "Statistics: " and the description of the chosen vector.
    static std::string Caption(const Project& project, const StatisticsChoice& choice);

    // printf's "%.6G".
    static std::string FormatValue(double value);
    // "Base of Unsaturated Zone %s".
    static std::string PathwayEntry(const std::string& pathwayName);
};

} // namespace varnex::ui
