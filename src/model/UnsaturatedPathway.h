#pragma once

#include <string>
#include <vector>

#include "model/ParameterField.h"
#include "results/ResultVector.h"
#include "stochastic/StochasticParameter.h"

namespace varnex {

// One layer of the unsaturated zone beneath a source, either a porous medium
// or a dual-porosity (fissured) medium.
class UnsaturatedPathway {
public:
    static constexpr int porousMedium = 0;
    static constexpr int dualPorosity = 1;

    UnsaturatedPathway();
    static const std::vector<ParameterField<UnsaturatedPathway>>& ParameterFields();
    // Labels (translated). Beneath a soakaway the water moves at saturated
    // conductivity, so the conductivity is labelled accordingly.
    void ApplyNames(bool soakawaySource = false);
    void Renumber() { RenumberParameters(*this); }
    bool DualPorosity() const { return flowModel == dualPorosity; }

    std::string name;
    int flowModel = porousMedium;
    StochasticParameter dryBulkDensity;     // "Dry Bulk Density [g/cm³]"
    StochasticParameter thickness;          // "Thickness [m]"
    StochasticParameter matrixConductivity; // "Matrix Conductivity [m/s]" (dual porosity)
    StochasticParameter
        effectiveMatrixPorosity; // "Effective Matrix Porosoity [fraction]" (dual porosity)
    StochasticParameter
        effectiveFissurePorosity; // "Effective Fissure Porosity [fraction]" (dual porosity)
    StochasticParameter saturatedEffectivePorosity; // "Saturated Effective Porosity [fraction]"
    StochasticParameter verticalDispersivity;       // "Vertical Dispersivity [m]"
    StochasticParameter verticalHydraulicGradient;  // "Vertical Hydraulic Gradient"
    StochasticParameter unsaturatedConductivity;    // "Unsaturated Conductivity [m/s]"
    StochasticParameter foc;                        // "Fraction of organic carbon (foc) [%]"
    StochasticParameter waterFilledPorosity;        // "Water filled porosity [fraction]"
    // An excluded pathway passes concentrations through unchanged.
    bool include = true;

    // Results of a run.
    ResultVector fissureVelocity; // "Fissure Velocity", m/year
    ResultVector matrixVelocity;  // "Matrix Velocity", m/year
    ResultVector matrixFlow;      // m³/year, unlabelled
    ResultVector fissureFlow;     // m³/year, unlabelled
    // Per iteration: the water entered the fissures (dual porosity).
    std::vector<char> fissureFlowing;
};

} // namespace varnex
