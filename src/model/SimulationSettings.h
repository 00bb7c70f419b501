#pragma once

#include <vector>

#include "model/ActiveProcesses.h"

namespace varnex {

// The settings of a run: the project's time slices (years, ascending), its
// simulation level and active processes, and the program-wide iteration
// count.
struct SimulationSettings {
    std::vector<double> timeSlices;
    int simulationLevel = 1;
    ActiveProcesses processes;
    int iterations = 0;
};

} // namespace varnex
