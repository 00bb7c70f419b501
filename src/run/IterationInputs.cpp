#include "run/IterationInputs.h"

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "base/TextFormat.h"
#include "model/PlanGeometry.h"
#include "model/PolygonGeometry.h"
#include "model/PolygonSampler.h"
#include "model/Project.h"
#include "model/RunInputs.h"
#include "settings/Translate.h"
#include "stochastic/DistributionType.h"
#include "stochastic/IterationCount.h"
#include "stochastic/LatinHypercube.h"
#include "stochastic/RandomStream.h"

namespace varnex {

namespace {

// A pair that violates its physical constraint is drawn again; a pair that
// still fails after this many re-draws means the two distributions hardly
// overlap, which is an input error.
constexpr int maximumRedraws = 1000;

// Fills the inputs' samples the way the run samples: plain draws (Monte
// Carlo, or the central values of the plume map) or a Latin hypercube. Where
// a pair must be drawn again to be physically consistent, the new values are
// always plain draws; a Latin hypercube run counts, per input, how many of
// its values were so replaced (they are not stratified), for the warnings.
class Sampler {
public:
    explicit Sampler(Project& project)
        : project_(project), central_(project.plume.active),
          stratified_(!central_ && project.samplingMethod == SamplingMethod::latinHypercube) {
        project_.redrawnInputs.clear();
    }

    bool Central() const { return central_; }
    bool Stratified() const { return stratified_; }

    void All(StochasticParameter& input) {
        if (!stratified_) {
            input.SampleAll(central_);
            return;
        }
        input.SetSamples(
            LatinHypercubeSample(input.distribution, IterationCount(), ProcessRandomSource()));
    }

