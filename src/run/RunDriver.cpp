#include "run/RunDriver.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "base/Exception.h"
#include "base/TextFormat.h"
#include "base/UserCancel.h"
#include "model/Project.h"
#include "results/ResultVector.h"
#include "run/InputCorrelation.h"
#include "run/IterationInputs.h"
#include "run/ResultStore.h"
#include "run/RunObserver.h"
#include "settings/Translate.h"
#include "stochastic/IterationCount.h"
#include "transport/AquiferTransport.h"
#include "transport/SourceTerm.h"
#include "transport/UnsaturatedZone.h"

namespace varnex {

namespace {

// Down the layers each travel time becomes the time from the top of the
// first layer to the base of this one.
void AccumulateTravelTimes(Project& project, std::size_t i) {
    for (Source& source : project.sources) {
        for (SourceContaminant& entry : source.inventory) {
            if (!project.EntryTakesPart(entry)) continue;
            for (std::size_t k = 1; k < source.pathways.size(); ++k) {
                PathwayContaminant& above = entry.pathwayProperties.at(static_cast<int>(k - 1));
                PathwayContaminant& layer = entry.pathwayProperties.at(static_cast<int>(k));
                // The layer's own delay stays at hand for calculations
                // that repeat this iteration later.
                layer.layerRetardedTravelTime.at(i) = layer.retardedTravelTime.At(i);
                layer.unretardedTravelTime.At(i) += above.unretardedTravelTime.At(i);
                layer.retardedTravelTime.At(i) += above.retardedTravelTime.At(i);
                layer.matrixUnretardedTravelTime.At(i) += above.matrixUnretardedTravelTime.At(i);
                layer.matrixRetardedTravelTime.At(i) += above.matrixRetardedTravelTime.At(i);
            }
        }
    }
}

// One iteration: everything it writes lives at index i, so iterations can
// run in any order on any thread.
void RunIteration(Project& project, std::size_t i, std::vector<char>& limited,
                  std::vector<int>& limitedCounts) {
    const int level = project.simulationLevel;
    if (level != SimulationLevel::level3a) {
        // A soakaway's infiltration follows from its own inputs; the source
        // term reads it when the source declines by leaching, so it is
        // derived first.
        if (level > SimulationLevel::level1)
            for (Source& source : project.sources) DeriveSoakawayInfiltration(source, i);
        std::fill(limited.begin(), limited.end(), 0);
        ComputeSourceTerm(project, i, limited);
        for (std::size_t c = 0; c < limited.size(); ++c)
            if (limited[c]) ++limitedCounts[c];
        if (level > SimulationLevel::level1) ComputeUnsaturatedZone(project, i);
    }
    if (level > SimulationLevel::level2) ComputeAquiferAndReceptors(project, i);
    if (level == SimulationLevel::level2 || level == SimulationLevel::level3)
        AccumulateTravelTimes(project, i);
}

int ThreadCount(const RunOptions& options, std::size_t iterations) {
    int threads = options.threads > 0 ? options.threads
                                      : static_cast<int>(std::thread::hardware_concurrency());
    threads = std::max(threads, 1);
    return static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(threads),
                                                  std::max<std::size_t>(iterations, 1)));
}

// The "Calculating" stage on a pool of workers. Iterations are handed out in
// increasing order; when one fails, no iteration after it is started, and
// the failure reported is that of the lowest failing iteration, as a serial
// run would report it. A stop ends the run within one iteration per worker.
class IterationPool {
public:
    IterationPool(Project& project, RunObserver& observer, std::size_t n, int threads)
        : project_(project), observer_(observer), n_(n), threads_(threads) {}

    void Run(const std::string& iterationFormat) {
        const std::size_t contaminants = project_.contaminants.size();
        std::vector<std::vector<int>> counts(static_cast<std::size_t>(threads_),
                                             std::vector<int>(contaminants, 0));
        const std::int64_t stageStart = observer_.NowSeconds();
        // As before every iteration, a stop the user has already asked for
        // is honoured before the first one starts.
        if (n_ > 0 && AskedToStop()) throw UserCancel();
        std::vector<std::thread> workers;
        for (int t = 0; t < threads_; ++t)
            workers.emplace_back([this, &counts, t, contaminants] {
                Work(counts[static_cast<std::size_t>(t)], contaminants);
            });

        std::size_t shown = static_cast<std::size_t>(-1);
        bool stopping = false;
        for (;;) {
            const std::size_t finished = finished_.load();
            const bool done = running_.load() == 0;
            if (finished != shown && finished < n_) {
                shown = finished;
                observer_.IterationsDone(finished, n_);
                const int j = static_cast<int>(finished + 1);
                observer_.IterationText(FormatText(
                    iterationFormat, {static_cast<long long>(j), static_cast<long long>(n_)}));
                observer_.TimeRemainingText(TimeRemainingText(observer_.NowSeconds() - stageStart,
                                                              j, static_cast<int>(n_)));
            }
            if (done) break;
            if (!stopping && AskedToStop()) {
                stopping = true;
                stop_.store(true);
            }
            std::unique_lock lock(mutex_);
            progress_.wait_for(lock, std::chrono::milliseconds(100));
        }
        for (std::thread& worker : workers) worker.join();

        if (failure_) std::rethrow_exception(failure_);
        if (stopping) throw UserCancel();
        observer_.IterationsDone(n_, n_);
        project_.solubilityLimitedCount.assign(contaminants, 0);
        for (const std::vector<int>& threadCounts : counts)
            for (std::size_t c = 0; c < contaminants; ++c)
                project_.solubilityLimitedCount[c] += threadCounts[c];
    }

private:
    bool AskedToStop() {
        try {
            return observer_.StopRequested();
        } catch (const UserCancel&) {
            return true;
        }
    }

