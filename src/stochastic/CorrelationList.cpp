#include "stochastic/CorrelationList.h"

#include <cmath>

#include "stochastic/RankCorrelation.h"
#include "stochastic/StochasticParameter.h"

namespace varnex {

bool CorrelationList::Add(const Correlation& record) {
    // Written so that a value that is not a number is refused too.
    if (!(record.value >= -1.0 && record.value <= 1.0)) return false;
    // An input cannot be reordered against itself.
    if (record.referenceParameter == record.correlatedParameter) return false;
    records_[record.referenceParameter] = record;
    return true;
}

void CorrelationList::Remove(std::int32_t referenceParameter) {
    records_.erase(referenceParameter);
}

void CorrelationList::RemoveNaming(const std::set<std::int32_t>& parameterIds) {
    for (auto it = records_.begin(); it != records_.end();) {
        if (parameterIds.count(it->second.referenceParameter) ||
            parameterIds.count(it->second.correlatedParameter))
            it = records_.erase(it);
        else
            ++it;
    }
}

std::vector<CorrelationOutcome>
CorrelationList::Correlate(const InputsById& usedInputs,
                           const std::set<std::int32_t>& projectInputs) const {
    std::vector<Correlation> records;
    records.reserve(records_.size());
    for (const auto& [reference, record] : records_) records.push_back(record);
    return CorrelateRecords(records, usedInputs, projectInputs);
}

namespace {

StochasticParameter* Find(const InputsById& inputs, std::int32_t id) {
    const auto found = inputs.find(id);
    return found == inputs.end() ? nullptr : found->second;
}

CorrelationStatus Apply(const Correlation& record, const InputsById& usedInputs,
                        const std::set<std::int32_t>& projectInputs) {
    if (!std::isfinite(record.value) || record.value < -1.0 || record.value > 1.0 ||
        record.referenceParameter == record.correlatedParameter)
        return CorrelationStatus::invalidRecord;
    if (!projectInputs.count(record.referenceParameter) ||
        !projectInputs.count(record.correlatedParameter))
        return CorrelationStatus::inputMissing;
    StochasticParameter* reference = Find(usedInputs, record.referenceParameter);
    StochasticParameter* correlated = Find(usedInputs, record.correlatedParameter);
    if (reference == nullptr || correlated == nullptr) return CorrelationStatus::inputNotUsed;
    if (reference->SampleCount() == 0 || correlated->SampleCount() == 0)
        return CorrelationStatus::noSamples;
    std::vector<double> y = correlated->Samples();
    const CorrelationStatus status = RankCorrelate(reference->Samples(), y, record.value);
    if (status == CorrelationStatus::applied)
        for (std::size_t i = 0; i < y.size(); ++i) correlated->SampleAt(i) = y[i];
    return status;
}

} // namespace

std::vector<CorrelationOutcome> CorrelateRecords(const std::vector<Correlation>& records,
                                                 const InputsById& usedInputs,
                                                 const std::set<std::int32_t>& projectInputs) {
    std::vector<CorrelationOutcome> outcomes;
    outcomes.reserve(records.size());
    for (const Correlation& record : records) {
        CorrelationOutcome outcome;
        outcome.record = record;
        outcome.status = Apply(record, usedInputs, projectInputs);
        outcomes.push_back(outcome);
    }
    // Measured only once every record has acted, since a later record can
    // change what an earlier one reached.
    for (CorrelationOutcome& outcome : outcomes) {
        switch (outcome.status) {
        case CorrelationStatus::invalidRecord:
        case CorrelationStatus::inputMissing:
        case CorrelationStatus::inputNotUsed:
        case CorrelationStatus::noSamples: continue;
        default: break;
        }
        const StochasticParameter* reference = Find(usedInputs, outcome.record.referenceParameter);
        const StochasticParameter* correlated =
            Find(usedInputs, outcome.record.correlatedParameter);
        outcome.achieved = SpearmanRankCorrelation(reference->Samples(), correlated->Samples());
    }
    return outcomes;
}

} // namespace varnex