    // One value of `input`, in an iteration whose pair had to be drawn
    // again.
    void CountRedrawn(const StochasticParameter& input, const std::string& owner) {
        if (!stratified_) return;
        auto [at, added] = index_.try_emplace(&input, project_.redrawnInputs.size());
        if (added) project_.redrawnInputs.push_back({owner, input.Label(), 0});
        ++project_.redrawnInputs[at->second].count;
    }

private:
    Project& project_;
    bool central_;
    bool stratified_;
    std::map<const StochasticParameter*, std::size_t> index_;
};

[[noreturn]] void SourceError(const char* format, const Source& source) {
    throw Exception(FormatText(TranslateFormat(format), {source.name}));
}

void ReleaseAll(Project& project) {
    for (StochasticParameter* p : ParametersOf(project.aquifer)) p->FreeSamples();
    for (Contaminant& contaminant : project.contaminants) {
        for (StochasticParameter* p : ParametersOf(contaminant)) p->FreeSamples();
        contaminant.yield.FreeSamples();
    }
    for (Source& source : project.sources) {
        for (StochasticParameter* p : source.AllParameters()) p->FreeSamples();
        source.sourceArea.FreeSamples();
    }
}

void PlaceInAquiferFrame(Source& source, double angle) {
    for (PlanPoint& vertex : source.vertices) {
        const PlanPoint rotated = RotatePoint(vertex.x, vertex.y, angle);
        vertex.rotatedX = rotated.x;
        vertex.rotatedY = rotated.y;
    }
    const FrameBox box = RotatedBoundingBox(source.vertices);
    source.extentX = box.maxX - box.minX;
    source.extentY = box.maxY - box.minY;
    source.signedArea = ShoelaceArea(source.vertices, true);
    source.centroid = RotatedCentroid(source.vertices);
    const PlanPoint centre = RotatePoint(source.centre.x, source.centre.y, angle);
    source.centre.rotatedX = centre.x;
    source.centre.rotatedY = centre.y;
}

bool NeedsSoilProperties(const Source& source) {
    if (source.decliningSource != Source::constantSource) return true;
    for (const SourceContaminant& entry : source.inventory)
        if (entry.active && entry.MeasuredInSoil()) return true;
    return false;
}

// Moisture content and the two densities give the saturation of the pore
// space: porosity n = 1 - rho_b / rho_s, saturation = w * rho_b / n in per
// cent of the pore volume (w the gravimetric moisture content in per cent).
void CheckSaturation(const Source& source, double bulkDensity, double particleDensity,
                     double moisture) {
    const double porosity = 1.0 - bulkDensity / particleDensity;
    if (porosity == 0.0) {
        // No pore space: any moisture at all would oversaturate it.
        if (moisture > 0.0) SourceError(TranslatableText("Source %s Saturation > 100%%"), source);
        return;
    }
    const double saturation = particleDensity / (particleDensity / bulkDensity - 1.0) * moisture;
    if (saturation > 100.0) SourceError(TranslatableText("Source %s Saturation > 100%%"), source);
}

void SampleSoil(Source& source, std::size_t n, Sampler& sampler) {
    const bool central = sampler.Central();
    if (source.calculatePorosities) {
        sampler.All(source.moistureContent);
        sampler.All(source.particleDensity);
        for (std::size_t i = 0; i < n; ++i) {
            int redraws = 0;
            while (source.dryBulkDensity.SampleAt(i) > source.particleDensity.SampleAt(i)) {
                if (redraws == maximumRedraws)
                    SourceError(TranslatableText("Source %s Bulk Density > Particle Density"),
                                source);
                source.dryBulkDensity.SampleOne(i, central);
                source.particleDensity.SampleOne(i, central);
                ++redraws;
            }
            if (redraws > 0) {
                sampler.CountRedrawn(source.dryBulkDensity, source.name);
                sampler.CountRedrawn(source.particleDensity, source.name);
            }
            CheckSaturation(source, source.dryBulkDensity.SampleAt(i),
                            source.particleDensity.SampleAt(i), source.moistureContent.SampleAt(i));
        }
        return;
    }
    // Plain draws take both porosities iteration by iteration, as they
    // always have; a Latin hypercube stratifies each first.
    if (sampler.Stratified()) {
        sampler.All(source.airFilledPorosity);
        sampler.All(source.waterFilledPorosity);
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (!sampler.Stratified()) {
            source.airFilledPorosity.SampleOne(i, central);
            source.waterFilledPorosity.SampleOne(i, central);
        }
        int redraws = 0;
        while (source.airFilledPorosity.SampleAt(i) + source.waterFilledPorosity.SampleAt(i) >
               1.0) {
            if (redraws == maximumRedraws)
                SourceError(TranslatableText("Source %s Porosities out of range"), source);
            source.airFilledPorosity.SampleOne(i, central);
            source.waterFilledPorosity.SampleOne(i, central);
            ++redraws;
        }
        if (redraws > 0) {
            sampler.CountRedrawn(source.airFilledPorosity, source.name);
            sampler.CountRedrawn(source.waterFilledPorosity, source.name);
        }
    }
}

void SampleInventory(Project& project, Source& source, Sampler& sampler) {
    const bool partitioned = source.decliningSource != Source::constantSource;
    for (SourceContaminant& entry : source.inventory) {
        if (!entry.active) continue;
        sampler.All(entry.concentration);
        if (!entry.MeasuredInSoil() && !partitioned) continue;
        const Contaminant* contaminant = project.FindContaminant(entry.contaminant);
        if (contaminant && contaminant->henryFlag) {
            sampler.All(entry.henrysLawConstant);
        } else {
            entry.henrysLawConstant.Resize();
            for (std::size_t i = 0; i < entry.henrysLawConstant.SampleCount(); ++i)
                entry.henrysLawConstant.SampleAt(i) = 0.0;
        }
        sampler.All(entry.maximumSolubility);
        if (entry.partitionFromKoc != 0)
            entry.partitionCoefficient.Resize();
        else
            sampler.All(entry.partitionCoefficient);
    }
}

void SamplePathway(Source& source, UnsaturatedPathway& pathway, std::size_t n, Sampler& sampler,
                   bool retarded) {
    const bool central = sampler.Central();
    sampler.All(pathway.verticalDispersivity);
    sampler.All(pathway.thickness);
    if (!pathway.DualPorosity()) {
        sampler.All(pathway.waterFilledPorosity);
        sampler.All(pathway.unsaturatedConductivity);
        if (source.Soakaway()) {
            sampler.All(pathway.verticalHydraulicGradient);
            pathway.saturatedEffectivePorosity.Resize();
            if (sampler.Stratified()) sampler.All(pathway.saturatedEffectivePorosity);
            for (std::size_t i = 0; i < n; ++i) {
                if (!sampler.Stratified()) pathway.saturatedEffectivePorosity.SampleOne(i, central);
                int redraws = 0;
                // Water cannot fill more of the pore space than saturation.
                while (pathway.waterFilledPorosity.SampleAt(i) >
                       pathway.saturatedEffectivePorosity.SampleAt(i)) {
                    if (redraws == maximumRedraws)
                        throw Exception("Unsaturated Pathway " + pathway.name +
                                        " Porosities out of range");
                    pathway.saturatedEffectivePorosity.SampleOne(i, central);
                    pathway.waterFilledPorosity.SampleOne(i, central);
                    ++redraws;
                }
                if (redraws > 0) {
                    sampler.CountRedrawn(pathway.saturatedEffectivePorosity, pathway.name);
                    sampler.CountRedrawn(pathway.waterFilledPorosity, pathway.name);
                }
            }
        }
    } else {
        sampler.All(pathway.effectiveFissurePorosity);
        sampler.All(pathway.matrixConductivity);
        sampler.All(pathway.effectiveMatrixPorosity);
    }
    if (retarded) sampler.All(pathway.foc);
    sampler.All(pathway.dryBulkDensity);
}

// The range a layer's own distribution allows, in the units the user
// entered; distributions without a finite range always pass.
bool WithinOwnRange(const Distribution& d, double thickness) {
    double low = 0.0, high = 0.0;
    switch (d.type) {
    case DistributionType::single: low = high = d.GetSingleValue(); break;
    case DistributionType::uniform:
    case DistributionType::logUniform:
    case DistributionType::triangular:
    case DistributionType::logTriangular:
        low = d.GetMinimum();
        high = d.GetMaximum();
        break;
    default: return true;
    }
    return !(thickness < low || thickness > high);
}

void ScaleThicknesses(Project& project, std::size_t sourceIndex, std::size_t n) {
    Source& source = project.sources[sourceIndex];
    for (std::size_t i = 0; i < n; ++i) {
        double sum = 0.0;
        for (UnsaturatedPathway& pathway : source.pathways) sum += pathway.thickness.SampleAt(i);
        if (!(sum > 0.0))
            SourceError(
                TranslatableText("Source %s: the unsaturated pathway thicknesses add up to zero"),
                source);
        const double ratio = source.overallUnsaturatedZoneThickness.SampleAt(i) / sum;
        bool outOfRange = false;
        for (UnsaturatedPathway& pathway : source.pathways) {
            double& thickness = pathway.thickness.SampleAt(i);
            thickness *= ratio;
            if (!WithinOwnRange(pathway.thickness.distribution, thickness)) outOfRange = true;
        }
        if (outOfRange && !project.plume.active) ++project.thicknessOutOfRangeCount.at(sourceIndex);
    }
}

void SampleUnsaturatedZone(Project& project, std::size_t sourceIndex, std::size_t n,
                           Sampler& sampler) {
    Source& source = project.sources[sourceIndex];
    source.sourceArea.Resize();
    source.baseArea.Resize();
    const double area = TruncatedPositiveArea(source.signedArea);
    if (source.Soakaway()) {
        source.infiltration.Resize();
        sampler.All(source.maximumInfiltrationRate);
        for (std::size_t i = 0; i < n; ++i)
            source.baseArea.SampleAt(i) = source.sourceArea.SampleAt(i) = area;
        if (source.drainageSystem != 0) {
            sampler.All(source.catchmentArea);
            sampler.All(source.runoffRecharge);
        }
    } else {
        sampler.All(source.infiltration);
    }
    if (!(source.Soakaway() && source.drainageSystem != 0))
        for (std::size_t i = 0; i < n; ++i) source.sourceArea.SampleAt(i) = area;
    sampler.All(source.overallUnsaturatedZoneThickness);
    for (UnsaturatedPathway& pathway : source.pathways)
        SamplePathway(source, pathway, n, sampler, project.processes.retardedTravelUz);
    ScaleThicknesses(project, sourceIndex, n);
    sampler.All(source.thickness);
    for (SourceContaminant& entry : source.inventory) {
        for (auto& [key, record] : entry.pathwayProperties) {
            if (project.processes.retardedTravelUz) {
                if (record.partitionFromKoc != 0)
                    record.uzPartitionCoefficient.Resize();
                else
                    sampler.All(record.uzPartitionCoefficient);
            }
            if (project.processes.biodegradationUz) sampler.All(record.uzHalfLife);
        }
    }
}

void ChooseCentres(Project& project, std::size_t n, const Sampler& sampler) {
    for (Source& source : project.sources) {
        source.centres.assign(n, PlanPoint());
        // A Latin hypercube stratifies the random centre too, across and
        // along the flow: where the source sits relative to a receptor
        // often decides its concentration more than any other input.
        if (sampler.Stratified() && source.centreDefinition == Source::randomCentre) {
            const PolygonSampler polygon(source.vertices);
            if (polygon.HasArea()) {
                const int count = static_cast<int>(n);
                const std::vector<double> along =
                    LatinHypercubeProbabilities(count, ProcessRandomSource());
                const std::vector<double> across =
                    LatinHypercubeProbabilities(count, ProcessRandomSource());
                for (std::size_t i = 0; i < n; ++i)
                    source.centres[i] = polygon.PointAt(along[i], across[i]);
                continue;
            }
        }
        for (std::size_t i = 0; i < n; ++i) {
            PlanPoint& centre = source.centres[i];
            switch (source.centreDefinition) {
            case Source::calculatedCentre: centre = source.centroid; break;
            case Source::userDefinedCentre: centre = source.centre; break;
            default:
                centre = project.plume.active ? source.centroid : RandomPointInSource(source);
                break;
            }
        }
    }
}

} // namespace

PlanPoint RandomPointInSource(const Source& source) {
    const FrameBox box = RotatedBoundingBox(source.vertices);
    for (int candidate = 0; candidate < 1000; ++candidate) {
        PlanPoint point;
        point.rotatedX = UniformDeviate() * (box.maxX - box.minX) + box.minX;
        point.rotatedY = UniformDeviate() * (box.maxY - box.minY) + box.minY;
        if (InsideRotatedPolygon(source.vertices, point.rotatedX, point.rotatedY)) return point;
    }
    // Only a sliver of a polygon can miss 1000 times; its centre must still
    // lie inside it.
    PlanPoint fallback = source.centroid;
    if (!InsideRotatedPolygon(source.vertices, fallback.rotatedX, fallback.rotatedY)) {
        double y = fallback.rotatedY;
        if (PointInsideAcrossFlow(source.vertices, fallback.rotatedX, y)) fallback.rotatedY = y;
    }
    return fallback;
}

void SampleIterationInputs(Project& project) {
    Sampler sampler(project);
    const int level = project.simulationLevel;
    const std::size_t n = static_cast<std::size_t>(std::max(0, IterationCount()));
    const double angle = project.aquifer.flowDirection - 90.0;
    if (project.thicknessOutOfRangeCount.size() != project.sources.size())
        project.thicknessOutOfRangeCount.assign(project.sources.size(), 0);

    ReleaseAll(project);
    for (Contaminant& contaminant : project.contaminants) sampler.All(contaminant.koc);
    for (Source& source : project.sources) PlaceInAquiferFrame(source, angle);

    if (level == SimulationLevel::level3a) {
        for (Source& source : project.sources)
            for (SourceContaminant& entry : source.inventory)
                if (entry.active) sampler.All(entry.concentration);
    } else {
        for (std::size_t s = 0; s < project.sources.size(); ++s) {
            Source& source = project.sources[s];
            sampler.All(source.foc);
            sampler.All(source.dryBulkDensity);
            source.airFilledPorosity.Resize();
            source.waterFilledPorosity.Resize();
            if (NeedsSoilProperties(source)) SampleSoil(source, n, sampler);
            SampleInventory(project, source, sampler);
            if (level > SimulationLevel::level1) SampleUnsaturatedZone(project, s, n, sampler);
            if (level == SimulationLevel::level1 &&
                source.decliningSource == Source::leachingDecline) {
                sampler.All(source.infiltration);
                sampler.All(source.thickness);
            }
        }
    }

    Aquifer& aquifer = project.aquifer;
    if (level > SimulationLevel::level2 ||
        (level == SimulationLevel::level2 && aquifer.dilutionFlag != 0)) {
        for (Contaminant& contaminant : project.contaminants)
            sampler.All(contaminant.backgroundConcentration);
        ChooseCentres(project, n, sampler);
        if (aquifer.calculateMixingZone != 0) {
            for (Source& source : project.sources) {
                if (level == SimulationLevel::level3a)
                    sampler.All(source.infiltration);
                else
                    source.infiltration.Resize();
            }
            aquifer.mixingZoneThickness.Resize();
        } else {
            sampler.All(aquifer.mixingZoneThickness);
        }
        sampler.All(aquifer.thickness);
        sampler.All(aquifer.hydraulicConductivity);
        sampler.All(aquifer.hydraulicGradient);
        aquifer.effectiveWidths.assign(project.sources.size(), std::vector<double>(n, 0.0));
    }

    if (level > SimulationLevel::level2) {
        for (Receptor& receptor : project.receptors) {
            const PlanPoint rotated = RotatePoint(receptor.x, receptor.y, angle);
            receptor.rotatedX = rotated.x;
            receptor.rotatedY = rotated.y;
        }
        if (project.processes.retardedTravelAquifer) {
            sampler.All(aquifer.foc);
            sampler.All(aquifer.dryBulkDensity);
        }
        sampler.All(aquifer.effectivePorosity);
        sampler.All(aquifer.lateralDispersivity);
        sampler.All(aquifer.longitudinalDispersivity);
        for (Contaminant& contaminant : project.contaminants) {
            if (project.processes.retardedTravelAquifer) {
                if (contaminant.partitionFromKoc != 0) {
                    sampler.All(contaminant.koc);
                    contaminant.partitionCoefficient.Resize();
                } else {
                    sampler.All(contaminant.partitionCoefficient);
                }
            }
            if (project.processes.biodegradationAquifer) sampler.All(contaminant.halfLife);
        }
    }

    // Decay chains: the yields of the daughters where chains act, after
    // every other input, so that a project without chains draws exactly
    // what it drew before chains existed.
    const RunInputs inputs(project);
    for (Contaminant& contaminant : project.contaminants)
        for (StochasticParameter* yield : inputs.ChainInputs(contaminant)) sampler.All(*yield);
}

} // namespace varnex
