#include "model/UnsaturatedPathway.h"

namespace varnex {

UnsaturatedPathway::UnsaturatedPathway() {
    ApplyFieldLimits(*this);
    ApplyNames();
}

const std::vector<ParameterField<UnsaturatedPathway>>& UnsaturatedPathway::ParameterFields() {
    using P = UnsaturatedPathway;
    static const std::vector<ParameterField<P>> fields = {
        {"dryBulkDensity", &P::dryBulkDensity, TranslatableText("Dry Bulk Density [g/cm³]")},
        {"thickness", &P::thickness, TranslatableText("Thickness [m]")},
        {"matrixConductivity", &P::matrixConductivity,
         TranslatableText("Matrix Conductivity [m/s]")},
        {"effectiveMatrixPorosity", &P::effectiveMatrixPorosity,
         TranslatableText("Effective Matrix Porosoity [fraction]")},
        {"effectiveFissurePorosity", &P::effectiveFissurePorosity,
         TranslatableText("Effective Fissure Porosity [fraction]")},
        {"saturatedEffectivePorosity", &P::saturatedEffectivePorosity,
         TranslatableText("Saturated Effective Porosity [fraction]")},
        {"verticalDispersivity", &P::verticalDispersivity,
         TranslatableText("Vertical Dispersivity [m]")},
        {"verticalHydraulicGradient", &P::verticalHydraulicGradient,
         TranslatableText("Vertical Hydraulic Gradient")},
        {"unsaturatedConductivity", &P::unsaturatedConductivity,
         TranslatableText("Unsaturated Conductivity [m/s]")},
        {"foc", &P::foc, TranslatableText("Fraction of organic carbon (foc) [%]")},
        {"waterFilledPorosity", &P::waterFilledPorosity,
         TranslatableText("Water filled porosity [fraction]")},
    };
    return fields;
}

void UnsaturatedPathway::ApplyNames(bool soakawaySource) {
    ApplyFieldLabels(*this);
    if (soakawaySource) unsaturatedConductivity.SetLabel(Translate("Saturated Conductivity [m/s]"));
}

} // namespace varnex
