#pragma once

#include <vector>

#include "model/ParameterField.h"
#include "results/ResultVector.h"
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

    StochasticParameter uzHalfLife; // "UZ Half Life [years]"
    // 0: only the dissolved phase degrades, so the decay rate is divided by
    // the retardation factor; 1: dissolved and sorbed phases degrade.
    int degradationPhase = 0;
    int partitionFromKoc = 0;                   // non-zero: kd = foc x koc x 0.01
    StochasticParameter uzPartitionCoefficient; // "UZ Partition Coefficient [ml/g]"

    // Results of a run (years, m/year, mg/l). The travel times are per layer
    // while an iteration runs and from the top of the first layer once it
    // ends.
    ResultVector unretardedTravelTime;        // "Unsaturated Zone Unretarded Travel Time"
    ResultVector retardedTravelTime;          // "Unsaturated Zone Retarded Travel Time"
    ResultVector matrixUnretardedTravelTime;  // "Unsaturated Zone Matrix Unretarded Travel Time"
    ResultVector matrixRetardedTravelTime;    // "Unsaturated Zone Matrix Retarded Travel Time"
    ResultVector retardedVelocity;            // "Unsaturated Zone Retarded Velocity"
    ResultVector retardedMatrixVelocity;      // "Unsaturated Zone Retarded Matrix Velocity"
    ResultVector retardation;                 // R, unlabelled
    ResultVector matrixRetardation;           // Rm, unlabelled
    std::vector<ResultVector> concentrations; // per time slice, at the base of the layer
    std::vector<ResultVector> matrixConcentrations;  // per time slice
    std::vector<ResultVector> dilutedConcentrations; // per time slice, in the mixing zone
    // The retarded travel time through this layer alone (years), per
    // iteration. The run turns retardedTravelTime into the time from the top
    // of the first layer once an iteration is done; a calculation that
    // repeats the run's iterations afterwards (the probability map) needs
    // each layer's own delay, exactly as the iteration used it. Kept for the
    // layers below the first only (the first layer's time is not changed);
    // not saved.
    std::vector<double> layerRetardedTravelTime;
};

} // namespace varnex
