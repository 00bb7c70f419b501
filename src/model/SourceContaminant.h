#pragma once

#include <map>
#include <vector>

#include "model/ParameterField.h"
#include "model/PathwayContaminant.h"
#include "results/ResultVector.h"
#include "stochastic/StochasticParameter.h"

namespace varnex {

// One entry of a source's inventory: a contaminant present in the source,
// with how its concentration was measured and its partitioning inputs.
class SourceContaminant {
public:
    // Measured as total concentration in soil (mg/kg); any other value of
    // `measuredAs` means leachate concentration (mg/l).
    static constexpr int measuredInSoil = 1;

    SourceContaminant();
    static const std::vector<ParameterField<SourceContaminant>>& ParameterFields();
    // Labels (translated): the concentration is labelled in the unit of its
    // measurement, so this is applied again when `measuredAs` changes.
    void ApplyNames();
    void Renumber();
    bool MeasuredInSoil() const { return measuredAs == measuredInSoil; }

    int contaminant = -1;                  // identifier of its Contaminant
    StochasticParameter concentration;     // "Concentration [mg/kg]" or "Concentration [mg/l]"
    StochasticParameter henrysLawConstant; // "Henry's Law Constant"
    StochasticParameter maximumSolubility; // "Maximum Solubility [mg/l]"
    int measuredAs = measuredInSoil;
    bool active = false;
    int partitionFromKoc = 0;                 // non-zero: Kd = foc x koc x 0.01
    StochasticParameter partitionCoefficient; // "Partition Coefficient [ml/g]"
    // One record per unsaturated pathway of the source, keyed by the
    // pathway's index.
    std::map<int, PathwayContaminant> pathwayProperties;

    // Results of a run.
    std::vector<ResultVector> sourceConcentrations;          // per time slice, leachate mg/l
    ResultVector leachMass;                                  // "Leach Mass", kg/year
    ResultVector maxLeachMass;                               // "Max Leach Mass", kg
    std::vector<ResultVector> receptorUnretardedTravelTimes; // per receptor, years
    std::vector<ResultVector> receptorRetardedTravelTimes;   // per receptor, years
    std::vector<ResultVector> receptorAquiferTravelTimes;    // per receptor, years
    std::vector<std::vector<ResultVector>>
        receptorConcentrations; // per receptor, per time slice, mg/l
};

} // namespace varnex
