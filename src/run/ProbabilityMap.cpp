#include "run/ProbabilityMap.h"

#include "model/Project.h"
#include "run/PlumeObserver.h"

namespace varnex {

std::vector<std::string> ProbabilityMapProblems(const Project&, const ProbabilityMapRequest&) {
    return {"The probability map is not built yet."};
}

bool ComputeProbabilityMap(Project&, const ProbabilityMapRequest&, PlumeObserver& observer,
                           ProbabilityMap&) {
    observer.Failed("The probability map is not built yet.");
    return false;
}

} // namespace varnex
