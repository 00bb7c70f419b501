#include "analysis/SensitivityChoices.h"

#include "analysis/SensitivitySelection.h"
#include "base/TextFormat.h"
#include "model/Project.h"
#include "settings/Translate.h"

namespace varnex {

namespace {

bool ReceptorResult(int code) {
    return code == SensitivityResult::receptorTravelTime ||
           code == SensitivityResult::receptorConcentration;
}

SensitivityChoice AllChoice() {
    return SensitivityChoice{0, SensitivitySelection::all, Translate("<All>")};
}

} // namespace

std::vector<SensitivityChoice> ResultChoices(const Project& project) {
    const int level = project.simulationLevel;
    const bool unsaturatedZone =
        level == SimulationLevel::level2 || level == SimulationLevel::level3;
    const bool sourceTerm = level != SimulationLevel::level3a;
    const bool receptors = level > SimulationLevel::level2;
    std::vector<SensitivityChoice> choices;
    if (unsaturatedZone)
        choices.push_back({SensitivityResult::unsaturatedZoneTravelTime, -1,
                           Translate("Unsaturated Zone Travel Time")});
    if (receptors)
        choices.push_back(
            {SensitivityResult::receptorTravelTime, -1, Translate("Receptor Zone Travel Time")});
    auto perSlice = [&](int code, const std::string& format) {
        for (std::size_t k = 0; k < project.timeSlices.size(); ++k)
            choices.push_back(
                {code, static_cast<int>(k), FormatText(format, {project.timeSlices[k]})});
    };
    if (sourceTerm)
        perSlice(SensitivityResult::sourceConcentration,
                 TranslateFormat("Concentration at source - %.0lf years"));
    if (unsaturatedZone)
        perSlice(SensitivityResult::baseOfUnsaturatedZoneConcentration,
                 TranslateFormat("Concentration at Base of Unsat. Zone - %.0lf years"));
    if (receptors)
        perSlice(SensitivityResult::receptorConcentration,
                 TranslateFormat("Concentration at Receptor - %.0lf years"));
    return choices;
}

SensitivitySelector SourceSelector(const Project& project) {
    SensitivitySelector selector;
    selector.enabled = true;
    if (project.simulationLevel > SimulationLevel::level2) selector.choices.push_back(AllChoice());
    for (std::size_t s = 0; s < project.sources.size(); ++s)
        selector.choices.push_back({0, static_cast<int>(s), project.sources[s].name});
    return selector;
}

SensitivitySelector ReceptorSelector(const Project& project, int resultCode) {
    SensitivitySelector selector;
    selector.enabled = ReceptorResult(resultCode);
    selector.choices.push_back(AllChoice());
    for (std::size_t r = 0; r < project.receptors.size(); ++r)
        selector.choices.push_back({0, static_cast<int>(r), project.receptors[r].name});
    return selector;
}

SensitivitySelector PathwaySelector(const Project& project, int sourceIndex, int resultCode) {
    SensitivitySelector selector;
    if (sourceIndex < 0 || static_cast<std::size_t>(sourceIndex) >= project.sources.size())
        return selector;
    selector.enabled = resultCode != SensitivityResult::sourceConcentration;
    selector.choices.push_back(AllChoice());
    const Source& source = project.sources[static_cast<std::size_t>(sourceIndex)];
    for (std::size_t p = 0; p < source.pathways.size(); ++p)
        if (p == 0 || source.pathways[p].include)
            selector.choices.push_back({0, static_cast<int>(p), source.pathways[p].name});
    return selector;
}

} // namespace varnex
