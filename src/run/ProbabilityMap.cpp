#include "run/ProbabilityMap.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <exception>
#include <functional>
#include <limits>
#include <mutex>
#include <thread>

#include "base/Exception.h"
#include "base/NumberText.h"
#include "base/TextFormat.h"
#include "model/PlanGeometry.h"
#include "model/Project.h"
#include "results/ResultStatistics.h"
#include "run/PlumeObserver.h"
#include "settings/Translate.h"
#include "stochastic/IterationCount.h"
#include "transport/AquiferTransport.h"

namespace varnex {

namespace {

constexpr double notComputed = std::numeric_limits<double>::quiet_NaN();

// Doubles a block of nodes may hold at once (64 MB): the N values of every
// node of the block.
constexpr std::size_t blockValues = std::size_t{8} << 20;

// Nodes handed to the transport calculation in one call.
constexpr std::size_t nodesPerCall = 256;

// Whether every per-iteration value a node's calculation reads is there for
// exactly the N iterations of the program's count: the run that set
// runStateInMemory left them, and the count has not changed since (a map
// over fewer or more iterations than the run's would not be the run's).
bool RunStateComplete(const Project& project, std::size_t n) {
    if (!project.resultsValid || !project.runStateInMemory || n == 0) return false;
    // A copy of a project keeps the flag but not the inputs' samples.
    if (project.aquifer.longitudinalDispersivity.SampleCount() != n) return false;
    for (const Source& source : project.sources) {
        if (source.centres.size() != n || source.aquiferPoreVelocity.Size() != n) return false;
    }
    for (const Contaminant& contaminant : project.contaminants)
        if (contaminant.aquiferRetardation.Size() != 0 &&
            contaminant.aquiferRetardation.Size() != n)
            return false;
    for (const Source& source : project.sources)
        for (const SourceContaminant& entry : source.inventory)
            if (project.EntryTakesPart(entry))
                for (std::size_t p = 1; p < source.pathways.size(); ++p) {
                    const auto record = entry.pathwayProperties.find(static_cast<int>(p));
                    if (record == entry.pathwayProperties.end() ||
                        record->second.layerRetardedTravelTime.size() < n)
                        return false;
                }
    return true;
}

// While an iteration is repeated, each layer's retarded travel time is its
// own again, as the iteration used it; afterwards the time from the top of
// the first layer that the run left is put back exactly. Only index i is
// touched, so threads on other iterations are not disturbed.
class LayerDelaysOfIteration {
public:
    LayerDelaysOfIteration(Project& project, std::size_t i) {
        for (Source& source : project.sources)
            for (SourceContaminant& entry : source.inventory) {
                if (!project.EntryTakesPart(entry)) continue;
                for (std::size_t p = 1; p < source.pathways.size(); ++p) {
                    PathwayContaminant& record = entry.pathwayProperties.at(static_cast<int>(p));
                    double& time = record.retardedTravelTime.At(i);
                    saved_.push_back({&time, time});
                    time = record.layerRetardedTravelTime.at(i);
                }
            }
    }
    ~LayerDelaysOfIteration() {
        for (const auto& [time, fromTop] : saved_) *time = fromTop;
    }
    LayerDelaysOfIteration(const LayerDelaysOfIteration&) = delete;
    LayerDelaysOfIteration& operator=(const LayerDelaysOfIteration&) = delete;

private:
    std::vector<std::pair<double*, double>> saved_;
};

std::string TimeSlicesText(const Project& project) {
    std::string text;
    for (double time : project.timeSlices) {
        if (!text.empty()) text += ", ";
        text += FormatG(time);
    }
    return text;
}

// Runs work(index) for index 0..count-1 on `threads` threads, each taking
// the next index, while the calling thread calls poll() about ten times a
// second. Stops taking new indices once `stop` is set (by poll or by a
// failure). Returns the failure with the lowest index, if any.
std::exception_ptr ParallelFor(int threads, std::size_t count,
                               const std::function<void(std::size_t)>& work,
                               const std::function<void()>& poll, std::atomic<bool>& stop) {
    std::atomic<std::size_t> next{0};
    std::atomic<int> running{threads};
    std::mutex mutex;
    std::condition_variable finished;
    std::exception_ptr failure;
    std::size_t failedAt = count;
    auto worker = [&] {
        for (std::size_t index = next.fetch_add(1); index < count && !stop.load();
             index = next.fetch_add(1)) {
            try {
                work(index);
            } catch (...) {
                std::lock_guard lock(mutex);
                if (index < failedAt) {
                    failedAt = index;
                    failure = std::current_exception();
                }
                stop.store(true);
                break;
            }
        }
        if (running.fetch_sub(1) == 1) {
            std::lock_guard lock(mutex);
            finished.notify_one();
        }
    };
    std::vector<std::thread> pool;
    pool.reserve(static_cast<std::size_t>(threads));
    for (int t = 0; t < threads; ++t) pool.emplace_back(worker);
    for (;;) {
        {
            std::unique_lock lock(mutex);
            finished.wait_for(lock, std::chrono::milliseconds(100),
                              [&] { return running.load() == 0; });
        }
        poll();
        if (running.load() == 0) break;
    }
    for (std::thread& thread : pool) thread.join();
    return failure;
}

// The statistics of one node from its N values (sorted here): computed as
// the run computes a result vector's, so that a node on a receptor gives
// that receptor's statistics exactly.
void NodeStatistics(std::vector<double>& values, double standard, std::size_t node,
                    ProbabilityMap& map) {
    if (standard > 0.0) map.exceedance[node] = ExceedanceProbability(values, standard);
    SortValues(values);
    // Summed from the smallest value up, as a result vector's mean is.
    double sum = 0.0;
    for (const double value : values) sum += value;
    map.mean[node] = sum / static_cast<double>(values.size());
    for (std::size_t level = 0; level < map.percentileLevels.size(); ++level)
        map.percentiles[level][node] = Percentile(values, map.percentileLevels[level]);
}

// The kernel of the run for the map's solutions, the program's choice back
// afterwards.
class KernelScope {
public:
    explicit KernelScope(Project& project) : project_(project), chosen_(project.solverKernel) {
        if (project.resultsKernel) project.solverKernel = *project.resultsKernel;
    }
    ~KernelScope() { project_.solverKernel = chosen_; }
    KernelScope(const KernelScope&) = delete;
    KernelScope& operator=(const KernelScope&) = delete;

private:
    Project& project_;
    const SolverKernel chosen_;
};

std::string FailureMessage(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const Exception& error) {
        return error.Display() ? error.Message() : std::string();
    } catch (const std::exception& error) {
        return error.what();
    }
    return std::string();
}

} // namespace

