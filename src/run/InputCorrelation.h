#pragma once

#include <string>

#include "stochastic/CorrelationOutcome.h"

namespace varnex {

class Project;

// The "Correlating Inputs" stage, after every input is sampled and before
// the first iteration: applies the project's correlation records, in key
// order, to the samples of the inputs the run uses (model/RunInputs.h), and
// leaves in project.correlationOutcomes what became of each record and the
// rank correlation it reached. Records whose inputs this run does not use
// are skipped, never removed: the user's correlations survive a run at a
// level that does not need them. Draws no random numbers.
void CorrelateInputs(Project& project);

// A short, translated explanation of a status for people ("not used at this
// level and with these options"); empty for an applied record.
std::string CorrelationStatusText(CorrelationStatus status);

} // namespace varnex
