#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "model/PlanPoint.h"

namespace varnex {

class PlumeObserver;
class Project;

// The nodes of a map: a rectangular grid over the site plan. Node (c, r)
// lies at x = leftX + c * spacingXM, y = topY - r * spacingYM (site plan
// metres, y up); column 0 is the left edge, row 0 the top.
struct MapGrid {
    double leftX = 0.0;
    double topY = 0.0;
    double spacingXM = 0.0;
    double spacingYM = 0.0;
    std::size_t columns = 0;
    std::size_t rows = 0;

    std::size_t Nodes() const { return columns * rows; }
    // Node index n = r * columns + c: row after row from the top, as a
    // raster is stored.
    double X(std::size_t c) const { return leftX + static_cast<double>(c) * spacingXM; }
    double Y(std::size_t r) const { return topY - static_cast<double>(r) * spacingYM; }
};

// What to map: one contaminant at one of the project's time slices, over a
// grid, from the N iterations of the run in memory.
struct ProbabilityMapRequest {
    int contaminantIndex = -1; // into the project's contaminants
    double timeYears = 0.0;    // one of the project's time slices
    MapGrid grid;
    // Percentile levels computed at every node, 1..99 ascending.
    std::vector<int> percentileLevels{50, 95};
    std::string title; // the project's title, for the progress text
    int threads = 0;   // 0: every core
    // Nodes computed together (their N values are held at once); 0: as many
    // as keep the block near 64 MB.
    std::size_t blockNodes = 0;
};

// The probability map: per node (index r * columns + c), from the total
// concentration (mg/l) that a receptor standing there receives in each of
// the run's iterations: the probability of exceeding the contaminant's
// water quality standard, the mean, and the percentiles. NaN marks a node
// not computed (a stopped calculation).
struct ProbabilityMap {
    int contaminantIndex = -1;
    std::string contaminantName;
    double timeYears = 0.0;
    std::size_t timeSlice = 0;
    MapGrid grid;
    int iterations = 0;
    // mg/l; 0 when the contaminant has no standard, and then `exceedance` is
    // empty: there is nothing to exceed.
    double standardMgPerL = 0.0;
    std::vector<double> exceedance; // fraction 0..1 of the iterations
    std::vector<double> mean;       // mg/l
    std::vector<int> percentileLevels;
    std::vector<std::vector<double>> percentiles; // [level][node], mg/l
    bool complete = false;                        // every node computed
};

// The most nodes a probability map may have.
constexpr std::size_t maximumProbabilityMapNodes = 1000000;

// The total concentration (mg/l) of a contaminant at one of the project's
// time slices that receptors standing at the points (plan and aquifer-frame
// coordinates) would have received in iteration i of the run in memory:
// the run's own value where a receptor stood, to the bit. The run's results
// are left as they were. Threads may call it at once on different
// iterations.
void RepeatIterationAtPoints(Project& project, std::size_t contaminantIndex, double timeYears,
                             const PlanPoint* points, std::size_t count, std::size_t i,
                             double* totals);

// The problems of a request, all of them, each a sentence (empty when it
// can be computed): no run in memory, a level other than "Level 3" or
// "Level 3a", no such contaminant, a time that is not a time slice, a grid
// without nodes or of more than maximumProbabilityMapNodes nodes, spacings
// not above 0, percentile levels outside 1..99.
std::vector<std::string> ProbabilityMapProblems(const Project& project,
                                                const ProbabilityMapRequest& request);
// The same without the run: what is wrong with the request itself, so that
// a front end can refuse it before spending the run's time.
std::vector<std::string> ProbabilityMapRequestProblems(const Project& project,
                                                       const ProbabilityMapRequest& request);

// Computes the map from the run in memory: every node sees the run's own
// samples, source points and unsaturated zone, with the kernel the run
// used, so a node placed on a receptor gives that receptor's "Total Receptor
// Concentration" of every iteration to the bit. Nothing of the run's results
// changes. Nodes are computed in blocks (memory stays near the block's N
// values per node plus the maps), the iterations of a block on several
// threads; the map is identical for every thread count and block size.
// Returns false when refused (observer.Failed with every problem), failed,
// or stopped (the nodes computed so far are kept, the rest NaN).
bool ComputeProbabilityMap(Project& project, const ProbabilityMapRequest& request,
                           PlumeObserver& observer, ProbabilityMap& map);

} // namespace varnex
