#pragma once

#include <vector>

#include "analysis/SensitivityEntry.h"
#include "analysis/SensitivityRow.h"
#include "analysis/SensitivitySelection.h"

namespace varnex {

class Project;
class ResultVector;
class StochasticParameter;

// Which stochastic inputs drive a result of a finished run: each relevant
// input's samples are correlated, iteration by iteration, with the values of
// the chosen result vector. Nothing in the model changes.
//
// Both coefficients are 0 whenever none can be formed: a SINGLE input, no
// values, a sample count that differs from the result's value count (an
// input the run did not sample, or results of another iteration count), a
// value that is not a finite number, constant samples or results.

// The "Sensitivity" coefficient: Pearson's product-moment correlation of the
// samples x with the result values y, over the n iterations of the result.
double ProductMomentCoefficient(const StochasticParameter& parameter, const ResultVector& result);

// The "Rank Correlation" coefficient: the iterations are ordered by the
// input's samples (the gap-exchange order of the input correlation, ties in
// the order it leaves them) and the ranks 1..n are correlated with the
// result values as they are; the results themselves are not ranked. So
// this measures how linearly the result grows with the input's rank: a
// result that grows with the input but not in proportion to its rank (an
// exponential, say) gives less than 1.
double RankCoefficient(const StochasticParameter& parameter, const ResultVector& result);

// One entry for each (input, result vector) pair the selection admits:
// contaminants (one while a contaminant is chosen), sources, then receptors
// or pathways where the result kind has them, each restricted to the
// selected one. The inputs of each result are those it depends on
// (SensitivityInputs). Entries are ordered by ascending |coefficient|, SINGLE
// inputs below every computed coefficient, equal keys in the reverse of the
// walk order, so that a list read from the last entry (FillList) shows the
// strongest first and equals in walk order. A selection naming a time slice,
// source, receptor or pathway the project lacks, or a result vector the run
// did not create, yields no entries for it.
std::vector<SensitivityEntry> ComputeEntries(Project& project,
                                             const SensitivitySelection& selection);

// The rows of the list, from the last entry to the first. "Single Value"
// rows are shown even with `excludeZero`; other rows with a coefficient of
// exactly 0 are left out with `excludeZero`. With `firstTenOnly` no row is
// added once 10 rows are shown. Coefficients are written as "%g" does.
std::vector<SensitivityRow> FillList(const std::vector<SensitivityEntry>& entries,
                                     bool firstTenOnly, bool excludeZero);

} // namespace varnex
