#include "transport/MixingZone.h"

#include <cmath>

#include "model/Project.h"
#include "settings/Translate.h"
#include "transport/TransportArithmetic.h"
#include "transport/TransportConstants.h"

namespace varnex {

using namespace TransportConstants;

void ComputeMixingZoneAndDilution(Project& project, Source& source, std::size_t entryIndex,
                                  std::size_t pathwayIndex, std::size_t i,
                                  std::size_t sourceIndex) {
    Aquifer& aquifer = project.aquifer;
    const int level = project.simulationLevel;
    const double aquiferThickness = aquifer.thickness.SampleAt(i);
    const double conductivity = aquifer.hydraulicConductivity.SampleAt(i);
    const double gradient = aquifer.hydraulicGradient.SampleAt(i);
    const double sourceLength = source.extentX; // along the flow, m
    double& mixingDepth = aquifer.mixingZoneThickness.SampleAt(i);

    if (aquifer.calculateMixingZone != 0) {
        // Vertical dispersion over the source length plus the depth the
        // infiltration pushes down against the horizontal aquifer flow
        // Ka i H over that length.
        const double aquiferFlow =
            conductivity * gradient * aquiferThickness * secondsPerYear; // m²/year per m width
        if (aquiferFlow == 0.0) {
            const StochasticParameter& zero = conductivity == 0.0 ? aquifer.hydraulicConductivity
                                              : gradient == 0.0   ? aquifer.hydraulicGradient
                                                                  : aquifer.thickness;
            ThrowZeroInput(
                TranslatableText("Source %s: the mixing zone cannot be calculated because %s is 0"),
                source.name, zero.Label());
        }
        const double infiltration = source.infiltration.SampleAt(i);
        mixingDepth =
            std::sqrt(mixingZoneCoefficient * sourceLength * sourceLength) +
            aquiferThickness * (1.0 - std::exp(-sourceLength * infiltration / aquiferFlow));
    }
    // A mixing zone cannot be deeper than the aquifer; only a depth the
    // user sampled at "Level 2" is used as drawn.
    if ((level > SimulationLevel::level2 || aquifer.calculateMixingZone != 0) &&
        mixingDepth > aquiferThickness)
        mixingDepth = aquiferThickness;

    double width = source.extentY; // across the flow, m
    const bool saturatedSoakaway = level != SimulationLevel::level3a && source.Soakaway() &&
                                   source.saturatedSoakaway.at(i) != 0;
    if (saturatedSoakaway) {
        // A saturated soakaway spreads its water over the enlarged
        // infiltration area A instead of its base: the width grows with the
        // side of that area, sqrt(A / base area).
        const double base = source.baseArea.SampleAt(i);
        if (base == 0.0)
            ThrowZeroInput(TranslatableText("Source %s: %s is 0"), source.name,
                           source.baseArea.Label());
        width = width * std::sqrt(source.sourceArea.SampleAt(i)) / std::sqrt(base);
    }
    aquifer.effectiveWidths.at(sourceIndex).at(i) = width;
    aquifer.mixingZoneCrossSection.At(i) = mixingDepth * width;
    const double mixingFlow =
        conductivity * gradient * mixingDepth * width * secondsPerYear; // m³/year
    source.mixingZoneFlow.At(i) = mixingFlow;

    PathwayContaminant& record =
        source.inventory.at(entryIndex).pathwayProperties.at(static_cast<int>(pathwayIndex));
    const UnsaturatedPathway& pathway = source.pathways.at(pathwayIndex);
    const std::size_t slices = project.plume.active ? 1 : project.timeSlices.size();
    for (std::size_t k = 0; k < slices; ++k) {
        double diluted = 0.0;
        if (level != SimulationLevel::level3a) {
            // The water from the unsaturated zone mixes with the aquifer
            // water passing through the mixing zone; under fissure flow the
            // fissure and matrix waters arrive at their own concentrations.
            const double infiltrated =
                source.infiltration.SampleAt(i) * source.sourceArea.SampleAt(i); // m³/year
            const double total = infiltrated + mixingFlow;
            if (total != 0.0) {
                if (pathway.fissureFlowing.at(i) != 0)
                    diluted = (pathway.fissureFlow.At(i) * record.concentrations.at(k).At(i) +
                               pathway.matrixFlow.At(i) * record.matrixConcentrations.at(k).At(i)) /
                              total;
                else
                    diluted = record.concentrations.at(k).At(i) * infiltrated / total;
            }
        }
        record.dilutedConcentrations.at(k).At(i) = diluted;
    }
}

} // namespace varnex
