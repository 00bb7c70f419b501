#include "model/Aquifer.h"

namespace varnex {

Aquifer::Aquifer() {
    ApplyFieldLimits(*this);
    ApplyNames();
}

const std::vector<ParameterField<Aquifer>>& Aquifer::ParameterFields() {
    using A = Aquifer;
    static const std::vector<ParameterField<A>> fields = {
        {"thickness", &A::thickness, TranslatableText("Thickness [m]")},
        {"mixingZoneThickness", &A::mixingZoneThickness,
         TranslatableText("Mixing Zone Thickness [m]")},
        {"foc", &A::foc, TranslatableText("Fraction of organic carbon (foc) [%]"), 0.0, 100.0},
        {"dryBulkDensity", &A::dryBulkDensity, TranslatableText("Dry Bulk Density [g/cm³]")},
        {"lateralDispersivity", &A::lateralDispersivity,
         TranslatableText("Lateral Dispersivity [m]"), 1e-30},
        {"longitudinalDispersivity", &A::longitudinalDispersivity,
         TranslatableText("Longitudinal Dispersivity [m]"), 1e-30},
        {"effectivePorosity", &A::effectivePorosity,
         TranslatableText("Effective Porosity [fraction]"), 0.0, 1.0},
        {"hydraulicConductivity", &A::hydraulicConductivity,
         TranslatableText("Hydraulic Conductivity [m/s]")},
        {"reserved", &A::reserved, ""},
        {"hydraulicGradient", &A::hydraulicGradient, TranslatableText("Hydraulic Gradient")},
    };
    return fields;
}

} // namespace varnex