    void Work(std::vector<int>& counts, std::size_t contaminants) {
        std::vector<char> limited(contaminants, 0);
        for (;;) {
            if (stop_.load()) break;
            // Consecutive iterations in one worker: neighbouring values of a
            // result vector share cache lines, which workers must not fight
            // over.
            const std::size_t first = next_.fetch_add(chunk);
            if (first >= n_ || first > firstFailure_.load()) break;
            const std::size_t last = std::min(n_, first + chunk);
            for (std::size_t i = first; i < last; ++i) {
                // A front end asking the user whether to stop holds the
                // workers here until the answer, so that nothing is computed
                // that the answer may throw away.
                observer_.WaitWhilePaused();
                if (i > firstFailure_.load() || stop_.load()) break;
                try {
                    RunIteration(project_, i, limited, counts);
                } catch (...) {
                    std::lock_guard lock(mutex_);
                    if (i < firstFailure_.load()) {
                        firstFailure_.store(i);
                        failure_ = std::current_exception();
                    }
                    break;
                }
                finished_.fetch_add(1);
            }
            progress_.notify_one();
        }
        if (running_.fetch_sub(1) == 1) {
            std::lock_guard lock(mutex_);
            progress_.notify_one();
        }
    }

    // Iterations a worker takes at a time; small enough that a stop ends
    // the run quickly and progress moves smoothly.
    static constexpr std::size_t chunk = 16;

    Project& project_;
    RunObserver& observer_;
    const std::size_t n_;
    const int threads_;
    std::atomic<std::size_t> next_{0};
    std::atomic<std::size_t> finished_{0};
    std::atomic<std::size_t> firstFailure_{static_cast<std::size_t>(-1)};
    std::atomic<int> running_{threads_};
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::condition_variable progress_;
    std::exception_ptr failure_;
};

// Each vector's statistics depend on that vector alone.
void ComputeStatisticsInParallel(const std::vector<ResultEntry>& set, int threads) {
    std::atomic<std::size_t> next{0};
    auto work = [&set, &next] {
        for (std::size_t k = next.fetch_add(1); k < set.size(); k = next.fetch_add(1))
            set[k].vector->ComputeStatistics();
    };
    std::vector<std::thread> workers;
    for (int t = 1; t < threads; ++t) workers.emplace_back(work);
    work();
    for (std::thread& worker : workers) worker.join();
}

// A stage begins with none of its iterations done; the statistics follow
// the iterations, which are all done by then.
void ShowStage(RunObserver& observer, const char* stage, const std::string& iterationFormat,
               std::size_t n, std::size_t done = 0) {
    observer.StageText(Translate(stage));
    observer.TimeRemainingText(Translate("Estimated Time Remaining for Stage: "));
    observer.IterationText(FormatText(iterationFormat, {0LL, static_cast<long long>(n)}));
    observer.IterationsDone(done, n);
}

} // namespace

std::string TimeRemainingText(std::int64_t elapsedSeconds, int j, int n) {
    const long long remaining =
        j > 0 ? static_cast<long long>(static_cast<double>(elapsedSeconds) / j * (n - j)) : 0;
    const long long hours = remaining / 3600;
    const long long minutes = remaining / 60 - 60 * hours;
    const long long seconds = remaining - 60 * (remaining / 60);
    char clock[64];
    std::snprintf(clock, sizeof clock, "%02lld:%02lld:%02lld", hours, minutes, seconds);
    return Translate("Estimated Time Remaining for Stage: ") + clock;
}

std::string SolubilityWarning(const Project& project) {
    const std::string format = TranslateFormat(
        "In %d out of %d iterations, the calculated leachate concentration (%s) was limited to the contaminant "
        "solubility.");
    std::string text;
    for (std::size_t c = 0;
         c < project.contaminants.size() && c < project.solubilityLimitedCount.size(); ++c) {
        const int count = project.solubilityLimitedCount[c];
        if (count <= 0) continue;
        if (!text.empty()) text += "\n";
        text += FormatText(format,
                           {static_cast<long long>(count), static_cast<long long>(IterationCount()),
                            project.contaminants[c].name});
    }
    return text;
}

