#pragma once

#include <cstdint>
#include <string>

namespace varnex {

class Project;
class RunObserver;

struct RunOptions {
    // Worker threads of the "Calculating" stage; 0: every core.
    int threads = 0;
};

// One Monte Carlo simulation of the project from sampling to statistics:
// "Sampling", "Correlating Inputs", "Calculating" (iterations on worker
// threads; results are identical for every thread count), the warnings,
// "Calculating Statistics". Returns true on success and marks the results
// valid. A failure (its message passed to the observer unless it is not to
// be shown) or a stop returns false and leaves the results invalid.
bool RunSimulation(Project& project, RunObserver& observer,
                   const RunOptions& options = RunOptions());

// "Estimated Time Remaining for Stage: hh:mm:ss" at the start of iteration
// j (1-based) of n, `elapsedSeconds` after the stage began:
// R = trunc(elapsed / j * (n - j)).
std::string TimeRemainingText(std::int64_t elapsedSeconds, int j, int n);

// The warning texts shown after the iterations (empty when none applies).
std::string SolubilityWarning(const Project& project);
std::string ThicknessWarning(const Project& project);
std::string InfiltrationWarning(const Project& project);

} // namespace varnex
