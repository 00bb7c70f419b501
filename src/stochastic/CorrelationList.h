#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <vector>

#include "stochastic/Correlation.h"
#include "stochastic/CorrelationOutcome.h"

namespace varnex {

class StochasticParameter;

// The inputs a run can correlate, by identity.
using InputsById = std::map<std::int32_t, StochasticParameter*>;

// The project's correlations, one record at most per reference input, kept
// in ascending order of the reference input's identity (the order in which
// they are applied).
class CorrelationList {
public:
    using Records = std::map<std::int32_t, Correlation>;

    // Refuses (false, nothing changed) a value outside -1..1 and a record
    // correlating an input with itself; otherwise
    // inserts the record or replaces the one with the same reference input.
    bool Add(const Correlation& record);
    void Remove(std::int32_t referenceParameter);
    // Removes every record that names one of these inputs in either role
    // (their inputs were removed from the project).
    void RemoveNaming(const std::set<std::int32_t>& parameterIds);
    void Clear() { records_.clear(); }
    std::size_t Count() const { return records_.size(); }

    Records::const_iterator begin() const { return records_.begin(); }
    Records::const_iterator end() const { return records_.end(); }
    const Records& Entries() const { return records_; }

    // Applies the records in key order to the samples of the inputs a run
    // uses (see CorrelateRecords). The list itself is not changed: a record
    // whose inputs this run does not use is kept for the runs that do.
    std::vector<CorrelationOutcome> Correlate(const InputsById& usedInputs,
                                              const std::set<std::int32_t>& projectInputs) const;

private:
    Records records_;
};

// Applies each record in turn to the samples of `usedInputs`: the reference
// input's samples stay in place, the correlated input's are reordered
// (RankCorrelate). Each record acts on the samples as the records before it
// left them, so a later record may weaken an earlier one when they share an
// input. Skipped, with the reason: a record whose value is not a number from
// -1 to 1 or whose roles name the same input (invalidRecord), one naming an
// input `projectInputs` lacks (inputMissing) or one the run does not use
// (inputNotUsed). Afterwards every record's achieved rank correlation is
// measured on the final samples. One outcome per record, in record order.
std::vector<CorrelationOutcome> CorrelateRecords(const std::vector<Correlation>& records,
                                                 const InputsById& usedInputs,
                                                 const std::set<std::int32_t>& projectInputs);

} // namespace varnex
