#pragma once

#include <cstdint>
#include <map>
#include <set>

#include "stochastic/Correlation.h"

namespace varnex {

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

private:
    Records records_;
};

} // namespace varnex
