#include "model/PathwayContaminant.h"

namespace varnex {

PathwayContaminant::PathwayContaminant() {
    ApplyFieldLimits(*this);
    ApplyNames();
}

const std::vector<ParameterField<PathwayContaminant>>& PathwayContaminant::ParameterFields() {
    using P = PathwayContaminant;
    static const std::vector<ParameterField<P>> fields = {
        {"uzHalfLife", &P::uzHalfLife, TranslatableText("UZ Half Life [years]")},
        {"uzPartitionCoefficient", &P::uzPartitionCoefficient,
         TranslatableText("UZ Partition Coefficient [ml/g]")},
    };
    return fields;
}

} // namespace varnex
