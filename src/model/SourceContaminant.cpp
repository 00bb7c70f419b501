#include "model/SourceContaminant.h"

namespace varnex {

SourceContaminant::SourceContaminant() {
    ApplyFieldLimits(*this);
    ApplyNames();
}

const std::vector<ParameterField<SourceContaminant>>& SourceContaminant::ParameterFields() {
    using E = SourceContaminant;
    static const std::vector<ParameterField<E>> fields = {
        {"concentration", &E::concentration, TranslatableText("Concentration [mg/l]")},
        {"henrysLawConstant", &E::henrysLawConstant, TranslatableText("Henry's Law Constant")},
        {"maximumSolubility", &E::maximumSolubility, TranslatableText("Maximum Solubility [mg/l]")},
        {"partitionCoefficient", &E::partitionCoefficient,
         TranslatableText("Partition Coefficient [ml/g]")},
    };
    return fields;
}

void SourceContaminant::ApplyNames() {
    ApplyFieldLabels(*this);
    if (MeasuredInSoil()) concentration.SetLabel(Translate("Concentration [mg/kg]"));
    for (auto& [index, properties] : pathwayProperties) properties.ApplyNames();
}

void SourceContaminant::Renumber() {
    RenumberParameters(*this);
    for (auto& [index, properties] : pathwayProperties) properties.Renumber();
}

} // namespace varnex
