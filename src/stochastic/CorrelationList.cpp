#include "stochastic/CorrelationList.h"

namespace varnex {

bool CorrelationList::Add(const Correlation& record) {
    // Written so that a value that is not a number is refused too.
    if (!(record.value >= -1.0 && record.value <= 1.0)) return false;
    // An input cannot be reordered against itself.
    if (record.referenceParameter == record.correlatedParameter) return false;
    records_[record.referenceParameter] = record;
    return true;
}

void CorrelationList::Remove(std::int32_t referenceParameter) { records_.erase(referenceParameter); }

void CorrelationList::RemoveNaming(const std::set<std::int32_t>& parameterIds) {
    for (auto it = records_.begin(); it != records_.end();) {
        if (parameterIds.count(it->second.referenceParameter) ||
            parameterIds.count(it->second.correlatedParameter))
            it = records_.erase(it);
        else
            ++it;
    }
}

} // namespace varnex
