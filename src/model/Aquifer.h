#pragma once

#include <vector>

#include "model/ParameterField.h"
#include "results/ResultVector.h"
#include "stochastic/StochasticParameter.h"

namespace varnex {

// The one aquifer of a project, beneath every source and receptor.
class Aquifer {
public:
    Aquifer();
    static const std::vector<ParameterField<Aquifer>>& ParameterFields();
    void ApplyNames() { ApplyFieldLabels(*this); }
    void Renumber() { RenumberParameters(*this); }

    // Non-zero: the mixing zone and dilution beneath each source are also
    // computed at "Level 2" (above it they always are).
    int dilutionFlag = 1;
    StochasticParameter thickness; // "Thickness [m]"
    // Non-zero: the mixing zone thickness is computed from the source length,
    // infiltration and aquifer properties instead of taken as an input.
    int calculateMixingZone = 0;
    StochasticParameter mixingZoneThickness; // "Mixing Zone Thickness [m]"
    StochasticParameter foc;                 // "Fraction of organic carbon (foc) [%]", at most 100
    StochasticParameter dryBulkDensity;      // "Dry Bulk Density [g/cm³]"
    StochasticParameter lateralDispersivity; // "Lateral Dispersivity [m]", at least 1e-30
    StochasticParameter longitudinalDispersivity; // "Longitudinal Dispersivity [m]", at least 1e-30
    StochasticParameter effectivePorosity;        // "Effective Porosity [fraction]", at most 1
    StochasticParameter hydraulicConductivity;    // "Hydraulic Conductivity [m/s]"
    StochasticParameter reserved;                 // stored and saved, no label and no use
    StochasticParameter hydraulicGradient;        // "Hydraulic Gradient"
    bool aquiferFlag = false;
    bool secondAquiferFlag = false;
    // Degrees. The aquifer frame is the site plan rotated by (direction - 90),
    // so that x' runs downstream along the groundwater flow.
    double flowDirection = 0.0;

    // Results of a run.
    ResultVector mixingZoneCrossSection; // m², unlabelled
    // Per source, per iteration: the source's effective width across the
    // flow, m.
    std::vector<std::vector<double>> effectiveWidths;
};

} // namespace varnex
