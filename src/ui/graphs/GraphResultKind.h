#pragma once

#include <string>
#include <vector>

namespace varnex {
class Project;
class ResultVector;
} // namespace varnex

namespace varnex::ui {

// The result kinds the graph window and the statistics view show, by the
// code the graph's selection carries.
namespace GraphResultKind {
enum : int {
    sourceConcentration = 0,
    baseOfUnsaturatedZoneConcentration = 1,
    receptorConcentration = 2,
    uzUnretardedTravelTime = 3,
    uzRetardedTravelTime = 4,
    receptorUnretardedTravelTime = 5,
    receptorRetardedTravelTime = 6,
    dilutedConcentration = 7,
    aquiferFlow = 8,
    count = 9,
};

// The English caption of a kind ("Source concentration", ...).
const char* Caption(int kind);
// The kinds a run at the simulation level computes, in code order.
std::vector<int> OfferedAtLevel(int level);
// Whether the level's source selector starts with "<Total>" (the sum over
// every source, which exists where receptors are computed).
bool OffersTotal(int level);

// One vector per time slice: concentrations. The others hold one value per
// iteration (travel times, flows).
bool DependsOnTime(int kind);
bool IsConcentration(int kind);
bool UsesReceptor(int kind);
bool UsesPathway(int kind);
bool UsesContaminant(int kind);
} // namespace GraphResultKind

// Which result vector to show. `source` is an index into the project's
// sources, or `total` for the sum over all sources.
struct ResultLocation {
    static constexpr int total = -1;

    int kind = GraphResultKind::sourceConcentration;
    int source = 0;
    int contaminant = 0; // index into the project's contaminants
    int receptor = 0;
    int pathway = 0;
};

// The vector of the location at time slice `timeIndex` (ignored for kinds
// without time), or null when the run has none there: results not valid,
// an index the project lacks, an entry that took no part in the run, a kind
// without a total over sources, or a vector without values. The pointer is
// valid until the project changes; look it up again for every redraw.
const ResultVector* FindResultVector(const Project& project, const ResultLocation& location,
                                     int timeIndex);

// The contaminant's water quality standard in mg/l when the chosen
// standards give it one and the kind is a concentration; otherwise false.
bool ApplicableStandard(const Project& project, const ResultLocation& location, double& standard);

} // namespace varnex::ui