std::string ThicknessWarning(const Project& project) {
    const std::string format = TranslateFormat(
        "%d of %d iterations resulted in source %s unsaturated zone thicknesses that fell outside of their "
        "constrained definitions.");
    std::string text;
    for (std::size_t s = 0;
         s < project.sources.size() && s < project.thicknessOutOfRangeCount.size(); ++s) {
        const int count = project.thicknessOutOfRangeCount[s];
        if (count <= 0) continue;
        if (!text.empty()) text += "\n";
        text +=
            FormatText(format, {static_cast<long long>(count),
                                static_cast<long long>(IterationCount()), project.sources[s].name});
    }
    if (!text.empty()) text += "\n" + Translate("Please check that this is as intended.");
    return text;
}

std::string InfiltrationWarning(const Project& project) {
    if (project.simulationLevel != SimulationLevel::level3) return std::string();
    const std::string format = TranslateFormat(
        "In %d out of %d iterations, the infiltration through source %s exceeded one tenth of the aquifer flow "
        "beneath it.");
    std::string text;
    const std::size_t n = static_cast<std::size_t>(std::max(0, IterationCount()));
    for (const Source& source : project.sources) {
        // A source without an active entry has no aquifer flow computed
        // beneath it.
        if (std::none_of(source.inventory.begin(), source.inventory.end(),
                         [&project](const SourceContaminant& entry) {
                             return project.EntryTakesPart(entry);
                         }))
            continue;
        long long count = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const double infiltration =
                source.infiltration.SampleAt(i) * source.sourceArea.SampleAt(i);
            if (0.1 * source.fullThicknessAquiferFlow.At(i) < infiltration) ++count;
        }
        if (count == 0) continue;
        if (!text.empty()) text += "\n";
        text += FormatText(format, {count, static_cast<long long>(n), source.name});
    }
    return text;
}

// A Latin hypercube is stratified only where its values stand: values drawn
// again at random to keep a pair consistent are plain draws, and a study
// with many of them is hardly stratified in those inputs.
std::string RedrawWarning(const Project& project) {
    const std::string format = TranslateFormat(
        "Latin Hypercube sampling: %d of %d values of %s (%s) were drawn again at random to keep them "
        "physically consistent; those values are not stratified.");
    std::string text;
    for (const Project::RedrawnInput& input : project.redrawnInputs) {
        if (!text.empty()) text += "\n";
        text += FormatText(format,
                           {static_cast<long long>(input.count),
                            static_cast<long long>(IterationCount()), input.label, input.owner});
    }
    return text;
}

bool RunSimulation(Project& project, RunObserver& observer, const RunOptions& options) {
    project.InvalidateResults();
    const std::size_t n = static_cast<std::size_t>(std::max(0, IterationCount()));
    const std::string iterationFormat = TranslateFormat("Iteration: %d of %d");
    try {
        PrepareResultStore(project);
        project.thicknessOutOfRangeCount.assign(project.sources.size(), 0);
        project.solubilityLimitedCount.assign(project.contaminants.size(), 0);
        project.correlationOutcomes.clear();

        ShowStage(observer, "Sampling", iterationFormat, n);
        SampleIterationInputs(project);

        ShowStage(observer, "Correlating Inputs", iterationFormat, n);
        CorrelateInputs(project);

        ShowStage(observer, "Calculating", iterationFormat, n);
        IterationPool(project, observer, n, ThreadCount(options, n)).Run(iterationFormat);

        for (const std::string& warning : {SolubilityWarning(project), ThicknessWarning(project),
                                           InfiltrationWarning(project), RedrawWarning(project)})
            if (!warning.empty()) observer.Warning(warning);

        ShowStage(observer, "Calculating Statistics", iterationFormat, n, n);
        const std::vector<ResultEntry> set = StatisticsSet(project);
        ComputeStatisticsInParallel(set, ThreadCount(options, n));
        // Finite values whose spread no double holds (above about 1e154)
        // have no variance to show: refused by name rather than shown as
        // "inf".
        for (const ResultEntry& entry : set)
            if (!entry.vector->StatisticsRepresentable())
                throw Exception(FormatText(
                    TranslateFormat("The values of %s are too large to summarise: their "
                                    "variance exceeds the largest number the program holds"),
                    {entry.vector->Label()}));
    } catch (const Exception& error) {
        if (error.Display() && !error.Message().empty()) observer.Failed(error.Message());
        return false;
    } catch (const std::exception& error) {
        // A programming error or exhausted memory must still end the run
        // cleanly, with the reason.
        observer.Failed(error.what());
        return false;
    }
    project.resultsValid = true;
    project.runStateInMemory = true;
    project.resultsKernel = project.solverKernel;
    return true;
}

} // namespace varnex
