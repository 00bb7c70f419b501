#include "model/Project.h"

#include <algorithm>
#include <set>

#include "archive/FileVersion.h"
#include "model/DecayChain.h"
#include "settings/Translate.h"
#include "stochastic/IterationCount.h"

namespace varnex {

namespace {
const std::vector<double> defaultTimeSlices = {100.0, 300.0, 1000.0, 7000.0};
}

Project::Project() : timeSlices(defaultTimeSlices) {}

void Project::Reset() {
    filePath.clear();
    dateSaved.clear();
    details = ProjectDetails();
    timeSlices = defaultTimeSlices;
    simulationLevel = 1;
    aquifer = Aquifer();
    sources.clear();
    receptors.clear();
    contaminants.clear();
    correlations.Clear();
    processes = ActiveProcesses();
    sitePlan = SitePlan();
    standardSelection = noStandardSelection;
    plume = PlumeSettings();
    solubilityLimitedCount.clear();
    thicknessOutOfRangeCount.clear();
    correlationOutcomes.clear();
    redrawnInputs.clear();
    samplingMethod = SamplingMethod::monteCarlo;
    coordinateSystemEpsg = 0;
    plumeMap = PlumeMapChoices();
    resultsValid = false;
    runStateInMemory = false;
    resultsKernel.reset();
    SetIterationCount(defaultIterationCount);
}

void Project::ApplyNames() {
    aquifer.ApplyNames();
    for (Source& source : sources) source.ApplyNames();
    for (Contaminant& contaminant : contaminants) contaminant.ApplyNames();
}

void Project::NewProject(const std::string& infoDirectory) {
    Reset();
    ActiveFileVersion() = ProgramVersion();
    LoadStandards(infoDirectory);
    ApplyStandards();
    filePath = Translate("unnamed");
}

void Project::SyncInventory(Source& source) {
    std::vector<SourceContaminant>& inventory = source.inventory;
    // Entries of species no longer in the project go, and so does any second
    // entry of a species (the first one is the one the user edited).
    std::set<int> seen;
    inventory.erase(std::remove_if(inventory.begin(), inventory.end(),
                                   [this, &seen](const SourceContaminant& entry) {
                                       return FindContaminant(entry.contaminant) == nullptr ||
                                              !seen.insert(entry.contaminant).second;
                                   }),
                    inventory.end());
    for (const Contaminant& contaminant : contaminants) {
        const bool present =
            std::any_of(inventory.begin(), inventory.end(), [&](const SourceContaminant& e) {
                return e.contaminant == contaminant.identifier;
            });
        if (present) continue;
        SourceContaminant entry;
        entry.contaminant = contaminant.identifier;
        inventory.push_back(std::move(entry));
    }
    // A pathway without a record gets a copy of the entry's record of the
    // lowest pathway index (the properties a layer most likely shares), or a
    // default record; the copy's inputs are new inputs with new identities.
    const int pathwayCount = static_cast<int>(source.pathways.size());
    for (SourceContaminant& entry : inventory) {
        // Records of pathways the source no longer has belong to nothing.
        entry.pathwayProperties.erase(entry.pathwayProperties.lower_bound(pathwayCount),
                                      entry.pathwayProperties.end());
        for (int index = 0; index < pathwayCount; ++index) {
            if (entry.pathwayProperties.count(index)) continue;
            PathwayContaminant record;
            if (!entry.pathwayProperties.empty()) {
                record = entry.pathwayProperties.begin()->second;
                record.Renumber();
            }
            entry.pathwayProperties.emplace(index, std::move(record));
        }
    }
    source.ApplyNames();
}

void Project::SyncAllInventories() {
    for (Source& source : sources) SyncInventory(source);
}

SimulationSettings Project::Settings() const {
    SimulationSettings settings;
    settings.timeSlices = timeSlices;
    settings.simulationLevel = simulationLevel;
    settings.processes = processes;
    settings.iterations = IterationCount();
    return settings;
}

const Contaminant* Project::FindContaminant(int identifier) const {
    for (const Contaminant& contaminant : contaminants)
        if (contaminant.identifier == identifier) return &contaminant;
    return nullptr;
}

bool Project::EntryTakesPart(const SourceContaminant& entry) const {
    if (!entry.active) return false;
    if (!plume.active) return true;
    const int index = plume.contaminantIndex;
    if (index < 0 || index >= static_cast<int>(contaminants.size())) return false;
    if (contaminants[static_cast<std::size_t>(index)].identifier == entry.contaminant) return true;
    // The plume of a daughter of a decay chain needs its ancestors.
    for (std::size_t c : DecayChain::Lineage(*this, static_cast<std::size_t>(index)))
        if (contaminants[c].identifier == entry.contaminant) return true;
    return false;
}

bool Project::ContaminantTakesPart(std::size_t index) const {
    if (!plume.active || static_cast<int>(index) == plume.contaminantIndex) return true;
    const int plumeIndex = plume.contaminantIndex;
    if (plumeIndex < 0 || plumeIndex >= static_cast<int>(contaminants.size())) return false;
    const std::vector<std::size_t> lineage =
        DecayChain::Lineage(*this, static_cast<std::size_t>(plumeIndex));
    return std::find(lineage.begin(), lineage.end(), index) != lineage.end();
}

void Project::RemoveCorrelationsOf(const std::vector<StochasticParameter*>& parameters) {
    std::set<std::int32_t> ids;
    for (const StochasticParameter* parameter : parameters) ids.insert(parameter->id);
    correlations.RemoveNaming(ids);
}

} // namespace varnex
