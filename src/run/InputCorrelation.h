#pragma once

namespace varnex {

class Project;

// The "Correlating Inputs" stage: reorders the samples of correlated inputs
// to the project's rank correlations.
void CorrelateInputs(Project& project);

} // namespace varnex
