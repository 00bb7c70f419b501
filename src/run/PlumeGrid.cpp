#include "run/PlumeGrid.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "base/Exception.h"
#include "base/TextFormat.h"
#include "model/PlanGeometry.h"
#include "model/Project.h"
#include "run/IterationInputs.h"
#include "run/PlumeObserver.h"
#include "run/ResultStore.h"
#include "settings/Translate.h"
#include "stochastic/IterationCount.h"
#include "transport/AquiferTransport.h"
#include "transport/SourceTerm.h"
#include "transport/UnsaturatedZone.h"

namespace varnex {

namespace {

// Puts the project back as the user left it on every way out: the
// temporary receptors go, the iteration count returns, plume mode ends.
class PlumeScope {
public:
    PlumeScope(Project& project, std::size_t temporaryReceptors)
        : project_(project), iterations_(IterationCount()),
          firstTemporary_(project.receptors.size()) {
        Receptor receptor;
        receptor.name = "plume";
        receptor.visible = false;
        project.receptors.insert(project.receptors.end(), temporaryReceptors, receptor);
    }
    ~PlumeScope() {
        project_.receptors.erase(project_.receptors.begin() +
                                     static_cast<std::ptrdiff_t>(firstTemporary_),
                                 project_.receptors.end());
        project_.plume.active = false;
        project_.plume.receptorIndex = -1;
        SetIterationCount(iterations_);
    }
    PlumeScope(const PlumeScope&) = delete;
    PlumeScope& operator=(const PlumeScope&) = delete;
    std::size_t FirstTemporary() const { return firstTemporary_; }

private:
    Project& project_;
    const int iterations_;
    const std::size_t firstTemporary_;
};

// The refusals, checked before anything changes.
std::string Refusal(const Project& project, const PlumeRequest& request, long long& columns,
                    long long& rows) {
    if (project.simulationLevel != SimulationLevel::level3 &&
        project.simulationLevel != SimulationLevel::level3a)
        return Translate("A contaminant plume can only be calculated at Level 3 or Level 3a.");
    if (request.contaminantIndex < 0 ||
        request.contaminantIndex >= static_cast<int>(project.contaminants.size()))
        return Translate("Choose a contaminant for the plume.");
    if (!(request.timeYears > 0.0)) return Translate("Time must be greater than 0");
    if (!(request.spacingM > 0.0)) return Translate("Grid spacing must be greater than 0");
    const double c = std::ceil(request.widthM / request.spacingM);
    const double r = std::ceil(request.heightM / request.spacingM);
    // Counted in doubles first: a tiny spacing must not overflow the count.
    if (!(c >= 0.0 && r >= 0.0) || c * r > static_cast<double>(maximumPlumeNodes))
        return FormatText(
            TranslateFormat(
                "The plume grid would have more than %d nodes; choose a larger grid spacing."),
            {maximumPlumeNodes});
    columns = static_cast<long long>(c);
    rows = static_cast<long long>(r);
    return std::string();
}

void ZeroTotals(Receptor& receptor, std::size_t i) {
    for (ReceptorContaminant& record : receptor.results) {
        for (ResultVector& vector : record.totalConcentrations)
            if (i < vector.Size()) vector.At(i) = 0.0;
        if (i < record.totalUnretardedTravelTime.Size())
            record.totalUnretardedTravelTime.At(i) = 0.0;
        if (i < record.totalRetardedTravelTime.Size()) record.totalRetardedTravelTime.At(i) = 0.0;
    }
}

} // namespace

bool ComputePlume(Project& project, const PlumeRequest& request, PlumeObserver& observer) {
    long long columns = 0, rows = 0;
    const std::string refusal = Refusal(project, request, columns, rows);
    if (!refusal.empty()) {
        observer.Failed(refusal);
        return false;
    }
    project.InvalidateResults();
    PlumeSettings& plume = project.plume;
    plume.spacingM = request.spacingM;
    plume.leftX = request.leftX;
    plume.topY = request.topY;
    plume.columns.assign(static_cast<std::size_t>(columns),
                         std::vector<double>(static_cast<std::size_t>(rows), 0.0));
    const long long nodes = columns * rows;
    if (nodes == 0) return true;

    int threads = request.threads > 0 ? request.threads
                                      : static_cast<int>(std::thread::hardware_concurrency());
    threads = static_cast<int>(std::clamp<long long>(threads, 1, nodes));
    const Contaminant& contaminant =
        project.contaminants[static_cast<std::size_t>(request.contaminantIndex)];
    const int contaminantId = contaminant.identifier;

    // The node coordinates as the map has always placed them: x advanced
    // by one spacing per column, y lowered by one spacing per row.
    std::vector<double> xs(static_cast<std::size_t>(columns)), ys(static_cast<std::size_t>(rows));
    double x = request.leftX;
    for (double& value : xs) {
        value = x;
        x = x + request.spacingM;
    }
    double y = request.topY;
    for (double& value : ys) {
        value = y;
        y = y - request.spacingM;
    }

    PlumeScope scope(project, static_cast<std::size_t>(threads));
    try {
        // One iteration index per worker, all holding the same central
        // values.
        SetIterationCount(threads);
        plume.active = true;
        plume.contaminantIndex = request.contaminantIndex;
        plume.timeYears = request.timeYears;
        plume.receptorIndex = static_cast<int>(scope.FirstTemporary());
        project.thicknessOutOfRangeCount.assign(project.sources.size(), 0);
        project.solubilityLimitedCount.assign(project.contaminants.size(), 0);
        SampleIterationInputs(project);
        PrepareResultStore(project);
        if (project.simulationLevel == SimulationLevel::level3) {
            std::vector<char> limited;
            for (std::size_t i = 0; i < static_cast<std::size_t>(threads); ++i) {
                for (Source& source : project.sources) DeriveSoakawayInfiltration(source, i);
                ComputeSourceTerm(project, i, limited);
                ComputeUnsaturatedZone(project, i);
            }
        }
    } catch (const Exception& error) {
        if (error.Display() && !error.Message().empty()) observer.Failed(error.Message());
        return false;
    } catch (const std::exception& error) {
        observer.Failed(error.what());
        return false;
    }

    const double angle = project.aquifer.flowDirection - 90.0;
    std::atomic<long long> next{0};
    std::atomic<long long> finished{0};
    std::atomic<bool> stop{false};
    std::atomic<long long> firstFailure{nodes};
    std::exception_ptr failure;
    std::mutex mutex;
    std::condition_variable progress;
    std::atomic<int> running{threads};

    auto work = [&](std::size_t worker) {
        const std::size_t r = scope.FirstTemporary() + worker;
        for (long long node = next.fetch_add(1); node < nodes && !stop.load();
             node = next.fetch_add(1)) {
            const std::size_t column = static_cast<std::size_t>(node / rows);
            const std::size_t row = static_cast<std::size_t>(node % rows);
            try {
                Receptor& receptor = project.receptors[r];
                receptor.x = xs[column];
                receptor.y = ys[row];
                const PlanPoint rotated = RotatePoint(receptor.x, receptor.y, angle);
                receptor.rotatedX = rotated.x;
                receptor.rotatedY = rotated.y;
                ZeroTotals(receptor, worker);
                ComputeAquiferAtReceptor(project, worker, r);
                ReceptorContaminant* totals = receptor.FindResults(contaminantId);
                plume.columns[column][row] =
                    totals ? totals->totalConcentrations.at(0).At(worker) : 0.0;
            } catch (...) {
                std::lock_guard lock(mutex);
                if (node < firstFailure.load()) {
                    firstFailure.store(node);
                    failure = std::current_exception();
                }
                stop.store(true);
                break;
            }
            finished.fetch_add(1);
        }
        if (running.fetch_sub(1) == 1) {
            std::lock_guard lock(mutex);
            progress.notify_one();
        }
    };

    const std::string format = TranslateFormat("%s - Calculating: %.2lf,%.2lf (%.0lf%%)");
    auto showProgress = [&] {
        // The node being computed next, as a serial calculation shows it.
        const long long current = std::min(finished.load(), nodes - 1);
        observer.ProgressText(
            FormatText(format, {request.title, xs[static_cast<std::size_t>(current / rows)],
                                ys[static_cast<std::size_t>(current % rows)],
                                static_cast<double>(current + 1) / nodes * 100.0}));
    };
    // The first text names the first node whatever the workers manage
    // before the monitor first looks, so the user (and a test) always sees
    // where the calculation starts.
    showProgress();
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) workers.emplace_back(work, static_cast<std::size_t>(t));
    bool stopped = false;
    for (;;) {
        if (!stopped && observer.StopRequested()) {
            stopped = true;
            stop.store(true);
        }
        {
            std::unique_lock lock(mutex);
            progress.wait_for(lock, std::chrono::milliseconds(100),
                              [&] { return running.load() == 0; });
        }
        showProgress();
        if (running.load() == 0) break;
    }
    for (std::thread& worker : workers) worker.join();

    if (failure) {
        try {
            std::rethrow_exception(failure);
        } catch (const Exception& error) {
            if (error.Display() && !error.Message().empty()) observer.Failed(error.Message());
        } catch (const std::exception& error) {
            observer.Failed(error.what());
        }
        return false;
    }
    return !stopped;
}

} // namespace varnex
