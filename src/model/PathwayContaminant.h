#pragma once

#include <vector>

#include "model/ParameterField.h"
#include "stochastic/StochasticParameter.h"

namespace varnex {

// A contaminant's properties in one unsaturated pathway of a source.
class PathwayContaminant {
public:
    PathwayContaminant();
    static const std::vector<ParameterField<PathwayContaminant>>& ParameterFields();
    // Labels (translated); applied after construction and after every load.
    void ApplyNames() { ApplyFieldLabels(*this); }
    // New identities for every input (for a duplicated source).
    void Renumber() { RenumberParameters(*this); }

    StochasticParameter uzHalfLife;             // "UZ Half Life [years]"
    // 0: only the dissolved phase degrades, so the decay rate is divided by
    // the retardation factor; 1: dissolved and sorbed phases degrade.
    int degradationPhase = 0;
    int partitionFromKoc = 0; // non-zero: kd = foc x koc x 0.01
    StochasticParameter uzPartitionCoefficient; // "UZ Partition Coefficient [ml/g]"
};

} // namespace varnex