void RepeatIterationAtPoints(Project& project, std::size_t contaminantIndex, double timeYears,
                             const PlanPoint* points, std::size_t count, std::size_t i,
                             double* totals) {
    const LayerDelaysOfIteration delays(project, i);
    TotalConcentrationsAtPoints(project, contaminantIndex, timeYears, points, count, i, totals);
}

std::vector<std::string> ProbabilityMapProblems(const Project& project,
                                                const ProbabilityMapRequest& request) {
    std::vector<std::string> problems;
    const int n = IterationCount();
    if (!RunStateComplete(project, static_cast<std::size_t>(std::max(n, 0))))
        problems.push_back(Translate("The probability map uses the iterations of the last run, "
                                     "and there is none in memory: run the simulation first."));
    for (std::string& problem : ProbabilityMapRequestProblems(project, request))
        problems.push_back(std::move(problem));
    return problems;
}

std::vector<std::string> ProbabilityMapRequestProblems(const Project& project,
                                                       const ProbabilityMapRequest& request) {
    std::vector<std::string> problems;
    if (project.simulationLevel != SimulationLevel::level3 &&
        project.simulationLevel != SimulationLevel::level3a)
        problems.push_back(
            Translate("A contaminant plume can only be calculated at Level 3 or Level 3a."));
    if (request.contaminantIndex < 0 ||
        request.contaminantIndex >= static_cast<int>(project.contaminants.size()))
        problems.push_back(Translate("Choose a contaminant for the plume."));
    if (std::find(project.timeSlices.begin(), project.timeSlices.end(), request.timeYears) ==
        project.timeSlices.end())
        problems.push_back(FormatText(
            TranslateFormat("%s years is not one of the project's time slices (%s years); the "
                            "probability map is made at a time the run computed."),
            {FormatG(request.timeYears), TimeSlicesText(project)}));
    const MapGrid& grid = request.grid;
    if (!(grid.spacingXM > 0.0) || !(grid.spacingYM > 0.0))
        problems.push_back(Translate("Grid spacing must be greater than 0"));
    if (!std::isfinite(grid.leftX) || !std::isfinite(grid.topY))
        problems.push_back(Translate("The map's area must lie on the site plan (finite "
                                     "coordinates)."));
    // Counted in doubles: a huge grid must not overflow the count.
    const double nodes = static_cast<double>(grid.columns) * static_cast<double>(grid.rows);
    if (nodes == 0.0)
        problems.push_back(Translate("The map has no nodes: its area is empty."));
    else if (nodes > static_cast<double>(maximumProbabilityMapNodes))
        problems.push_back(FormatText(
            TranslateFormat("The map would have %s nodes, more than the %s a map may have; "
                            "choose a larger grid spacing or a smaller area."),
            {FormatG(nodes, 12), FormatG(static_cast<double>(maximumProbabilityMapNodes), 12)}));
    const std::vector<int>& levels = request.percentileLevels;
    const bool levelsValid =
        std::all_of(levels.begin(), levels.end(),
                    [](int level) { return level >= 1 && level <= 99; }) &&
        std::adjacent_find(levels.begin(), levels.end(), std::greater_equal<int>()) == levels.end();
    if (!levelsValid)
        problems.push_back(Translate("Percentiles must be whole numbers from 1 to 99, each once, "
                                     "in ascending order."));
    return problems;
}

