#pragma once

#include <limits>

#include "stochastic/Correlation.h"

namespace varnex {

// What the correlating stage of a run did with one correlation record.
enum class CorrelationStatus {
    applied,            // the correlated input's samples were reordered
    zeroValue,          // a requested correlation of 0: the inputs stay independent
    nonPositiveMaximum, // an input's largest sample is not above 0, so the mixture is undefined
    sampleCountsDiffer, // the two inputs hold different numbers of samples
    noSamples,          // the run has no iterations
    nonFiniteSamples,   // a sample, or the mixture built from the samples, is not a finite number
    inputNotUsed,       // the run at this level with these options does not use one of the inputs
    inputMissing,       // the project has no input with one of the identities
    invalidRecord,      // the value is not a number from -1 to 1, or both roles name the same input
};

// The record as it was requested, what became of it, and the rank
// correlation (Spearman's, with average ranks for ties) of the two inputs'
// samples after every record of the run was applied; NaN where the inputs
// were not both sampled with the same, non-constant samples of at least two
// iterations. Information only: nothing reads it back into a run.
struct CorrelationOutcome {
    Correlation record;
    CorrelationStatus status = CorrelationStatus::inputMissing;
    double achieved = std::numeric_limits<double>::quiet_NaN();
};

} // namespace varnex
