#include "analysis/SensitivityInputs.h"

#include <algorithm>

#include "analysis/SensitivitySelection.h"
#include "base/TextFormat.h"
#include "model/Project.h"
#include "settings/Translate.h"
#include "transport/ChainLineage.h"

namespace varnex {

namespace {

using Inputs = std::vector<StochasticParameter*>;

// The inputs of a source that set the water entering its top layer.
bool InfiltrationInput(const Source& source, const StochasticParameter* p) {
    return p == &source.infiltration || p == &source.maximumInfiltrationRate ||
           p == &source.catchmentArea || p == &source.runoffRecharge;
}

} // namespace

SensitivityInputs::SensitivityInputs(Project& project) : project_(project), runInputs_(project) {
    for (const StochasticParameter* p : runInputs_.All()) used_.insert(p);
}

std::vector<SensitivityInputs::Input> SensitivityInputs::For(int resultCode, Source& source,
                                                             SourceContaminant& entry,
                                                             std::size_t pathwayIndex) const {
    std::vector<Input> inputs = OwnInputs(resultCode, source, entry, pathwayIndex);
    // A daughter of a decay chain: its concentrations carry what its
    // ancestors' decay formed, so every input of theirs that shapes the same
    // result shapes it too, and so do the yields down the chain. Each is
    // named after its contaminant; an input already listed (a layer's
    // thickness, the aquifer's flow) stays where it was.
    const bool concentration =
        resultCode == SensitivityResult::baseOfUnsaturatedZoneConcentration ||
        resultCode == SensitivityResult::receptorConcentration;
    const std::size_t entryIndex = static_cast<std::size_t>(&entry - source.inventory.data());
    const SourceLineage lineage = LineageAtSource(project_, source, entryIndex);
    if (!concentration || lineage.count < 2) return inputs;
    std::set<const StochasticParameter*> listed;
    for (const Input& input : inputs) listed.insert(input.parameter);
    auto add = [&](StochasticParameter* p, const std::string& prefix) {
        if (p && used_.count(p) && listed.insert(p).second) inputs.push_back(Input{p, prefix});
    };
    for (std::size_t l = 0; l < lineage.count; ++l) {
        SourceContaminant& member = source.inventory.at(lineage.entryIndices[l]);
        Contaminant* contaminant = nullptr;
        for (Contaminant& c : project_.contaminants)
            if (c.identifier == member.contaminant) contaminant = &c;
        if (!contaminant) continue;
        const bool self = l + 1 == lineage.count;
        const std::string owner =
            self ? std::string() : FormatText(TranslateFormat("%s: "), {contaminant->name});
        if (!self)
            for (const Input& input : OwnInputs(resultCode, source, member, pathwayIndex))
                add(input.parameter, owner + input.prefix);
        if (l > 0) add(&contaminant->yield, owner);
    }
    return inputs;
}

std::vector<SensitivityInputs::Input> SensitivityInputs::OwnInputs(int resultCode, Source& source,
                                                                   SourceContaminant& entry,
                                                                   std::size_t pathwayIndex) const {
    using namespace SensitivityResult;
    const int level = project_.simulationLevel;
    const ActiveProcesses& processes = project_.processes;
    const bool unsaturatedZone =
        level == SimulationLevel::level2 || level == SimulationLevel::level3;
    const bool level3a = level == SimulationLevel::level3a;
    const bool concentration = resultCode == sourceConcentration ||
                               resultCode == baseOfUnsaturatedZoneConcentration ||
                               resultCode == receptorConcentration;
    const bool pathwayResult =
        resultCode == unsaturatedZoneTravelTime || resultCode == baseOfUnsaturatedZoneConcentration;
    const bool receptorResult =
        resultCode == receptorTravelTime || resultCode == receptorConcentration;
    const bool aquifer = receptorResult && level > SimulationLevel::level2;

    Contaminant* contaminant = nullptr;
    for (Contaminant& c : project_.contaminants)
        if (c.identifier == entry.contaminant) contaminant = &c;

    std::vector<Input> inputs;
    std::set<const StochasticParameter*> listed;
    auto add = [&](StochasticParameter* p, const std::string& prefix) {
        if (p && used_.count(p) && listed.insert(p).second) inputs.push_back(Input{p, prefix});
    };

    // The layers the result passes through: `full` layers with everything
    // they compute, `capping` layers only through the infiltration they cap
    // (an excluded layer still caps it; every layer's cap is in place before
    // any concentration is computed, while each travel time sees only the
    // caps above and at its own layer).
    const std::size_t layers = source.pathways.size();
    std::vector<char> full(layers, 0);
    std::vector<char> capping(layers, 0);
    const bool throughUnsaturatedZone =
        unsaturatedZone && (pathwayResult || (receptorResult && level == SimulationLevel::level3));
    if (throughUnsaturatedZone && layers > 0) {
        const std::size_t last = pathwayResult ? std::min(pathwayIndex, layers - 1) : layers - 1;
        for (std::size_t q = 0; q < layers; ++q) {
            if (q <= last)
                (source.pathways[q].include ? full : capping)[q] = 1;
            else if (concentration)
                capping[q] = 1;
        }
    }
    auto recordOf = [&entry](std::size_t q) -> PathwayContaminant* {
        auto found = entry.pathwayProperties.find(static_cast<int>(q));
        return found == entry.pathwayProperties.end() ? nullptr : &found->second;
    };

    // Contaminant: koc, where a partition coefficient derived from it enters.
    const bool sourceTermKoc =
        concentration && !level3a && entry.partitionFromKoc != 0 &&
        (entry.MeasuredInSoil() || source.decliningSource == Source::leachingDecline);
    bool layerKoc = false;
    if (processes.retardedTravelUz)
        for (std::size_t q = 0; q < layers; ++q)
            if (full[q] && recordOf(q) && recordOf(q)->partitionFromKoc != 0) layerKoc = true;
    const bool aquiferKoc = aquifer && processes.retardedTravelAquifer && contaminant &&
                            contaminant->partitionFromKoc != 0;
    if (contaminant && (sourceTermKoc || layerKoc || aquiferKoc))
        add(&contaminant->koc, std::string());

    // Source: the source term of this entry.
    const std::string sourcePrefix = Translate("Source ");
    const Inputs sourceInputs = runInputs_.SourceInputs(source);
    if (concentration && !level3a) {
        const bool soil =
            entry.MeasuredInSoil() || source.decliningSource != Source::constantSource;
        const bool henry = contaminant && contaminant->henryFlag;
        for (StochasticParameter* p : sourceInputs) {
            if (InfiltrationInput(source, p)) {
                // A source declining by leaching loses what the infiltration
                // carries away. Where the unsaturated zone is computed, the
                // water's inputs are named after its top layer instead.
                if (source.decliningSource == Source::leachingDecline &&
                    !(throughUnsaturatedZone && layers > 0))
                    add(p, sourcePrefix);
                continue;
            }
            if (!soil) continue;
            if (p == &source.airFilledPorosity && !henry) continue;
            if (p == &source.foc && entry.partitionFromKoc == 0) continue;
            if (p == &source.thickness && source.decliningSource == Source::constantSource)
                continue;
            add(p, sourcePrefix);
        }
    }
    if (concentration && (!level3a || resultCode == receptorConcentration))
        for (StochasticParameter* p : runInputs_.EntryInputs(source, entry)) add(p, sourcePrefix);
    if (level3a && resultCode == receptorConcentration)
        for (StochasticParameter* p : sourceInputs)
            add(p, sourcePrefix); // the computed mixing zone's infiltration

    // Pathways.
    if (throughUnsaturatedZone && layers > 0) {
        const std::string topPrefix =
            FormatText(TranslateFormat("U/S Zone %s "), {source.pathways[0].name});
        for (StochasticParameter* p : sourceInputs)
            if (InfiltrationInput(source, p)) add(p, topPrefix);
        for (StochasticParameter* p : runInputs_.UnsaturatedZoneInputs(source)) add(p, topPrefix);
        for (std::size_t q = 0; q < layers; ++q) {
            if (!full[q] && !capping[q]) continue;
            UnsaturatedPathway& pathway = source.pathways[q];
            const std::string prefix = FormatText(TranslateFormat("U/S Zone %s "), {pathway.name});
            PathwayContaminant* record = recordOf(q);
            const Inputs pathwayInputs = runInputs_.PathwayInputs(source, q);
            if (full[q]) {
                const bool fromKoc = record && record->partitionFromKoc != 0;
                for (StochasticParameter* p : pathwayInputs)
                    if (p != &pathway.foc || fromKoc) add(p, prefix);
                if (record)
                    for (StochasticParameter* p : runInputs_.EntryPathwayInputs(entry, *record))
                        if (p != &record->uzHalfLife || concentration) add(p, prefix);
            } else if (!pathway.DualPorosity()) {
                // A porous layer caps the infiltration at its conductivity;
                // beneath a soakaway, whether it saturates decides the rate.
                for (StochasticParameter* p : pathwayInputs) {
                    const bool caps =
                        p == &pathway.unsaturatedConductivity ||
                        (source.Soakaway() && (p == &pathway.verticalHydraulicGradient ||
                                               p == &pathway.saturatedEffectivePorosity ||
                                               p == &pathway.waterFilledPorosity));
                    if (caps) add(p, prefix);
                }
            }
        }
    }

    // Aquifer.
    if (aquifer) {
        Aquifer& a = project_.aquifer;
        const std::string prefix = Translate("Aquifer ");
        const bool travelTime = resultCode == receptorTravelTime;
        const bool aquiferFromKoc =
            processes.retardedTravelAquifer && contaminant && contaminant->partitionFromKoc != 0;
        for (StochasticParameter* p : runInputs_.AquiferInputs()) {
            // The travel time reads the flow beneath the source, the
            // retardation and the longitudinal dispersivity; the mixing zone
            // depth and the lateral dispersivity shape concentrations only,
            // and at "Level 3a" so does the thickness.
            if (travelTime && (p == &a.mixingZoneThickness || p == &a.lateralDispersivity))
                continue;
            if (travelTime && level3a && p == &a.thickness) continue;
            if (p == &a.foc && !aquiferFromKoc) continue;
            add(p, prefix);
        }
        if (contaminant)
            for (StochasticParameter* p : runInputs_.ContaminantAquiferInputs(*contaminant)) {
                if (p == &contaminant->koc) continue; // listed with the contaminant
                if (travelTime &&
                    (p == &contaminant->halfLife || p == &contaminant->backgroundConcentration))
                    continue;
                add(p, prefix);
            }
    }
    return inputs;
}

} // namespace varnex
