#include "model/Source.h"

#include "settings/Translate.h"

namespace varnex {

Source::Source() {
    ApplyFieldLimits(*this);
    pathways.emplace_back();
    pathways.back().name = Translate("Unsaturated Pathway 1");
    ApplyNames();
}

const std::vector<ParameterField<Source>>& Source::ParameterFields() {
    using S = Source;
    // mm/yr to m/yr, and mm/yr to m/d (0.001 / 365.25).
    constexpr double millimetresToMetres = 0.001;
    constexpr double millimetresPerYearToMetresPerDay = 2.737850787132101e-06;
    static const std::vector<ParameterField<S>> fields = {
        {"infiltration", &S::infiltration, TranslatableText("Infiltration [mm/yr]"), 0.0,
         Distribution::defaultMaxLimit, millimetresToMetres},
        {"maximumInfiltrationRate", &S::maximumInfiltrationRate,
         TranslatableText("Maximum Infiltration Rate [m/d]")},
        {"catchmentArea", &S::catchmentArea, TranslatableText("Catchment Area [m²]")},
        {"runoffRecharge", &S::runoffRecharge, TranslatableText("Run-off Recharge [mm/yr]"), 0.0,
         Distribution::defaultMaxLimit, millimetresPerYearToMetresPerDay},
        {"baseArea", &S::baseArea, TranslatableText("Base Area [m²]")},
        {"thickness", &S::thickness, TranslatableText("Thickness [m]")},
        {"dryBulkDensity", &S::dryBulkDensity, TranslatableText("Dry Bulk Density [g/cm³]")},
        {"waterFilledPorosity", &S::waterFilledPorosity,
         TranslatableText("Water filled porosity [fraction]"), 0.0, 1.0},
        {"airFilledPorosity", &S::airFilledPorosity,
         TranslatableText("Air filled porosity [fraction]"), 0.0, 1.0},
        {"foc", &S::foc, TranslatableText("Fraction of organic carbon (foc) [%]"), 0.0, 100.0},
        {"overallUnsaturatedZoneThickness", &S::overallUnsaturatedZoneThickness,
         TranslatableText("Overall Unsaturated Zone Thickness [m]")},
        {"moistureContent", &S::moistureContent, TranslatableText("Moisture Content [%]"), 0.0,
         100.0},
        {"particleDensity", &S::particleDensity, TranslatableText("Particle Density [g/cm³]")},
    };
    return fields;
}

void Source::ApplyNames() {
    ApplyFieldLabels(*this);
    for (UnsaturatedPathway& pathway : pathways) pathway.ApplyNames(Soakaway());
    for (SourceContaminant& entry : inventory) entry.ApplyNames();
}

void Source::Renumber() {
    RenumberParameters(*this);
    for (UnsaturatedPathway& pathway : pathways) pathway.Renumber();
    for (SourceContaminant& entry : inventory) entry.Renumber();
}

std::vector<StochasticParameter*> Source::AllParameters() {
    std::vector<StochasticParameter*> all = ParametersOf(*this);
    for (UnsaturatedPathway& pathway : pathways) {
        const auto own = ParametersOf(pathway);
        all.insert(all.end(), own.begin(), own.end());
    }
    for (SourceContaminant& entry : inventory) {
        const auto own = ParametersOf(entry);
        all.insert(all.end(), own.begin(), own.end());
        for (auto& [index, properties] : entry.pathwayProperties) {
            const auto uz = ParametersOf(properties);
            all.insert(all.end(), uz.begin(), uz.end());
        }
    }
    return all;
}

} // namespace varnex
