#pragma once

#include <string>

namespace varnex {

// Simulation level codes, compared numerically by the calculations: above 1
// the unsaturated zone is computed, above 2 the receptors, and at 4 ("Level
// 3a") concentrations are entered directly at the aquifer.
namespace SimulationLevel {
enum : int { level1 = 1, level2 = 2, level3 = 3, level3a = 4 };
} // namespace SimulationLevel

// "Level 1", "Level 2", "Level 3", "Level 3a" (English; translate to show).
std::string SimulationLevelName(int level);

} // namespace varnex
