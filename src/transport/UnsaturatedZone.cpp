#include "transport/UnsaturatedZone.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "model/DecayChain.h"
#include "model/Project.h"
#include "settings/Translate.h"
#include "transport/ChainAdvectionDispersion.h"
#include "transport/ChainLineage.h"
#include "transport/MixingZone.h"
#include "transport/SolverDispatch.h"
#include "transport/SourceTerm.h"
#include "transport/TransportArithmetic.h"
#include "transport/TransportConstants.h"

namespace varnex {

namespace {

using namespace TransportConstants;

// About how many layer solutions the entries of a source hand the solver at
// once (whole entries, so a single entry may exceed it): enough to fill its
// lanes, small enough that the scratch space stays in the cache.
constexpr std::size_t problemsPerBatch = 256;

bool FissureFlowing(const UnsaturatedPathway& pathway, std::size_t i) {
    return pathway.fissureFlowing.at(i) != 0;
}

PathwayContaminant& RecordOf(SourceContaminant& entry, std::size_t pathwayIndex) {
    // Every record exists before the first iteration (the result store
    // creates them), so iterations on several threads never insert.
    return entry.pathwayProperties.at(static_cast<int>(pathwayIndex));
}

[[noreturn]] void ZeroPorosityWithFlow(const Source& source, const UnsaturatedPathway& pathway,
                                       const StochasticParameter& porosity) {
    ThrowZeroInput(
        TranslatableText("Source %s, pathway %s: %s is 0, but water flows through the layer"),
        source.name, pathway.name, porosity.Label());
}

// The first-order decay rate (1/s) of a half-life in years. A half-life of
// 0 would make the rate infinite, which the kernel cannot take; it is
// reported rather than guessed at.
double UnsaturatedDecayRate(const Project& project, const Source& source,
                            const UnsaturatedPathway& pathway, const PathwayContaminant& record,
                            std::size_t i) {
    if (!project.processes.biodegradationUz) return 0.0;
    const double halfLife = record.uzHalfLife.SampleAt(i);
    if (halfLife == 0.0)
        ThrowZeroInput(TranslatableText("Source %s, pathway %s: %s is 0"), source.name,
                       pathway.name, record.uzHalfLife.Label());
    return ln2 / (secondsPerYear * halfLife);
}

} // namespace

void DeriveSoakawayInfiltration(Source& source, std::size_t i) {
    if (!source.Soakaway()) return;
    // The soakaway takes the run-off of its catchment, spread over the area
    // it infiltrates through, as far as its maximum infiltration rate
    // allows; without a drainage system it runs at that rate (m/day).
    const double maximumRate = source.maximumInfiltrationRate.SampleAt(i);
    double rate = maximumRate;
    if (source.drainageSystem != 0) {
        rate = source.runoffRecharge.SampleAt(i) * source.catchmentArea.SampleAt(i) /
               source.sourceArea.SampleAt(i);
        if (rate > maximumRate) rate = maximumRate;
    }
    source.infiltration.SampleAt(i) = rate * daysPerYear;
}

double PorousMediumTravelTime(Project& /*project*/, Source& source, std::size_t pathwayIndex,
                              std::size_t i) {
    UnsaturatedPathway& pathway = source.pathways.at(pathwayIndex);
    double& infiltration = source.infiltration.SampleAt(i);
    const double conductivity = pathway.unsaturatedConductivity.SampleAt(i);
    double& waterFilled = pathway.waterFilledPorosity.SampleAt(i);
    if (source.Soakaway()) {
        // The soakaway stays unsaturated while the layer can pass its water
        // at the unsaturated water content under the vertical gradient;
        // otherwise the layer beneath it saturates, the water moves at the
        // saturated conductivity and spreads over the area needed to take
        // the whole inflow.
        const double saturated = pathway.saturatedEffectivePorosity.SampleAt(i);
        const double gradient = pathway.verticalHydraulicGradient.SampleAt(i);
        const double q = infiltration;
        // With no saturated pore space (theta_s = 0) the soakaway cannot
        // saturate the layer: the comparison below would be false anyway.
        if (saturated != 0.0 && q * waterFilled / saturated * gradient < q) {
            const double saturatedRate = conductivity * gradient * secondsPerYear; // m/year
            if (saturatedRate == 0.0)
                ThrowZeroInput(
                    TranslatableText(
                        "Source %s, pathway %s: %s is 0, so the soakaway cannot drain its water"),
                    source.name, pathway.name,
                    conductivity == 0.0 ? pathway.unsaturatedConductivity.Label()
                                        : pathway.verticalHydraulicGradient.Label());
            double& area = source.sourceArea.SampleAt(i);
            area = std::max(area, q * source.baseArea.SampleAt(i) / saturatedRate);
            waterFilled = saturated;
            infiltration = saturatedRate;
            source.saturatedSoakaway.at(i) = 1;
        } else {
            source.saturatedSoakaway.at(i) = 0;
        }
    } else if (conductivity * secondsPerYear < infiltration) {
        // A layer cannot pass more water than its conductivity under a unit
        // gradient; the rest runs off, for this and every later layer.
        infiltration = conductivity * secondsPerYear;
    }
    pathway.fissureFlowing.at(i) = 0;
    if (!pathway.include) return 0.0;
    // Advective travel over the thickness less one dispersivity, the
    // distance at which the dispersed front reaches half its height.
    const double distance =
        std::max(pathway.thickness.SampleAt(i) - pathway.verticalDispersivity.SampleAt(i), 0.0);
    return TimeToCover(distance * waterFilled, infiltration);
}

DualPorosityTimes DualPorosityTravelTime(Project& /*project*/, Source& source,
                                         std::size_t pathwayIndex, std::size_t i) {
    UnsaturatedPathway& pathway = source.pathways.at(pathwayIndex);
    const double q = source.infiltration.SampleAt(i);
    const double matrixRate = pathway.matrixConductivity.SampleAt(i) * secondsPerYear; // m/year
    const double matrixPorosity = pathway.effectiveMatrixPorosity.SampleAt(i);
    double& fissurePorosity = pathway.effectiveFissurePorosity.SampleAt(i);
    const double thickness = pathway.thickness.SampleAt(i);
    const double distance = std::max(thickness - pathway.verticalDispersivity.SampleAt(i), 0.0);
    DualPorosityTimes times;
    if (matrixRate > q) {
        // The matrix carries all the water; the fissures stay dry and the
        // layer behaves as a porous medium of the matrix porosity.
        fissurePorosity = matrixPorosity;
        pathway.fissureFlowing.at(i) = 0;
        times.travelTime = TimeToCover(distance * matrixPorosity, q);
    } else {
        // The matrix takes what its conductivity allows over the part of
        // the area that is not fissure; the excess runs down the fissures.
        const double area = source.sourceArea.SampleAt(i);
        const double matrixFlow = (1.0 - fissurePorosity) * area * matrixRate;
        pathway.matrixFlow.At(i) = matrixFlow;
        const double matrixVelocity = PoreVelocity(matrixRate, matrixPorosity, [&] {
            ZeroPorosityWithFlow(source, pathway, pathway.effectiveMatrixPorosity);
        });
        pathway.matrixVelocity.At(i) = matrixVelocity;
        times.matrixTravelTime = TimeToCover(distance, matrixVelocity);
        pathway.fissureFlow.At(i) = q * area - matrixFlow;
        const double fissureVelocity =
            PoreVelocity(q - (1.0 - fissurePorosity) * matrixRate, fissurePorosity, [&] {
                ZeroPorosityWithFlow(source, pathway, pathway.effectiveFissurePorosity);
            });
        pathway.fissureVelocity.At(i) = fissureVelocity;
        // Fissure flow is fast and hardly dispersed: the whole thickness.
        times.travelTime = TimeToCover(thickness, fissureVelocity);
        pathway.fissureFlowing.at(i) = 1;
    }
    if (!pathway.include) {
        // An excluded layer passes its inlet on unchanged, all of it in the
        // one water: weighting it as fissure water alone would drop the
        // matrix water's share of the load from the dilution.
        pathway.fissureFlowing.at(i) = 0;
        return DualPorosityTimes{};
    }
    return times;
}

void RetardationFactors(Project& project, Source& source, SourceContaminant& entry,
                        std::size_t pathwayIndex, std::size_t i) {
    UnsaturatedPathway& pathway = source.pathways.at(pathwayIndex);
    PathwayContaminant& record = RecordOf(entry, pathwayIndex);
    const bool fissures = FissureFlowing(pathway, i);
    double retardation = 1.0;
    double matrixRetardation = 1.0;
    if (project.processes.retardedTravelUz) {
        if (record.partitionFromKoc != 0) {
            const Contaminant* contaminant = project.FindContaminant(entry.contaminant);
            const double koc = contaminant ? contaminant->koc.SampleAt(i) : 0.0;
            record.uzPartitionCoefficient.SampleAt(i) = pathway.foc.SampleAt(i) * koc * 0.01;
        }
        const double kd = record.uzPartitionCoefficient.SampleAt(i);
        const double bulk = pathway.dryBulkDensity.SampleAt(i);
        // R = 1 + rho_b Kd / theta for linear equilibrium sorption, with
        // theta the porosity the water moves through; no pore water, no
        // retardation.
        auto factor = [bulk, kd](double porosity) {
            return porosity == 0.0 ? 1.0 : 1.0 + bulk / porosity * kd;
        };
        if (fissures)
            matrixRetardation = factor(pathway.effectiveMatrixPorosity.SampleAt(i));
        else if (pathway.DualPorosity())
            retardation = factor(pathway.effectiveFissurePorosity.SampleAt(i));
        else
            retardation = factor(pathway.waterFilledPorosity.SampleAt(i));
    }
    record.retardation.At(i) = retardation;
    record.matrixRetardation.At(i) = matrixRetardation;

    if (fissures) {
        record.retardedVelocity.At(i) = pathway.fissureVelocity.At(i);
        record.retardedMatrixVelocity.At(i) = pathway.matrixVelocity.At(i);
    } else {
        StochasticParameter& porosity =
            pathway.DualPorosity() ? pathway.effectiveFissurePorosity : pathway.waterFilledPorosity;
        record.retardedVelocity.At(i) =
            PoreVelocity(source.infiltration.SampleAt(i), porosity.SampleAt(i),
                         [&] { ZeroPorosityWithFlow(source, pathway, porosity); });
    }
    if (pathway.include) {
        record.retardedTravelTime.At(i) = record.unretardedTravelTime.At(i) * retardation;
        record.matrixRetardedTravelTime.At(i) =
            record.matrixUnretardedTravelTime.At(i) * matrixRetardation;
    } else {
        record.retardedTravelTime.At(i) = 0.0;
        record.matrixRetardedTravelTime.At(i) = 0.0;
    }
}

void UnsaturatedConcentrations(Project& project, Source& source, SourceContaminant& entry,
                               std::size_t i, std::size_t pathwayIndex) {
    SourceContaminant* entries[] = {&entry};
    UnsaturatedConcentrationsOfEntries(project, source, entries, 1, i, pathwayIndex);
}

void UnsaturatedConcentrationsOfEntries(Project& project, Source& source,
                                        SourceContaminant* const* entries, std::size_t entryCount,
                                        std::size_t i, std::size_t pathwayIndex) {
    const UnsaturatedPathway& pathway = source.pathways.at(pathwayIndex);
    const bool plume = project.plume.active;
    const std::size_t slices = plume ? 1 : project.timeSlices.size();
    const double* times = plume ? &project.plume.timeYears : project.timeSlices.data();
    // Every entry at every time slice, entry by entry.
    thread_local std::vector<LayerRequest> requests;
    thread_local std::vector<LayerConcentrations> bases;
    requests.clear();
    for (std::size_t e = 0; e < entryCount; ++e) {
        const double decay =
            UnsaturatedDecayRate(project, source, pathway, RecordOf(*entries[e], pathwayIndex), i);
        for (std::size_t k = 0; k < slices; ++k) requests.push_back({entries[e], times[k], decay});
    }
    bases.resize(requests.size());
    ConcentrationsAtBase(project, source, requests.data(), requests.size(), i, pathwayIndex,
                         bases.data());
    for (std::size_t e = 0; e < entryCount; ++e) {
        PathwayContaminant& record = RecordOf(*entries[e], pathwayIndex);
        for (std::size_t k = 0; k < slices; ++k) {
            record.concentrations.at(k).At(i) = bases[e * slices + k].concentration;
            record.matrixConcentrations.at(k).At(i) = bases[e * slices + k].matrixConcentration;
        }
    }
}

LayerConcentrations ConcentrationAtBase(Project& project, Source& source, SourceContaminant& entry,
                                        double t, std::size_t i, double decayPerS,
                                        std::size_t /*slice*/, std::size_t pathwayIndex) {
    LayerConcentrations base;
    ConcentrationsAtBase(project, source, entry, &t, 1, i, decayPerS, pathwayIndex, &base);
    return base;
}

void ConcentrationsAtBase(Project& project, Source& source, SourceContaminant& entry,
                          const double* timesYears, std::size_t count, std::size_t i,
                          double decayPerS, std::size_t pathwayIndex, LayerConcentrations* out) {
    std::vector<LayerRequest> requests(count);
    for (std::size_t k = 0; k < count; ++k) requests[k] = {&entry, timesYears[k], decayPerS};
    ConcentrationsAtBase(project, source, requests.data(), count, i, pathwayIndex, out);
}

namespace {

// What leaves the source at each request's time less the top layer's
// retarded travel time: the inlet concentrations of layer 0.
void SourceInlets(Project& project, Source& source, const LayerRequest* requests, std::size_t count,
                  std::size_t i, LayerConcentrations* inlets) {
    // The solubility flag is the source term's business.
    bool limited = false;
    const SourceContaminant* factorOf = nullptr;
    double partitionFactor = 0.0;
    for (std::size_t n = 0; n < count; ++n) {
        SourceContaminant& entry = *requests[n].entry;
        // The factor is the same at every time (and a fixed point of the
        // soil it sizes), so one per run of requests of an entry will do.
        if (&entry != factorOf) {
            partitionFactor = PartitionFactor(project, source, entry, i);
            factorOf = &entry;
        }
        const double layerDelay = RecordOf(entry, 0).retardedTravelTime.At(i); // years
        inlets[n] = LayerConcentrations{ConcentrationAtTime(project, source, entry,
                                                            requests[n].timeYears - layerDelay, i,
                                                            partitionFactor, limited),
                                        0.0};
    }
}

// The requests that layer `pathwayIndex` makes of the layer above it: each
// one retarded travel time of this layer (for that entry) earlier, with the
// decay rate of the layer above, since the water leaving that layer has
// decayed with its own half-life. (An excluded layer passes its inlet on
// without decay, so its half-life is never asked for.)
void RequestsOfLayerAbove(Project& project, Source& source, const LayerRequest* requests,
                          std::size_t count, std::size_t i, std::size_t pathwayIndex,
                          LayerRequest* upstream) {
    const std::size_t above = pathwayIndex - 1;
    const UnsaturatedPathway& abovePathway = source.pathways.at(above);
    // Requests come entry by entry: the delay and decay are the entry's.
    const SourceContaminant* delayOf = nullptr;
    double layerDelay = 0.0; // years
    double aboveDecayPerS = 0.0;
    for (std::size_t n = 0; n < count; ++n) {
        SourceContaminant& entry = *requests[n].entry;
        if (&entry != delayOf) {
            layerDelay = RecordOf(entry, pathwayIndex).retardedTravelTime.At(i);
            aboveDecayPerS =
                abovePathway.include
                    ? UnsaturatedDecayRate(project, source, abovePathway, RecordOf(entry, above), i)
                    : 0.0;
            delayOf = &entry;
        }
        upstream[n] = {&entry, requests[n].timeYears - layerDelay, aboveDecayPerS};
    }
}

// The concentrations at the base of one layer for the requests, given what
// enters the layer at each request's time.
void SolveLayer(Project& project, Source& source, const LayerRequest* requests, std::size_t count,
                std::size_t i, std::size_t pathwayIndex, const LayerConcentrations* inlets,
                LayerConcentrations* out) {
    const UnsaturatedPathway& pathway = source.pathways.at(pathwayIndex);
    // An excluded layer passes its inlet on unchanged.
    if (!pathway.include) {
        for (std::size_t n = 0; n < count; ++n) out[n] = inlets[n];
        return;
    }

    const double dispersivity = pathway.verticalDispersivity.SampleAt(i);
    const double thickness = pathway.thickness.SampleAt(i);
    const bool matrixToo = project.processes.biodegradationUz && FissureFlowing(pathway, i);

    // One problem per request at a time at which the source has started (a
    // fissure and a matrix problem under fissure flow with biodegradation),
    // in request order.
    std::vector<ColumnProblem> problems;
    problems.reserve(matrixToo ? 2 * count : count);
    for (std::size_t n = 0; n < count; ++n) {
        const double t = requests[n].timeYears;
        if (t < source.timeOffset) continue;
        const PathwayContaminant& record = RecordOf(*requests[n].entry, pathwayIndex);
        const double decayPerS = requests[n].decayPerS;
        const double velocity = record.retardedVelocity.At(i) * metresPerYearToMetresPerSecond;
        const double retardation = record.retardation.At(i);
        const double matrixRetardation = record.matrixRetardation.At(i);
        // Phase 0: only the dissolved fraction 1/R of the solute degrades.
        const bool dissolvedOnly = record.degradationPhase == 0;
        double decay = 0.0;
        double matrixDecay = 0.0;
        if (matrixToo) {
            // The water in the fissures passes too fast to degrade; the
            // matrix water degrades. The fissure solution keeps its own
            // retardation factor (1 under fissure flow), so switching
            // biodegradation on changes only the decay, never the
            // retardation of the fissures.
            matrixDecay = dissolvedOnly ? decayPerS / matrixRetardation : decayPerS;
        } else if (project.processes.biodegradationUz) {
            decay = dissolvedOnly ? decayPerS / retardation : decayPerS;
        }
        const double elapsed = (t - source.timeOffset) * secondsPerYear;
        problems.push_back({inlets[n].concentration, thickness, elapsed, velocity, dispersivity,
                            decay, retardation});
        if (matrixToo) {
            const double matrixVelocity =
                record.retardedMatrixVelocity.At(i) * metresPerYearToMetresPerSecond;
            problems.push_back({inlets[n].concentration, thickness, elapsed, matrixVelocity,
                                dispersivity, matrixDecay, matrixRetardation});
        }
    }
    std::vector<double> solutions(problems.size());
    SolveColumns(project.solverKernel, problems.data(), solutions.data(), problems.size());
    std::size_t next = 0;
    for (std::size_t n = 0; n < count; ++n) {
        out[n] = LayerConcentrations{};
        if (requests[n].timeYears < source.timeOffset) continue;
        out[n].concentration = solutions[next++];
        if (matrixToo) out[n].matrixConcentration = solutions[next++];
    }
}

// The concentrations at the base of one layer for requests of contaminants
// that travel alone (defined below).
void ConcentrationsOfSingleMembers(Project& project, Source& source, const LayerRequest* requests,
                                   std::size_t count, std::size_t i, std::size_t pathwayIndex,
                                   LayerConcentrations* out);

// The concentrations at the base of layer p at time t (years) of the last
// member of a decay chain at the source (`lineage`: inventory indices, root
// first). Each member enters the layer with what left the layer above (or
// the source) one retarded travel time of its own earlier, held constant,
// as a contaminant travelling alone does; the last member's concentration
// is its own solution plus what the decay of each member above it in the
// chain forms in this layer from that member's inlet. The recursion asks
// the layer above for every member at its own earlier time: a chain of n
// members through P layers solves of the order of n^P layer problems.
LayerConcentrations ChainConcentrationAtBase(Project& project, Source& source,
                                             const std::size_t* lineage, std::size_t count,
                                             double t, std::size_t i, std::size_t pathwayIndex) {
    const UnsaturatedPathway& pathway = source.pathways.at(pathwayIndex);
    double inlets[maximumChainMembers] = {};
    for (std::size_t m = 0; m < count; ++m) {
        SourceContaminant& member = source.inventory.at(lineage[m]);
        const double delay = RecordOf(member, pathwayIndex).retardedTravelTime.At(i); // years
        if (pathwayIndex == 0) {
            bool limited = false; // the source term's business
            inlets[m] = ConcentrationAtTime(project, source, member, t - delay, i,
                                            PartitionFactor(project, source, member, i), limited);
        } else {
            inlets[m] = ChainConcentrationAtBase(project, source, lineage, m + 1, t - delay, i,
                                                 pathwayIndex - 1)
                            .concentration;
        }
    }
    SourceContaminant& last = source.inventory.at(lineage[count - 1]);
    // The member's own solution, exactly as for a contaminant alone.
    const LayerRequest own{&last, t,
                           pathway.include ? UnsaturatedDecayRate(project, source, pathway,
                                                                  RecordOf(last, pathwayIndex), i)
                                           : 0.0};
    const LayerConcentrations ownInlet{inlets[count - 1], 0.0};
    LayerConcentrations base;
    SolveLayer(project, source, &own, 1, i, pathwayIndex, &ownInlet, &base);
    // Nothing forms where nothing degrades: an excluded layer, before the
    // source starts, without biodegradation.
    if (!pathway.include || t < source.timeOffset || !project.processes.biodegradationUz)
        return base;

    // Under fissure flow the fissure water passes too fast to degrade
    // (nothing forms there); the matrix water degrades and forms daughters.
    const bool matrix = FissureFlowing(pathway, i);
    ChainMember members[maximumChainMembers];
    for (std::size_t l = 0; l < count; ++l) {
        SourceContaminant& member = source.inventory.at(lineage[l]);
        const PathwayContaminant& record = RecordOf(member, pathwayIndex);
        const double retardation =
            matrix ? record.matrixRetardation.At(i) : record.retardation.At(i);
        const double rate = UnsaturatedDecayRate(project, source, pathway, record, i);
        // Phase 0: only the dissolved fraction 1/R degrades.
        members[l].retardation = retardation;
        members[l].decayPerS = record.degradationPhase == 0 ? rate / retardation : rate;
        const Contaminant* contaminant = project.FindContaminant(member.contaminant);
        members[l].yield = l == 0 || contaminant == nullptr ? 0.0 : YieldOf(*contaminant, i);
    }
    const PathwayContaminant& lastRecord = RecordOf(last, pathwayIndex);
    const double velocity =
        (matrix ? lastRecord.retardedMatrixVelocity.At(i) : lastRecord.retardedVelocity.At(i)) *
        metresPerYearToMetresPerSecond;
    const double thickness = pathway.thickness.SampleAt(i);
    const double dispersivity = pathway.verticalDispersivity.SampleAt(i);
    const double elapsed = (t - source.timeOffset) * secondsPerYear;
    double formed = 0.0;
    for (std::size_t m = 0; m + 1 < count; ++m)
        formed += ChainColumnResponse(project.solverKernel, inlets[m], members + m, count - m,
                                      thickness, elapsed, velocity, dispersivity);
    (matrix ? base.matrixConcentration : base.concentration) += formed;
    return base;
}

} // namespace

void ConcentrationsAtBase(Project& project, Source& source, const LayerRequest* requests,
                          std::size_t count, std::size_t i, std::size_t pathwayIndex,
                          LayerConcentrations* out) {
    if (count == 0) return;
    // The daughters of decay chains go their own way, request by request;
    // everything else (every request of a project without chains) goes on
    // together below.
    if (DecayChain::AnyParent(project)) {
        std::vector<LayerRequest> alone;
        std::vector<std::size_t> where;
        for (std::size_t n = 0; n < count; ++n) {
            const std::size_t entryIndex =
                static_cast<std::size_t>(requests[n].entry - source.inventory.data());
            const SourceLineage lineage = LineageAtSource(project, source, entryIndex);
            if (lineage.count > 1) {
                out[n] =
                    ChainConcentrationAtBase(project, source, lineage.entryIndices.data(),
                                             lineage.count, requests[n].timeYears, i, pathwayIndex);
            } else {
                alone.push_back(requests[n]);
                where.push_back(n);
            }
        }
        if (alone.size() < count) {
            std::vector<LayerConcentrations> bases(alone.size());
            if (!alone.empty())
                ConcentrationsOfSingleMembers(project, source, alone.data(), alone.size(), i,
                                              pathwayIndex, bases.data());
            for (std::size_t n = 0; n < alone.size(); ++n) out[where[n]] = bases[n];
            return;
        }
    }
    ConcentrationsOfSingleMembers(project, source, requests, count, i, pathwayIndex, out);
}

namespace {

void ConcentrationsOfSingleMembers(Project& project, Source& source, const LayerRequest* requests,
                                   std::size_t count, std::size_t i, std::size_t pathwayIndex,
                                   LayerConcentrations* out) {
    // What enters a layer at a time is what left the layer above (or the
    // source) one retarded travel time of this layer earlier. So the
    // requests are first carried up, layer by layer, to the source, and the
    // concentrations then carried down through the layers, all requests
    // together at each layer. A loop, not a recursion: a project may have
    // as many layers as it likes without growing the stack.
    std::vector<LayerRequest> layerRequests((pathwayIndex + 1) *
                                            count); // row p: what layer p is asked
    std::copy(requests, requests + count,
              layerRequests.begin() + static_cast<std::ptrdiff_t>(pathwayIndex * count));
    for (std::size_t p = pathwayIndex; p > 0; --p)
        RequestsOfLayerAbove(project, source, &layerRequests[p * count], count, i, p,
                             &layerRequests[(p - 1) * count]);

    std::vector<LayerConcentrations> inlets(count);
    std::vector<LayerConcentrations> outlets(pathwayIndex > 0 ? count : 0);
    SourceInlets(project, source, layerRequests.data(), count, i, inlets.data());
    for (std::size_t p = 0; p <= pathwayIndex; ++p) {
        LayerConcentrations* base = p == pathwayIndex ? out : outlets.data();
        SolveLayer(project, source, &layerRequests[p * count], count, i, p, inlets.data(), base);
        if (p < pathwayIndex) inlets.swap(outlets);
    }
}

} // namespace

void ComputeUnsaturatedZone(Project& project, std::size_t i) {
    const bool dilute =
        project.aquifer.dilutionFlag != 0 || project.simulationLevel >= SimulationLevel::level3;
    // The travel times of the layers of one source, reused per iteration
    // by the thread that runs it.
    thread_local std::vector<DualPorosityTimes> layerTimes;
    for (std::size_t s = 0; s < project.sources.size(); ++s) {
        Source& source = project.sources[s];
        // Nothing of an earlier iteration may carry over.
        source.saturatedSoakaway.at(i) = 0;
        DeriveSoakawayInfiltration(source, i);
        source.soilMass.At(i) = source.dryBulkDensity.SampleAt(i) * 1000.0 *
                                source.thickness.SampleAt(i) * source.sourceArea.SampleAt(i); // kg

        // Every layer's travel time first: each sees the infiltration as
        // the layers above it have capped it.
        layerTimes.assign(source.pathways.size(), DualPorosityTimes{});
        for (std::size_t p = 0; p < source.pathways.size(); ++p) {
            if (source.pathways[p].DualPorosity())
                layerTimes[p] = DualPorosityTravelTime(project, source, p, i);
            else
                layerTimes[p].travelTime = PorousMediumTravelTime(project, source, p, i);
        }

        // Entry by entry the layers' retardation, then layer by layer the
        // concentrations of all the entries together: their solutions are
        // independent and go to the solver in one batch.
        thread_local std::vector<SourceContaminant*> entries;
        thread_local std::vector<std::size_t> entryIndices;
        entries.clear();
        entryIndices.clear();
        for (std::size_t e = 0; e < source.inventory.size(); ++e) {
            SourceContaminant& entry = source.inventory[e];
            if (!project.EntryTakesPart(entry)) continue;
            entries.push_back(&entry);
            entryIndices.push_back(e);
            for (std::size_t p = 0; p < source.pathways.size(); ++p) {
                PathwayContaminant& record = RecordOf(entry, p);
                record.unretardedTravelTime.At(i) = layerTimes[p].travelTime;
                record.matrixUnretardedTravelTime.At(i) = layerTimes[p].matrixTravelTime;
                RetardationFactors(project, source, entry, p, i);
            }
        }
        // In groups of a few hundred problems, as at the receptors.
        const std::size_t slices = project.plume.active ? 1 : project.timeSlices.size();
        const std::size_t group =
            std::max<std::size_t>(1, problemsPerBatch / std::max<std::size_t>(1, slices));
        for (std::size_t p = 0; p < source.pathways.size(); ++p) {
            for (std::size_t first = 0; first < entries.size(); first += group)
                UnsaturatedConcentrationsOfEntries(project, source, entries.data() + first,
                                                   std::min(group, entries.size() - first), i, p);
            if (dilute)
                for (std::size_t e : entryIndices)
                    ComputeMixingZoneAndDilution(project, source, e, p, i, s);
        }
        for (SourceContaminant* entry : entries) {
            // mg/l x 0.001 = kg/m3, times the water through the source.
            const double leachate =
                entry->sourceConcentrations.empty() ? 0.0 : entry->sourceConcentrations[0].At(i);
            entry->leachMass.At(i) =
                leachate * 0.001 * source.infiltration.SampleAt(i) * source.sourceArea.SampleAt(i);
            if (entry->MeasuredInSoil())
                entry->maxLeachMass.At(i) =
                    entry->concentration.SampleAt(i) * source.soilMass.At(i) * 1e-6; // kg
        }
    }
}

} // namespace varnex