bool ComputeProbabilityMap(Project& project, const ProbabilityMapRequest& request,
                           PlumeObserver& observer, ProbabilityMap& map) {
    const std::vector<std::string> problems = ProbabilityMapProblems(project, request);
    if (!problems.empty()) {
        std::string text;
        for (const std::string& problem : problems) text += (text.empty() ? "" : "\n") + problem;
        observer.Failed(text);
        return false;
    }

    const std::size_t n = static_cast<std::size_t>(IterationCount());
    const MapGrid& grid = request.grid;
    const std::size_t nodes = grid.Nodes();
    const std::size_t c = static_cast<std::size_t>(request.contaminantIndex);
    const Contaminant& contaminant = project.contaminants[c];
    map = ProbabilityMap();
    map.contaminantIndex = request.contaminantIndex;
    map.contaminantName = contaminant.name;
    map.timeYears = request.timeYears;
    map.timeSlice = static_cast<std::size_t>(
        std::find(project.timeSlices.begin(), project.timeSlices.end(), request.timeYears) -
        project.timeSlices.begin());
    map.grid = grid;
    map.iterations = static_cast<int>(n);
    map.standardMgPerL = contaminant.standard > 0.0 ? contaminant.standard : 0.0;
    if (map.standardMgPerL > 0.0) map.exceedance.assign(nodes, notComputed);
    map.mean.assign(nodes, notComputed);
    map.percentileLevels = request.percentileLevels;
    map.percentiles.assign(map.percentileLevels.size(), std::vector<double>(nodes, notComputed));

    // The nodes in the aquifer frame, as the run places its receptors.
    const double angle = project.aquifer.flowDirection - 90.0;
    std::vector<PlanPoint> points(nodes);
    for (std::size_t r = 0; r < grid.rows; ++r) {
        for (std::size_t col = 0; col < grid.columns; ++col) {
            PlanPoint& point = points[r * grid.columns + col];
            point.x = grid.X(col);
            point.y = grid.Y(r);
            const PlanPoint rotated = RotatePoint(point.x, point.y, angle);
            point.rotatedX = rotated.x;
            point.rotatedY = rotated.y;
        }
    }

    int threads = request.threads > 0 ? request.threads
                                      : static_cast<int>(std::thread::hardware_concurrency());
    threads = static_cast<int>(std::clamp<std::size_t>(
        static_cast<std::size_t>(std::max(threads, 1)), 1, std::max<std::size_t>(n, 1)));
    const std::size_t block = std::clamp<std::size_t>(
        request.blockNodes > 0 ? request.blockNodes : blockValues / n, 1, nodes);
    const std::size_t blocks = (nodes + block - 1) / block;

    KernelScope kernel(project);
    std::atomic<bool> stop{false};
    bool stopped = false;
    std::atomic<std::size_t> iterationsDone{0};
    std::size_t blocksDone = 0;
    const std::string format = TranslateFormat("%s - Calculating probability map: %.0lf%%");
    auto poll = [&] {
        if (!stopped && observer.StopRequested()) {
            stopped = true;
            stop.store(true);
        }
        // Each block counts its iterations, then its statistics as one
        // more iteration's worth.
        const double done = (static_cast<double>(blocksDone) * static_cast<double>(n + 1) +
                             static_cast<double>(std::min(iterationsDone.load(), n))) /
                            (static_cast<double>(blocks) * static_cast<double>(n + 1));
        observer.Fraction(done);
        observer.ProgressText(FormatText(format, {request.title, done * 100.0}));
    };
    poll();

    // values[i * count + b]: iteration i at node b of the block, written
    // row by row by the iteration's thread.
    std::vector<double> values;
    std::vector<std::vector<double>> nodeValues(static_cast<std::size_t>(threads));
    const double standard = map.standardMgPerL;
    for (std::size_t first = 0; first < nodes && !stop.load(); first += block) {
        const std::size_t count = std::min(block, nodes - first);
        values.assign(n * count, 0.0);
        iterationsDone.store(0);
        std::exception_ptr failure = ParallelFor(
            threads, n,
            [&](std::size_t i) {
                // A few hundred nodes at a time: enough to fill the
                // solver's lanes, few enough that the scratch space of a
                // call stays in the cache and off the allocator's
                // page-mapping path.
                for (std::size_t from = 0; from < count; from += nodesPerCall)
                    RepeatIterationAtPoints(
                        project, c, request.timeYears, points.data() + first + from,
                        std::min(nodesPerCall, count - from), i, values.data() + i * count + from);
                iterationsDone.fetch_add(1);
            },
            poll, stop);
        if (!failure && !stop.load()) {
            std::atomic<std::size_t> nextNode{0};
            failure = ParallelFor(
                threads, static_cast<std::size_t>(threads),
                [&](std::size_t worker) {
                    std::vector<double>& own = nodeValues[worker];
                    own.resize(n);
                    for (std::size_t b = nextNode.fetch_add(1); b < count;
                         b = nextNode.fetch_add(1)) {
                        for (std::size_t i = 0; i < n; ++i) own[i] = values[i * count + b];
                        NodeStatistics(own, standard, first + b, map);
                    }
                },
                [] {}, stop);
            if (!failure && !stop.load()) {
                ++blocksDone;
                iterationsDone.store(0);
            }
        }
        if (failure) {
            const std::string message = FailureMessage(failure);
            if (!message.empty()) observer.Failed(message);
            return false;
        }
    }
    poll();
    map.complete = !stopped && blocksDone == blocks;
    return map.complete;
}

} // namespace varnex
