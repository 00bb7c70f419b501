#include "transport/AquiferTransport.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/DecayChain.h"
#include "model/Project.h"
#include "settings/Translate.h"
#include "transport/ChainAdvectionDispersion.h"
#include "transport/ChainLineage.h"
#include "transport/MixingZone.h"
#include "transport/SolverDispatch.h"
#include "transport/TransportArithmetic.h"
#include "transport/TransportConstants.h"
#include "transport/UnsaturatedZone.h"

namespace varnex {

namespace {

using namespace TransportConstants;

constexpr std::size_t noContaminant = static_cast<std::size_t>(-1);

// About how many aquifer solutions the receptors of a source hand the
// solver at once (whole entries, so a single entry may exceed it).
constexpr std::size_t problemsPerBatch = 256;

std::size_t FindContaminantIndex(const Project& project, int identifier) {
    for (std::size_t c = 0; c < project.contaminants.size(); ++c)
        if (project.contaminants[c].identifier == identifier) return c;
    return noContaminant;
}

std::size_t ContaminantIndexOf(const Project& project, int identifier) {
    const std::size_t c = FindContaminantIndex(project, identifier);
    if (c != noContaminant) return c;
    throw std::logic_error("inventory entry of contaminant " + std::to_string(identifier) +
                           " has no contaminant in the project");
}

// The receptors computed: all of them, or in plume mode the one receptor
// moved over the plume grid.
std::pair<std::size_t, std::size_t> ReceptorRange(const Project& project) {
    if (!project.plume.active) return {0, project.receptors.size()};
    const int r = project.plume.receptorIndex;
    if (r < 0 || r >= static_cast<int>(project.receptors.size()))
        throw std::logic_error("plume mode without a plume receptor");
    return {static_cast<std::size_t>(r), static_cast<std::size_t>(r) + 1};
}

ReceptorContaminant& TotalsOf(Receptor& receptor, int contaminantIdentifier) {
    // The result store creates every record before the first iteration.
    ReceptorContaminant* record = receptor.FindResults(contaminantIdentifier);
    if (!record)
        throw std::logic_error("receptor " + receptor.name + " has no results for a contaminant");
    return *record;
}

double AquiferDecayRate(const Project& project, const Contaminant& contaminant, double retardation,
                        std::size_t i) {
    if (!project.processes.biodegradationAquifer) return 0.0;
    const double halfLife = contaminant.halfLife.SampleAt(i);
    if (halfLife == 0.0)
        ThrowZeroInput(TranslatableText("Contaminant %s: %s is 0"), contaminant.name,
                       contaminant.halfLife.Label());
    double rate = ln2 / (secondsPerYear * halfLife);
    // A rate measured in situ is that of the whole retarded solute; the
    // kernel wants it per unit of dissolved concentration.
    if (contaminant.halfLifeOption == 0) rate /= retardation;
    return rate;
}

bool TakesPartAnywhere(const Project& project, const Source& source) {
    return std::any_of(
        source.inventory.begin(), source.inventory.end(),
        [&project](const SourceContaminant& entry) { return project.EntryTakesPart(entry); });
}

} // namespace

namespace {

// The pore velocity of the aquifer beneath a source (m/year), and the
// full-thickness flow the Level 3 warning compares the infiltration with.
double AquiferFlowBeneathSource(Project& project, Source& source, std::size_t sourceIndex,
                                std::size_t i) {
    const Aquifer& aquifer = project.aquifer;
    const double conductivity = aquifer.hydraulicConductivity.SampleAt(i);
    const double gradient = aquifer.hydraulicGradient.SampleAt(i);
    const double porosity = aquifer.effectivePorosity.SampleAt(i);
    double velocity = 0.0; // m/year
    if (project.simulationLevel == SimulationLevel::level3a) {
        // Darcy flux over the effective porosity.
        if (porosity == 0.0)
            ThrowZeroInput(
                TranslatableText(
                    "Source %s: the aquifer flow beneath the source cannot be calculated because %s is 0"),
                source.name, aquifer.effectivePorosity.Label());
        velocity = conductivity * gradient * secondsPerYear / porosity;
    } else {
        // Beneath the source the infiltration adds to the aquifer flow
        // through the full thickness over the source's effective width.
        const double thickness = aquifer.thickness.SampleAt(i);
        const double width = aquifer.effectiveWidths.at(sourceIndex).at(i);
        const double fullFlow =
            conductivity * secondsPerYear * thickness * width * gradient; // m³/year
        source.fullThicknessAquiferFlow.At(i) = fullFlow;
        const double section = thickness * width * porosity; // m², pore space
        if (section == 0.0) {
            const std::string zero = thickness == 0.0 ? aquifer.thickness.Label()
                                     : width == 0.0
                                         ? Translate("the width of the source across the flow")
                                         : aquifer.effectivePorosity.Label();
            ThrowZeroInput(
                TranslatableText(
                    "Source %s: the aquifer flow beneath the source cannot be calculated because %s is 0"),
                source.name, zero);
        }
        velocity =
            (source.infiltration.SampleAt(i) * source.sourceArea.SampleAt(i) + fullFlow) / section;
    }
    source.aquiferPoreVelocity.At(i) = velocity;
    return velocity;
}

} // namespace

double AquiferTravelTime(Project& project, Source& source, std::size_t receptorIndex,
                         std::size_t sourceIndex, std::size_t i) {
    const double velocity = AquiferFlowBeneathSource(project, source, sourceIndex, i);
    const Receptor& receptor = project.receptors.at(receptorIndex);
    const double distance = receptor.rotatedX - source.centres.at(i).rotatedX;
    if (distance < 0.0) return neverArrivesYears;
    // Advective arrival of the half-height of the dispersed front.
    return TimeToCover(
        std::max(distance - project.aquifer.longitudinalDispersivity.SampleAt(i), 0.0), velocity);
}

namespace {

// One point at which an entry's contribution is wanted: an entry of the
// source, the retarded aquifer travel time of that entry to the place
// (years) and a time (years).
struct EntryReceptorTime {
    std::size_t entryIndex;
    double aquiferTravelYears;
    double timeYears;
};

// A place in the aquifer where an entry's contribution is wanted (a
// receptor, or a node of a map): its aquifer-frame coordinates (m) and the
// retarded aquifer travel time of the entry to it (years).
struct AquiferTarget {
    double rotatedX;
    double rotatedY;
    double aquiferTravelYears;
};

// The decay rate (1/s) in the last layer of the source's pathway.
double LastLayerDecayRate(const Project& project, const Source& source,
                          const SourceContaminant& entry, std::size_t i) {
    if (!project.processes.biodegradationUz) return 0.0;
    const std::size_t last = source.pathways.size() - 1;
    const PathwayContaminant& record = entry.pathwayProperties.at(static_cast<int>(last));
    const double halfLife = record.uzHalfLife.SampleAt(i);
    if (halfLife == 0.0)
        ThrowZeroInput(TranslatableText("Source %s, pathway %s: %s is 0"), source.name,
                       source.pathways.at(last).name, record.uzHalfLife.Label());
    return ln2 / (secondsPerYear * halfLife);
}

// The diluted inlet concentration of the aquifer solution at each (entry,
// receptor, time); 0 for a time before the source starts. The water that
// reaches receptor r at t left the base of the last layer one retarded
// aquifer travel time to r earlier, so every point asks the unsaturated zone
// for its own time; the unsaturated-zone solutions of all points are
// independent and go to the solver together.
void DilutedInputsAt(Project& project, Source& source, const EntryReceptorTime* points,
                     std::size_t count, std::size_t i, double* out) {
    // Reserved at once: grown by doubling, the vectors of a batch of a few
    // hundred points went through the allocator a dozen times each.
    std::vector<LayerRequest> requests;
    std::vector<std::size_t> at;
    requests.reserve(count);
    at.reserve(count);
    std::size_t decayOf = static_cast<std::size_t>(-1);
    double decay = 0.0;
    for (std::size_t n = 0; n < count; ++n) {
        out[n] = 0.0;
        if (points[n].timeYears < source.timeOffset) continue;
        SourceContaminant& entry = source.inventory.at(points[n].entryIndex);
        if (points[n].entryIndex != decayOf) {
            decay = LastLayerDecayRate(project, source, entry, i);
            decayOf = points[n].entryIndex;
        }
        requests.push_back({&entry, points[n].timeYears - points[n].aquiferTravelYears, decay});
        at.push_back(n);
    }
    if (requests.empty()) return;

    const std::size_t last = source.pathways.size() - 1;
    const UnsaturatedPathway& pathway = source.pathways.at(last);
    std::vector<LayerConcentrations> bases(requests.size());
    ConcentrationsAtBase(project, source, requests.data(), requests.size(), i, last, bases.data());

    const double infiltrated =
        source.infiltration.SampleAt(i) * source.sourceArea.SampleAt(i); // m³/year
    const double total = infiltrated + source.mixingZoneFlow.At(i);
    // No water at all beneath the source: nothing is carried to the
    // receptor.
    if (total == 0.0) return;
    for (std::size_t n = 0; n < bases.size(); ++n) {
        const LayerConcentrations& base = bases[n];
        out[at[n]] = pathway.fissureFlowing.at(i) != 0
                         ? (pathway.fissureFlow.At(i) * base.concentration +
                            pathway.matrixFlow.At(i) * base.matrixConcentration) /
                               total
                         : base.concentration * infiltrated / total;
    }
}

} // namespace

double DilutedInputConcentration(Project& project, Source& source, std::size_t entryIndex, double t,
                                 std::size_t receptorIndex, std::size_t i, std::size_t /*slice*/) {
    double value = 0.0;
    DilutedInputConcentrations(project, source, entryIndex, &t, 1, receptorIndex, i, &value);
    return value;
}

void DilutedInputConcentrations(Project& project, Source& source, std::size_t entryIndex,
                                const double* timesYears, std::size_t count,
                                std::size_t receptorIndex, std::size_t i, double* out) {
    const double travel =
        source.inventory.at(entryIndex).receptorAquiferTravelTimes.at(receptorIndex).At(i);
    std::vector<EntryReceptorTime> points(count);
    for (std::size_t k = 0; k < count; ++k) points[k] = {entryIndex, travel, timesYears[k]};
    DilutedInputsAt(project, source, points.data(), count, i, out);
}

double ReceptorConcentration(Project& project, Source& source, std::size_t entryIndex,
                             std::size_t receptorIndex, std::size_t slice, std::size_t i,
                             std::size_t sourceIndex) {
    const double t = project.plume.active ? project.plume.timeYears : project.timeSlices.at(slice);
    double value = 0.0;
    ReceptorConcentrations(project, source, entryIndex, receptorIndex, &t, 1, i, sourceIndex,
                           &value);
    return value;
}

void ReceptorConcentrations(Project& project, Source& source, std::size_t entryIndex,
                            std::size_t receptorIndex, const double* timesYears, std::size_t count,
                            std::size_t i, std::size_t sourceIndex, double* out) {
    ReceptorConcentrationsOfEntries(project, source, &entryIndex, 1, receptorIndex,
                                    receptorIndex + 1, timesYears, count, i, sourceIndex, out);
}

void ReceptorConcentrationsAt(Project& project, Source& source, std::size_t entryIndex,
                              std::size_t firstReceptor, std::size_t endReceptor,
                              const double* timesYears, std::size_t count, std::size_t i,
                              std::size_t sourceIndex, double* out) {
    ReceptorConcentrationsOfEntries(project, source, &entryIndex, 1, firstReceptor, endReceptor,
                                    timesYears, count, i, sourceIndex, out);
}

namespace {

// What the aquifer solution of one source in iteration i reads, whatever
// the entry: the source point, the pore velocity (m/s), the source's
// effective width and the dispersivities (m).
struct SourceAquifer {
    PlanPoint point;
    double velocity, width, lateral, longitudinal;
    bool level3a;
};

SourceAquifer SourceAquiferOf(const Project& project, const Source& source, std::size_t sourceIndex,
                              std::size_t i) {
    const Aquifer& aquifer = project.aquifer;
    return {source.centres.at(i),
            source.aquiferPoreVelocity.At(i) * metresPerYearToMetresPerSecond,
            aquifer.effectiveWidths.at(sourceIndex).at(i),
            aquifer.lateralDispersivity.SampleAt(i),
            aquifer.longitudinalDispersivity.SampleAt(i),
            project.simulationLevel == SimulationLevel::level3a};
}

// What the decay of a chain's members forms in the aquifer on the way to
// the places: for every entry that is a daughter at this source, the
// response at each place and time to the inlet of each member above it,
// added to out (laid out as in ContributionsAt). Each member's inlet is
// what reached the water table one retarded aquifer travel time of its own
// earlier and its aquifer solution starts when it reached the water table,
// as for the member alone; the lateral spreading is the daughter's.
void AddFormedInAquifer(Project& project, Source& source, const std::size_t* entryIndices,
                        std::size_t entryCount, const AquiferTarget* targets,
                        std::size_t targetCount, const double* timesYears, std::size_t count,
                        const std::vector<std::size_t>& started, std::size_t i,
                        std::size_t sourceIndex, double* out) {
    const auto [point, velocity, width, lateral, longitudinal, level3a] =
        SourceAquiferOf(project, source, sourceIndex, i);

    // One formation per (daughter, place, time, member above it).
    struct Formation {
        std::size_t at;     // index into out
        std::size_t member; // position in the lineage
        std::size_t lineage;
        double x, y, elapsedS;
    };
    std::vector<SourceLineage> lineages;
    std::vector<std::array<ChainMember, maximumChainMembers>> chains;
    std::vector<Formation> formations;
    std::vector<EntryReceptorTime> points; // the members' inlets (not at Level 3a)
    for (std::size_t e = 0; e < entryCount; ++e) {
        const SourceLineage lineage = LineageAtSource(project, source, entryIndices[e]);
        if (lineage.count < 2) continue;
        std::array<ChainMember, maximumChainMembers> members{};
        std::array<double, maximumChainMembers> retardations{};
        std::array<double, maximumChainMembers> waterTableDelays{};
        for (std::size_t l = 0; l < lineage.count; ++l) {
            const SourceContaminant& member = source.inventory.at(lineage.entryIndices[l]);
            const Contaminant& contaminant =
                project.contaminants[ContaminantIndexOf(project, member.contaminant)];
            retardations[l] = contaminant.aquiferRetardation.At(i);
            members[l] = {retardations[l],
                          AquiferDecayRate(project, contaminant, retardations[l], i),
                          l == 0 ? 0.0 : YieldOf(contaminant, i)};
            waterTableDelays[l] =
                level3a ? 0.0
                        : member.pathwayProperties.at(static_cast<int>(source.pathways.size() - 1))
                              .retardedTravelTime.At(i);
        }
        const std::size_t last = lineage.count - 1;
        for (std::size_t t = 0; t < targetCount; ++t) {
            const AquiferTarget& target = targets[e * targetCount + t];
            const double x = target.rotatedX - point.rotatedX;
            const double y = target.rotatedY - point.rotatedY;
            if (x <= 0.0) continue;
            // A place this close sees the water as it enters the aquifer.
            if (level3a && target.aquiferTravelYears < directArrivalYears) continue;
            const std::size_t row = (e * targetCount + t) * count;
            for (std::size_t m = 0; m < last; ++m) {
                // The member's own retarded travel time to the place.
                const double travel =
                    target.aquiferTravelYears / retardations[last] * retardations[m];
                for (std::size_t k : started) {
                    formations.push_back(
                        {row + k, m, lineages.size(), x, y,
                         (timesYears[k] - source.timeOffset - waterTableDelays[m]) *
                             secondsPerYear});
                    if (!level3a)
                        points.push_back({lineage.entryIndices[m], travel, timesYears[k]});
                }
            }
        }
        lineages.push_back(lineage);
        chains.push_back(members);
    }
    if (formations.empty()) return;
    std::vector<double> inlets(formations.size());
    if (level3a) {
        for (std::size_t n = 0; n < formations.size(); ++n)
            inlets[n] = source.inventory
                            .at(lineages[formations[n].lineage].entryIndices[formations[n].member])
                            .concentration.SampleAt(i);
    } else {
        DilutedInputsAt(project, source, points.data(), points.size(), i, inlets.data());
    }
    for (std::size_t n = 0; n < formations.size(); ++n) {
        const Formation& f = formations[n];
        const std::size_t members = lineages[f.lineage].count - f.member;
        out[f.at] += ChainAquiferResponse(project.solverKernel, inlets[n],
                                          chains[f.lineage].data() + f.member, members, f.x, f.y,
                                          width, f.elapsedS, velocity, lateral, longitudinal);
    }
}

// The contributions of the entries of a source at places of the aquifer, at
// `count` times: out[(e * targetCount + t) * count + k] for entryIndices[e],
// targets[e * targetCount + t] and timesYears[k]. Receptors and the nodes of
// a map both come here, so a node standing on a receptor gets the
// receptor's value to the bit.
void ContributionsAt(Project& project, Source& source, const std::size_t* entryIndices,
                     std::size_t entryCount, const AquiferTarget* targets, std::size_t targetCount,
                     const double* timesYears, std::size_t count, std::size_t i,
                     std::size_t sourceIndex, double* out) {
    if (targetCount == 0 || entryCount == 0) return;
    std::fill(out, out + entryCount * targetCount * count, 0.0);
    const auto [point, velocity, width, lateral, longitudinal, level3a] =
        SourceAquiferOf(project, source, sourceIndex, i);
    // Each entry's retardation and aquifer decay, whether or not the source
    // has started (a half-life of 0 is an error at any time).
    std::vector<double> retardations(entryCount);
    std::vector<double> decays(entryCount);
    for (std::size_t e = 0; e < entryCount; ++e) {
        const SourceContaminant& entry = source.inventory.at(entryIndices[e]);
        const Contaminant& contaminant =
            project.contaminants[ContaminantIndexOf(project, entry.contaminant)];
        retardations[e] = contaminant.aquiferRetardation.At(i);
        decays[e] = AquiferDecayRate(project, contaminant, retardations[e], i);
    }

    // Before the source starts it contributes nothing.
    std::vector<std::size_t> started;
    started.reserve(count);
    for (std::size_t k = 0; k < count; ++k)
        if (timesYears[k] >= source.timeOffset) started.push_back(k);
    if (started.empty()) return;

    // The aquifer solutions of every entry at every place downstream and
    // every time are independent: they go to the solver in one batch, entry
    // by entry, place by place and in time order, and each lands where a
    // call for its entry and place alone would have put it (the solver's
    // result does not depend on the batch).
    std::vector<AquiferProblem> problems;
    std::vector<std::size_t> where;
    std::vector<EntryReceptorTime> points;
    const std::size_t most = entryCount * targetCount * started.size();
    problems.reserve(most);
    where.reserve(most);
    if (!level3a) points.reserve(most);
    for (std::size_t e = 0; e < entryCount; ++e) {
        SourceContaminant& entry = source.inventory.at(entryIndices[e]);
        const double retardation = retardations[e];
        const double decay = decays[e];
        // The aquifer solution starts when the water reaches the water
        // table: one retarded travel time of the last layer after the
        // source starts.
        const double lastLayerDelay =
            level3a ? 0.0
                    : entry.pathwayProperties.at(static_cast<int>(source.pathways.size() - 1))
                          .retardedTravelTime.At(i);
        for (std::size_t t = 0; t < targetCount; ++t) {
            const AquiferTarget& target = targets[e * targetCount + t];
            const double x = target.rotatedX - point.rotatedX;
            const double y = target.rotatedY - point.rotatedY;
            if (x <= 0.0) continue;
            const std::size_t row = (e * targetCount + t) * count;
            if (level3a) {
                // A place this close sees the water as it enters the
                // aquifer.
                if (target.aquiferTravelYears < directArrivalYears) {
                    for (std::size_t k : started) out[row + k] = entry.concentration.SampleAt(i);
                    continue;
                }
                for (std::size_t k : started) {
                    problems.push_back({entry.concentration.SampleAt(i), x, y, width,
                                        (timesYears[k] - source.timeOffset) * secondsPerYear,
                                        velocity, lateral, longitudinal, decay, retardation});
                    where.push_back(row + k);
                }
            } else {
                for (std::size_t k : started) {
                    points.push_back({entryIndices[e], target.aquiferTravelYears, timesYears[k]});
                    problems.push_back(
                        {0.0, x, y, width,
                         (timesYears[k] - source.timeOffset - lastLayerDelay) * secondsPerYear,
                         velocity, lateral, longitudinal, decay, retardation});
                    where.push_back(row + k);
                }
            }
        }
    }
    if (problems.empty()) return;
    if (!level3a) {
        std::vector<double> inlets(points.size());
        DilutedInputsAt(project, source, points.data(), points.size(), i, inlets.data());
        for (std::size_t n = 0; n < problems.size(); ++n) problems[n].concentration = inlets[n];
    }
    std::vector<double> solutions(problems.size());
    SolveAquiferColumns(project.solverKernel, problems.data(), solutions.data(), problems.size());
    for (std::size_t n = 0; n < problems.size(); ++n) out[where[n]] = solutions[n];
    if (project.processes.biodegradationAquifer && DecayChain::AnyParent(project))
        AddFormedInAquifer(project, source, entryIndices, entryCount, targets, targetCount,
                           timesYears, count, started, i, sourceIndex, out);
}

} // namespace

void ReceptorConcentrationsOfEntries(Project& project, Source& source,
                                     const std::size_t* entryIndices, std::size_t entryCount,
                                     std::size_t firstReceptor, std::size_t endReceptor,
                                     const double* timesYears, std::size_t count, std::size_t i,
                                     std::size_t sourceIndex, double* out) {
    if (endReceptor <= firstReceptor || entryCount == 0) return;
    const std::size_t receptors = endReceptor - firstReceptor;
    std::vector<AquiferTarget> targets;
    targets.reserve(entryCount * receptors);
    for (std::size_t e = 0; e < entryCount; ++e) {
        const SourceContaminant& entry = source.inventory.at(entryIndices[e]);
        for (std::size_t r = firstReceptor; r < endReceptor; ++r) {
            const Receptor& receptor = project.receptors.at(r);
            targets.push_back({receptor.rotatedX, receptor.rotatedY,
                               entry.receptorAquiferTravelTimes.at(r).At(i)});
        }
    }
    ContributionsAt(project, source, entryIndices, entryCount, targets.data(), receptors,
                    timesYears, count, i, sourceIndex, out);
}

void TotalConcentrationsAtPoints(Project& project, std::size_t contaminantIndex, double timeYears,
                                 const PlanPoint* points, std::size_t count, std::size_t i,
                                 double* totals) {
    std::fill(totals, totals + count, 0.0);
    if (count == 0) return;
    const Contaminant& contaminant = project.contaminants.at(contaminantIndex);
    const double retardation = contaminant.aquiferRetardation.At(i);
    const double longitudinal = project.aquifer.longitudinalDispersivity.SampleAt(i);
    std::vector<std::size_t> entries;
    std::vector<AquiferTarget> targets;
    std::vector<double> values;
    for (std::size_t s = 0; s < project.sources.size(); ++s) {
        Source& source = project.sources[s];
        entries.clear();
        for (std::size_t e = 0; e < source.inventory.size(); ++e) {
            const SourceContaminant& entry = source.inventory[e];
            if (entry.contaminant == contaminant.identifier && project.EntryTakesPart(entry))
                entries.push_back(e);
        }
        if (entries.empty()) continue;
        // The travel time as a receptor's is reckoned: the advective arrival
        // of the dispersed front's half-height, from the run's velocity
        // beneath this source, retarded.
        const double velocity = source.aquiferPoreVelocity.At(i); // m/year
        const double fromX = source.centres.at(i).rotatedX;
        targets.resize(count);
        for (std::size_t n = 0; n < count; ++n) {
            const double distance = points[n].rotatedX - fromX;
            const double travel =
                distance < 0.0 ? neverArrivesYears
                               : TimeToCover(std::max(distance - longitudinal, 0.0), velocity);
            targets[n] = {points[n].rotatedX, points[n].rotatedY, travel * retardation};
        }
        // Every entry of the contaminant goes to the same places.
        targets.resize(entries.size() * count);
        for (std::size_t e = 1; e < entries.size(); ++e)
            std::copy(targets.begin(), targets.begin() + static_cast<std::ptrdiff_t>(count),
                      targets.begin() + static_cast<std::ptrdiff_t>(e * count));
        values.resize(entries.size() * count);
        ContributionsAt(project, source, entries.data(), entries.size(), targets.data(), count,
                        &timeYears, 1, i, s, values.data());
        // Added source by source, entry by entry, as a receptor's total is.
        for (std::size_t e = 0; e < entries.size(); ++e)
            for (std::size_t n = 0; n < count; ++n) totals[n] += values[e * count + n];
    }
    if (contaminant.backgroundOption != 0 && project.ContaminantTakesPart(contaminantIndex)) {
        const double background = contaminant.backgroundConcentration.SampleAt(i);
        for (std::size_t n = 0; n < count; ++n) totals[n] += background;
    }
}

namespace {

void ComputeForReceptors(Project& project, std::size_t i, std::size_t firstReceptor,
                         std::size_t endReceptor) {
    const int level = project.simulationLevel;
    const bool level3a = level == SimulationLevel::level3a;
    const bool plume = project.plume.active;
    const std::size_t slices = plume ? 1 : project.timeSlices.size();
    Aquifer& aquifer = project.aquifer;

    // Whether a receptor's earliest arrival of a contaminant has been set
    // in this iteration, per (receptor, contaminant): a travel time of 0 is
    // a real arrival, not an unset value.
    thread_local std::vector<char> arrivalSet;
    thread_local std::vector<double> values;
    const std::size_t contaminantCount = project.contaminants.size();
    arrivalSet.assign(project.receptors.size() * contaminantCount * 2, 0);
    auto earliest = [&](ResultVector& total, std::size_t r, std::size_t c, int which, double time) {
        char& set = arrivalSet[(r * contaminantCount + c) * 2 + static_cast<std::size_t>(which)];
        double& value = total.At(i);
        if (!set || value > time) value = time;
        set = 1;
    };

    const std::size_t receptorCount = endReceptor - firstReceptor;
    thread_local std::vector<double> aquiferTimes;
    thread_local std::vector<std::size_t> entries;
    for (std::size_t s = 0; s < project.sources.size(); ++s) {
        Source& source = project.sources[s];
        // A source without an active entry has no mixing zone and nothing
        // to carry.
        if (!TakesPartAnywhere(project, source)) continue;
        // Also without receptors: the Level 3 warning reads the flow.
        AquiferFlowBeneathSource(project, source, s, i);
        if (receptorCount == 0) continue;
        aquiferTimes.resize(receptorCount);
        for (std::size_t r = firstReceptor; r < endReceptor; ++r)
            aquiferTimes[r - firstReceptor] = AquiferTravelTime(project, source, r, s, i);

        // The travel times and retardation of every entry first, then the
        // concentrations of all entries at all receptors and time slices at
        // once: their solutions are independent and go to the solver
        // together. Each receptor's total still adds its sources' entries
        // in source order, then entry order, so the sums keep their rounding.
        entries.clear();
        for (std::size_t e = 0; e < source.inventory.size(); ++e) {
            SourceContaminant& entry = source.inventory[e];
            if (!project.EntryTakesPart(entry)) continue;
            entries.push_back(e);
            const std::size_t c = ContaminantIndexOf(project, entry.contaminant);
            Contaminant& contaminant = project.contaminants[c];

            double unsaturatedTime = 0.0;
            double unsaturatedRetardedTime = 0.0;
            if (!level3a) {
                for (std::size_t p = 0; p < source.pathways.size(); ++p) {
                    const PathwayContaminant& record =
                        entry.pathwayProperties.at(static_cast<int>(p));
                    unsaturatedTime += record.unretardedTravelTime.At(i);
                    unsaturatedRetardedTime += record.retardedTravelTime.At(i);
                }
            }
            if (level3a) ComputeMixingZoneAndDilution(project, source, e, 0, i, s);

            double retardation = 1.0;
            if (project.processes.retardedTravelAquifer) {
                if (contaminant.partitionFromKoc != 0)
                    contaminant.partitionCoefficient.SampleAt(i) =
                        contaminant.koc.SampleAt(i) * aquifer.foc.SampleAt(i) * 0.01;
                // The porosity is not 0 here: the velocity above needs it.
                retardation = 1.0 + aquifer.dryBulkDensity.SampleAt(i) /
                                        aquifer.effectivePorosity.SampleAt(i) *
                                        contaminant.partitionCoefficient.SampleAt(i);
            }
            contaminant.aquiferRetardation.At(i) = retardation;

            for (std::size_t r = firstReceptor; r < endReceptor; ++r) {
                ReceptorContaminant& totals =
                    TotalsOf(project.receptors[r], contaminant.identifier);
                const double aquiferTime = aquiferTimes[r - firstReceptor];
                const double unretarded = unsaturatedTime + aquiferTime;
                entry.receptorUnretardedTravelTimes.at(r).At(i) = unretarded;
                earliest(totals.totalUnretardedTravelTime, r, c, 0, unretarded);
                const double aquiferRetardedTime = aquiferTime * retardation;
                entry.receptorAquiferTravelTimes.at(r).At(i) = aquiferRetardedTime;
                const double retarded = unsaturatedRetardedTime + aquiferRetardedTime;
                entry.receptorRetardedTravelTimes.at(r).At(i) = retarded;
                earliest(totals.totalRetardedTravelTime, r, c, 1, retarded);
            }
        }

        // Before the source starts it contributes nothing; the background
        // is added as at any later time. The entries go in groups of a few
        // hundred problems: enough to fill the solver's lanes, small enough
        // that the scratch space of a group stays in the cache (and out of
        // the allocator's page-mapping path).
        const double* times = plume ? &project.plume.timeYears : project.timeSlices.data();
        values.resize(entries.size() * receptorCount * slices);
        const std::size_t perEntry = receptorCount * slices;
        const std::size_t group =
            std::max<std::size_t>(1, problemsPerBatch / std::max<std::size_t>(1, perEntry));
        for (std::size_t first = 0; first < entries.size(); first += group) {
            const std::size_t n = std::min(group, entries.size() - first);
            ReceptorConcentrationsOfEntries(project, source, entries.data() + first, n,
                                            firstReceptor, endReceptor, times, slices, i, s,
                                            values.data() + first * perEntry);
        }
        for (std::size_t n = 0; n < entries.size(); ++n) {
            SourceContaminant& entry = source.inventory[entries[n]];
            const Contaminant& contaminant =
                project.contaminants[ContaminantIndexOf(project, entry.contaminant)];
            const double background = contaminant.backgroundOption != 0
                                          ? contaminant.backgroundConcentration.SampleAt(i)
                                          : 0.0;
            for (std::size_t r = firstReceptor; r < endReceptor; ++r) {
                ReceptorContaminant& totals =
                    TotalsOf(project.receptors[r], contaminant.identifier);
                const double* row =
                    values.data() + (n * receptorCount + (r - firstReceptor)) * slices;
                for (std::size_t k = 0; k < slices; ++k) {
                    entry.receptorConcentrations.at(r).at(k).At(i) = row[k] + background;
                    totals.totalConcentrations.at(k).At(i) += row[k];
                }
            }
        }
    }

    // The background of a species present in the aquifer reaches every
    // receptor once, however many sources there are.
    for (std::size_t r = firstReceptor; r < endReceptor; ++r) {
        for (ReceptorContaminant& totals : project.receptors[r].results) {
            // A record left from a contaminant since removed is not computed.
            const std::size_t c = FindContaminantIndex(project, totals.contaminant);
            if (c == noContaminant || !project.ContaminantTakesPart(c)) continue;
            const Contaminant& contaminant = project.contaminants[c];
            if (contaminant.backgroundOption == 0) continue;
            const double background = contaminant.backgroundConcentration.SampleAt(i);
            for (std::size_t k = 0; k < slices; ++k)
                totals.totalConcentrations.at(k).At(i) += background;
        }
    }
}

} // namespace

void ComputeAquiferAndReceptors(Project& project, std::size_t i) {
    const auto [firstReceptor, endReceptor] = ReceptorRange(project);
    ComputeForReceptors(project, i, firstReceptor, endReceptor);
}

void ComputeAquiferAtReceptor(Project& project, std::size_t i, std::size_t receptorIndex) {
    if (receptorIndex >= project.receptors.size()) throw std::logic_error("no such receptor");
    ComputeForReceptors(project, i, receptorIndex, receptorIndex + 1);
}

} // namespace varnex
