#include "ui/graphs/GraphResultKind.h"

#include <cstddef>

#include "model/Project.h"
#include "results/ResultVector.h"
#include "settings/Translate.h"

namespace varnex::ui {

namespace GraphResultKind {

const char* Caption(int kind) {
    static constexpr const char* captions[count] = {
        TranslatableText("Source concentration"),
        TranslatableText("Concentration at base unsaturated zone"),
        TranslatableText("Receptor concentration"),
        TranslatableText("Unretarded travel time to base of unsaturated zone"),
        TranslatableText("Retarded travel time to base of unsaturated zone"),
        TranslatableText("Unretarded travel time to receptor"),
        TranslatableText("Retarded travel time to receptor"),
        TranslatableText("Diluted Concentration"),
        TranslatableText("Aquifer flow"),
    };
    return kind >= 0 && kind < count ? captions[kind] : "";
}

std::vector<int> OfferedAtLevel(int level) {
    const bool level3a = level == SimulationLevel::level3a;
    const bool receptors = level == SimulationLevel::level3 || level3a;
    const bool unsaturated = level > SimulationLevel::level1 && !level3a;
    std::vector<int> kinds;
    for (int kind = 0; kind < count; ++kind) {
        bool offered = false;
        switch (kind) {
        case sourceConcentration: offered = !level3a; break;
        case baseOfUnsaturatedZoneConcentration:
        case uzUnretardedTravelTime:
        case uzRetardedTravelTime: offered = unsaturated; break;
        case receptorConcentration:
        case receptorUnretardedTravelTime:
        case receptorRetardedTravelTime: offered = receptors; break;
        case dilutedConcentration:
        case aquiferFlow: offered = level > SimulationLevel::level1; break;
        default: break;
        }
        if (offered) kinds.push_back(kind);
    }
    return kinds;
}

bool OffersTotal(int level) {
    return level == SimulationLevel::level3 || level == SimulationLevel::level3a;
}

bool DependsOnTime(int kind) { return IsConcentration(kind); }

bool IsConcentration(int kind) {
    return kind == sourceConcentration || kind == baseOfUnsaturatedZoneConcentration ||
           kind == receptorConcentration || kind == dilutedConcentration;
}

bool UsesReceptor(int kind) {
    return kind == receptorConcentration || kind == receptorUnretardedTravelTime ||
           kind == receptorRetardedTravelTime;
}

bool UsesPathway(int kind) {
    return kind == baseOfUnsaturatedZoneConcentration || kind == uzUnretardedTravelTime ||
           kind == uzRetardedTravelTime || kind == dilutedConcentration;
}

bool UsesContaminant(int kind) { return kind != aquiferFlow; }

} // namespace GraphResultKind

namespace {

template <typename Sequence>
const typename Sequence::value_type* Element(const Sequence& sequence, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= sequence.size()) return nullptr;
    return &sequence[static_cast<std::size_t>(index)];
}

const ResultVector* Usable(const ResultVector* vector) {
    return vector && vector->Size() > 0 ? vector : nullptr;
}

} // namespace

const ResultVector* FindResultVector(const Project& project, const ResultLocation& location,
                                     int timeIndex) {
    using namespace GraphResultKind;
    if (!project.resultsValid) return nullptr;
    const int kind = location.kind;
    const std::vector<int> offered = OfferedAtLevel(project.simulationLevel);
    bool isOffered = false;
    for (int k : offered) isOffered = isOffered || k == kind;
    if (!isOffered) return nullptr;

    const Contaminant* contaminant = Element(project.contaminants, location.contaminant);
    if (UsesContaminant(kind) && !contaminant) return nullptr;

    if (location.source == ResultLocation::total) {
        // Only the receptors hold sums over the sources.
        if (!UsesReceptor(kind) || !OffersTotal(project.simulationLevel)) return nullptr;
        const Receptor* receptor = Element(project.receptors, location.receptor);
        if (!receptor) return nullptr;
        for (const ReceptorContaminant& record : receptor->results) {
            if (record.contaminant != contaminant->identifier) continue;
            if (kind == receptorConcentration)
                return Usable(Element(record.totalConcentrations, timeIndex));
            if (kind == receptorUnretardedTravelTime)
                return Usable(&record.totalUnretardedTravelTime);
            return Usable(&record.totalRetardedTravelTime);
        }
        return nullptr;
    }

    const Source* source = Element(project.sources, location.source);
    if (!source) return nullptr;
    if (kind == aquiferFlow) return Usable(&source->mixingZoneFlow);

    const SourceContaminant* entry = nullptr;
    for (const SourceContaminant& candidate : source->inventory)
        if (candidate.contaminant == contaminant->identifier) entry = &candidate;
    if (!entry || !project.EntryTakesPart(*entry)) return nullptr;

    if (UsesPathway(kind)) {
        if (!Element(source->pathways, location.pathway)) return nullptr;
        const auto found = entry->pathwayProperties.find(location.pathway);
        if (found == entry->pathwayProperties.end()) return nullptr;
        const PathwayContaminant& record = found->second;
        switch (kind) {
        case baseOfUnsaturatedZoneConcentration:
            return Usable(Element(record.concentrations, timeIndex));
        case dilutedConcentration: return Usable(Element(record.dilutedConcentrations, timeIndex));
        case uzUnretardedTravelTime: return Usable(&record.unretardedTravelTime);
        default: return Usable(&record.retardedTravelTime);
        }
    }
    switch (kind) {
    case sourceConcentration: return Usable(Element(entry->sourceConcentrations, timeIndex));
    case receptorConcentration: {
        const auto* perTime = Element(entry->receptorConcentrations, location.receptor);
        return perTime ? Usable(Element(*perTime, timeIndex)) : nullptr;
    }
    case receptorUnretardedTravelTime:
        return Usable(Element(entry->receptorUnretardedTravelTimes, location.receptor));
    case receptorRetardedTravelTime:
        return Usable(Element(entry->receptorRetardedTravelTimes, location.receptor));
    default: return nullptr;
    }
}

bool ApplicableStandard(const Project& project, const ResultLocation& location, double& standard) {
    if (!GraphResultKind::IsConcentration(location.kind)) return false;
    const Contaminant* contaminant = Element(project.contaminants, location.contaminant);
    if (!contaminant || contaminant->standardStatus == Contaminant::noStandard) return false;
    // A standard of 0 would put the line on the axis (and off a log axis):
    // a set without a value for the species is read as none.
    if (!(contaminant->standard > 0.0)) return false;
    standard = contaminant->standard;
    return true;
}

} // namespace varnex::ui
