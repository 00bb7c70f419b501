#pragma once

#include <vector>

#include "results/ResultVector.h"

namespace varnex {

// A receptor's results for one contaminant: the totals over all sources.
struct ReceptorContaminant {
    int contaminant = -1; // identifier
    std::vector<ResultVector>
        totalConcentrations; // per time slice, "Total Receptor Concentration at %lf years"
    ResultVector totalUnretardedTravelTime; // "Total Receptor Unretarded Travel Time"
    ResultVector totalRetardedTravelTime;   // "Total Receptor Retarded Travel Time"
};

} // namespace varnex
