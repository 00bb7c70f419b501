#pragma once

#include <cstddef>

namespace varnex {

class Project;

// Carries every active contaminant of every source down through its
// unsaturated pathways for iteration i, and dilutes it in the aquifer mixing
// zone beneath the source where the level asks for it.
void ComputeUnsaturatedZone(Project& project, std::size_t i);

} // namespace varnex
