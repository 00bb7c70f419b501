#pragma once

#include <cstddef>

namespace varnex {

class Project;

// Aquifer travel times, retardation and receptor concentrations of
// iteration i, with the totals over sources at every receptor.
void ComputeAquiferAndReceptors(Project& project, std::size_t i);

} // namespace varnex
