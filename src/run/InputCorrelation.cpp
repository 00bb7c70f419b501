#include "run/InputCorrelation.h"

#include <set>

#include "model/ParameterField.h"
#include "model/Project.h"
#include "model/RunInputs.h"
#include "settings/Translate.h"

namespace varnex {

namespace {

std::set<std::int32_t> ProjectInputIds(Project& project) {
    std::set<std::int32_t> ids;
    for (const StochasticParameter* input : ParametersOf(project.aquifer)) ids.insert(input->id);
    for (Contaminant& contaminant : project.contaminants)
        for (const StochasticParameter* input : ParametersOf(contaminant)) ids.insert(input->id);
    for (Source& source : project.sources)
        for (const StochasticParameter* input : source.AllParameters()) ids.insert(input->id);
    return ids;
}

} // namespace

void CorrelateInputs(Project& project) {
    InputsById used;
    for (StochasticParameter* input : RunInputs(project).All()) used.emplace(input->id, input);
    project.correlationOutcomes = project.correlations.Correlate(used, ProjectInputIds(project));
}

std::string CorrelationStatusText(CorrelationStatus status) {
    switch (status) {
    case CorrelationStatus::applied: return std::string();
    case CorrelationStatus::zeroValue:
        return Translate("correlation of 0: inputs left independent");
    case CorrelationStatus::nonPositiveMaximum:
        return Translate("not correlated: largest sample not above 0");
    case CorrelationStatus::sampleCountsDiffer:
        return Translate("not correlated: different numbers of samples");
    case CorrelationStatus::noSamples: return Translate("not correlated: no iterations");
    case CorrelationStatus::nonFiniteSamples:
        return Translate("not correlated: a sample is not a finite number");
    case CorrelationStatus::inputNotUsed:
        return Translate("skipped: input not used at this level and with these options");
    case CorrelationStatus::inputMissing: return Translate("skipped: input not in the project");
    case CorrelationStatus::invalidRecord:
        return Translate("skipped: invalid value or the same input twice");
    }
    return std::string();
}

} // namespace varnex
