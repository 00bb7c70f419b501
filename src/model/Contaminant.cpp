#include "model/Contaminant.h"

namespace varnex {

Contaminant::Contaminant() {
    ApplyFieldLimits(*this);
    ApplyNames();
}

const std::vector<ParameterField<Contaminant>>& Contaminant::ParameterFields() {
    using C = Contaminant;
    static const std::vector<ParameterField<C>> fields = {
        {"koc", &C::koc,
         TranslatableText("Partition coefficient to organic fraction (koc) [ml/g]")},
        {"partitionCoefficient", &C::partitionCoefficient,
         TranslatableText("Partition Coefficient [ml/g]")},
        {"halfLife", &C::halfLife, TranslatableText("Half Life [years]")},
        {"backgroundConcentration", &C::backgroundConcentration,
         TranslatableText("Background Concentration [mg/l]")},
    };
    return fields;
}

} // namespace varnex
