#include "model/Contaminant.h"

namespace varnex {

Contaminant::Contaminant() {
    ApplyFieldLimits(*this);
    yield.distribution.minLimit = YieldField().minLimit;
    yield.distribution.maxLimit = YieldField().maxLimit;
    ApplyNames();
}

void Contaminant::ApplyNames() {
    ApplyFieldLabels(*this);
    yield.SetLabel(Translate(YieldField().label));
    yield.distribution.unitFactor = YieldField().unitFactor;
}

void Contaminant::Renumber() {
    RenumberParameters(*this);
    if (yield.id != unnumbered) yield.Renumber();
}

const ParameterField<Contaminant>& Contaminant::YieldField() {
    // A mass ratio: for the chlorinated ethenes and ethanes the ratio of the
    // molar masses lies between 0.2 (ethene from vinyl chloride) and 1
    // (PCE 165.83, TCE 131.39, cis-1,2-DCE 96.94, VC 62.50, ethene 28.05 g/mol;
    // 1,1,1-TCA 133.40, 1,1-DCA 98.96, chloroethane 64.51 g/mol). A yield
    // above 1 is possible for a lighter parent, but not above 10.
    static const ParameterField<Contaminant> field = {"yield", &Contaminant::yield,
                                                      TranslatableText("Yield [mg/mg]"), 0.0, 10.0};
    return field;
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
