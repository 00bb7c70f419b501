#include "model/RunInputs.h"

#include <algorithm>
#include <set>

#include "model/DecayChain.h"
#include "model/Project.h"

namespace varnex {

namespace {
using Inputs = std::vector<StochasticParameter*>;
}

RunInputs::RunInputs(Project& project) : project_(project), level_(project.simulationLevel) {}

bool RunInputs::UnsaturatedZoneComputed() const {
    return level_ == SimulationLevel::level2 || level_ == SimulationLevel::level3;
}

bool RunInputs::HasHenry(const SourceContaminant& entry) const {
    const Contaminant* contaminant = project_.FindContaminant(entry.contaminant);
    return contaminant && contaminant->henryFlag;
}

int RunInputs::SoilKind(const Source& source) const {
    int kind = 0;
    for (const SourceContaminant& entry : source.inventory) {
        if (!entry.active || !entry.MeasuredInSoil()) continue;
        kind = std::max(kind, HasHenry(entry) ? 2 : 1);
    }
    return kind;
}

bool RunInputs::AirPhase(const Source& source) const {
    return std::any_of(source.inventory.begin(), source.inventory.end(),
                       [this](const SourceContaminant& e) { return e.active && HasHenry(e); });
}

bool RunInputs::SourceFocNeeded(const Source& source) const {
    if (level_ == SimulationLevel::level3a) return false;
    return std::any_of(
        source.inventory.begin(), source.inventory.end(), [&](const SourceContaminant& e) {
            return e.active && e.partitionFromKoc != 0 &&
                   (e.MeasuredInSoil() || source.decliningSource != Source::constantSource);
        });
}

Inputs RunInputs::SourceInputs(Source& source) const {
    Inputs inputs;
    auto add = [&inputs](StochasticParameter& p) {
        if (std::find(inputs.begin(), inputs.end(), &p) == inputs.end()) inputs.push_back(&p);
    };
    auto addInfiltration = [&] {
        if (!source.Soakaway()) {
            add(source.infiltration);
            return;
        }
        add(source.maximumInfiltrationRate);
        if (source.drainageSystem != 0) {
            add(source.catchmentArea);
            add(source.runoffRecharge);
        }
    };
    if (level_ == SimulationLevel::level3a) {
        // Only the mixing zone computed from the infiltration reads anything
        // of the source itself.
        if (project_.aquifer.calculateMixingZone != 0) addInfiltration();
        return inputs;
    }
    const int kind = SoilKind(source);
    bool porositiesTested = false;
    auto addPorosities = [&](bool airPhase) {
        if (source.calculatePorosities) {
            add(source.moistureContent);
            add(source.particleDensity);
        } else {
            add(source.waterFilledPorosity);
            if (airPhase) add(source.airFilledPorosity);
        }
        porositiesTested = true;
    };
    if (kind > 0) {
        add(source.dryBulkDensity);
        addPorosities(kind == 2);
    }
    if (source.decliningSource == Source::leachingDecline && !porositiesTested)
        addPorosities(AirPhase(source));
    if (level_ > SimulationLevel::level1 || source.decliningSource != Source::constantSource)
        add(source.thickness);
    if (source.decliningSource != Source::constantSource && kind == 0) add(source.dryBulkDensity);
    if (UnsaturatedZoneComputed())
        addInfiltration();
    else if (level_ == SimulationLevel::level1 && source.decliningSource == Source::leachingDecline)
        // Without an unsaturated zone no soakaway rate is derived: the
        // leaching decline reads the infiltration as entered, soakaway or
        // not.
        add(source.infiltration);
    if (SourceFocNeeded(source)) add(source.foc);
    return inputs;
}

Inputs RunInputs::EntryInputs(const Source& source, SourceContaminant& entry) const {
    if (!entry.active) return {};
    Inputs inputs{&entry.concentration};
    if (level_ == SimulationLevel::level3a) return inputs;
    if (entry.MeasuredInSoil() || source.decliningSource != Source::constantSource) {
        if (HasHenry(entry)) inputs.push_back(&entry.henrysLawConstant);
        inputs.push_back(&entry.maximumSolubility);
        if (entry.partitionFromKoc == 0) inputs.push_back(&entry.partitionCoefficient);
    }
    return inputs;
}

Inputs RunInputs::EntryPathwayInputs(const SourceContaminant& entry,
                                     PathwayContaminant& record) const {
    if (!entry.active || !UnsaturatedZoneComputed()) return {};
    Inputs inputs;
    if (project_.processes.retardedTravelUz && record.partitionFromKoc == 0)
        inputs.push_back(&record.uzPartitionCoefficient);
    if (project_.processes.biodegradationUz) inputs.push_back(&record.uzHalfLife);
    return inputs;
}

Inputs RunInputs::PathwayInputs(const Source& source, std::size_t pathwayIndex) const {
    if (!UnsaturatedZoneComputed()) return {};
    UnsaturatedPathway& pathway = const_cast<Source&>(source).pathways.at(pathwayIndex);
    Inputs inputs{&pathway.verticalDispersivity, &pathway.thickness};
    if (pathway.DualPorosity()) {
        inputs.push_back(&pathway.effectiveFissurePorosity);
        inputs.push_back(&pathway.matrixConductivity);
        inputs.push_back(&pathway.effectiveMatrixPorosity);
    } else {
        inputs.push_back(&pathway.waterFilledPorosity);
        inputs.push_back(&pathway.unsaturatedConductivity);
        if (source.Soakaway()) {
            inputs.push_back(&pathway.verticalHydraulicGradient);
            inputs.push_back(&pathway.saturatedEffectivePorosity);
        }
    }
    if (project_.processes.retardedTravelUz) {
        // Organic carbon only feeds a partition coefficient from koc.
        const int key = static_cast<int>(pathwayIndex);
        const bool fromKoc = std::any_of(
            source.inventory.begin(), source.inventory.end(), [key](const SourceContaminant& e) {
                auto found = e.pathwayProperties.find(key);
                return e.active && found != e.pathwayProperties.end() &&
                       found->second.partitionFromKoc != 0;
            });
        if (fromKoc) inputs.push_back(&pathway.foc);
        inputs.push_back(&pathway.dryBulkDensity);
    }
    return inputs;
}

Inputs RunInputs::UnsaturatedZoneInputs(Source& source) const {
    if (!UnsaturatedZoneComputed()) return {};
    return {&source.overallUnsaturatedZoneThickness};
}

bool RunInputs::AquiferComputed() const {
    return (level_ > SimulationLevel::level1 && project_.aquifer.dilutionFlag != 0) ||
           level_ > SimulationLevel::level2;
}

Inputs RunInputs::AquiferInputs() const {
    if (!AquiferComputed()) return {};
    Aquifer& a = project_.aquifer;
    Inputs inputs;
    if (level_ > SimulationLevel::level2 || a.calculateMixingZone != 0)
        inputs.push_back(&a.thickness);
    if (a.calculateMixingZone == 0) inputs.push_back(&a.mixingZoneThickness);
    inputs.push_back(&a.hydraulicConductivity);
    inputs.push_back(&a.hydraulicGradient);
    if (level_ > SimulationLevel::level2) {
        if (project_.processes.retardedTravelAquifer) {
            inputs.push_back(&a.dryBulkDensity);
            // A partition coefficient from koc needs the aquifer's organic
            // carbon; without it the aquifer would retard nothing unnoticed.
            const auto used = ContaminantsInAquifer();
            if (std::any_of(used.begin(), used.end(),
                            [](const Contaminant* c) { return c->partitionFromKoc != 0; }))
                inputs.push_back(&a.foc);
        }
        inputs.push_back(&a.effectivePorosity);
        inputs.push_back(&a.lateralDispersivity);
        inputs.push_back(&a.longitudinalDispersivity);
    }
    return inputs;
}

bool RunInputs::KocNeeded(const Contaminant& contaminant) const {
    if (level_ > SimulationLevel::level2 && project_.processes.retardedTravelAquifer &&
        contaminant.partitionFromKoc != 0 && contaminant.backgroundOption != 0)
        return true;
    for (const Source& source : project_.sources) {
        for (const SourceContaminant& entry : source.inventory) {
            if (!entry.active || entry.contaminant != contaminant.identifier) continue;
            if (level_ != SimulationLevel::level3a && entry.partitionFromKoc != 0 &&
                (entry.MeasuredInSoil() || source.decliningSource == Source::leachingDecline))
                return true;
            // Every layer's sorption may come from koc, not only the first's.
            if (UnsaturatedZoneComputed() && project_.processes.retardedTravelUz) {
                for (const auto& [key, record] : entry.pathwayProperties)
                    if (key < static_cast<int>(source.pathways.size()) &&
                        record.partitionFromKoc != 0)
                        return true;
            }
        }
    }
    return false;
}

std::vector<Contaminant*> RunInputs::ContaminantsInAquifer() const {
    std::vector<Contaminant*> used;
    for (Contaminant& contaminant : project_.contaminants) {
        bool inUse = false;
        if (project_.sources.empty()) {
            inUse = contaminant.backgroundOption != 0;
        } else {
            for (const Source& source : project_.sources)
                for (const SourceContaminant& entry : source.inventory)
                    inUse = inUse || (entry.active && entry.contaminant == contaminant.identifier);
        }
        if (inUse) used.push_back(&contaminant);
    }
    return used;
}

Inputs RunInputs::ContaminantAquiferInputs(Contaminant& contaminant) const {
    Inputs inputs;
    if (contaminant.backgroundOption != 0) inputs.push_back(&contaminant.backgroundConcentration);
    if (level_ >= SimulationLevel::level3) {
        if (project_.processes.retardedTravelAquifer) {
            // The aquifer's partition coefficient is computed from koc
            // whenever the contaminant says so, organic or not.
            if (contaminant.partitionFromKoc != 0)
                inputs.push_back(&contaminant.koc);
            else
                inputs.push_back(&contaminant.partitionCoefficient);
        }
        if (project_.processes.biodegradationAquifer) inputs.push_back(&contaminant.halfLife);
    }
    return inputs;
}

Inputs RunInputs::ChainInputs(Contaminant& contaminant) const {
    if (contaminant.parentIdentifier == Contaminant::noParent || !DecayChain::ChainsAct(project_))
        return {};
    // An input of the run needs its own identity (samples and sensitivity
    // are told apart by it); a yield gets one the first time it is used.
    contaminant.NumberYield();
    return {&contaminant.yield};
}

Inputs RunInputs::All() const {
    Inputs all;
    std::set<const StochasticParameter*> seen;
    auto append = [&](const Inputs& inputs) {
        for (StochasticParameter* p : inputs)
            if (seen.insert(p).second) all.push_back(p);
    };
    for (Contaminant& contaminant : project_.contaminants)
        if (KocNeeded(contaminant)) append({&contaminant.koc});
    for (Source& source : project_.sources) {
        append(SourceInputs(source));
        for (SourceContaminant& entry : source.inventory) {
            append(EntryInputs(source, entry));
            for (auto& [key, record] : entry.pathwayProperties)
                if (key < static_cast<int>(source.pathways.size()))
                    append(EntryPathwayInputs(entry, record));
        }
        for (std::size_t p = 0; p < source.pathways.size(); ++p) append(PathwayInputs(source, p));
        append(UnsaturatedZoneInputs(source));
    }
    append(AquiferInputs());
    if (AquiferComputed())
        for (Contaminant* contaminant : ContaminantsInAquifer())
            append(ContaminantAquiferInputs(*contaminant));
    for (Contaminant& contaminant : project_.contaminants) append(ChainInputs(contaminant));
    return all;
}

} // namespace varnex
