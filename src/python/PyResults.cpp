#include "python/PyResults.h"

#include <cmath>
#include <pybind11/stl.h>
#include <stdexcept>

#include "analysis/SensitivityAnalysis.h"
#include "analysis/SensitivityRequest.h"
#include "model/Project.h"
#include "persist/ProjectFile.h"
#include "python/EngineLock.h"
#include "python/PythonRunObserver.h"
#include "results/ResultStatistics.h"
#include "results/ResultVector.h"
#include "run/DefaultPlumeArea.h"
#include "run/PlumeGrid.h"
#include "run/ProbabilityMap.h"
#include "run/ResultStore.h"
#include "settings/SolverKernel.h"
#include "stochastic/IterationCount.h"

namespace py = pybind11;

namespace varnex::python {

namespace {

py::object TimeOf(const ResultEntry& entry) {
    return entry.hasTime ? py::object(py::float_(entry.timeYears)) : py::object(py::none());
}

void Context(py::dict& record, const ResultEntry& entry) {
    record["label"] = entry.vector->Label();
    record["kind"] = entry.kind;
    record["source"] = entry.source;
    record["contaminant"] = entry.contaminant;
    record["pathway"] = entry.pathway;
    record["receptor"] = entry.receptor;
    record["time"] = TimeOf(entry);
}

// The grid's nodes as a 2-D array [row, column] of one quantity.
py::array_t<double> Raster(const std::vector<double>& values, const MapGrid& grid) {
    py::array_t<double> array({grid.rows, grid.columns});
    std::copy(values.begin(), values.end(), array.mutable_data());
    return array;
}

// While the map repeats the run's iterations, the engine's iteration count
// must be the run's.
class RunIterations {
public:
    explicit RunIterations(int iterations) : saved_(IterationCount()) {
        SetIterationCount(iterations);
    }
    ~RunIterations() { SetIterationCount(saved_); }
    RunIterations(const RunIterations&) = delete;
    RunIterations& operator=(const RunIterations&) = delete;

private:
    int saved_;
};

} // namespace

PyResults::PyResults(std::shared_ptr<Project> project, std::vector<std::string> warnings)
    : project_(std::move(project)), warnings_(std::move(warnings)) {}

int PyResults::Iterations() const {
    for (const ResultEntry& entry : StatisticsSet(*project_))
        return static_cast<int>(entry.vector->Size());
    return 0;
}

std::string PyResults::Kernel() const {
    return project_->resultsKernel ? SolverKernelName(*project_->resultsKernel) : std::string();
}

std::string PyResults::Sampling() const {
    return project_->samplingMethod == SamplingMethod::latinHypercube ? "lhs" : "mc";
}

py::list PyResults::Vectors(py::object self) const {
    py::list list;
    for (const ResultEntry& entry : StatisticsSet(*project_)) {
        py::dict record;
        Context(record, entry);
        const std::vector<double>& values = entry.vector->Values();
        // A view of the run's own values: the array keeps these results
        // (and so the values) alive, and nothing writes them again.
        py::array_t<double> array(static_cast<py::ssize_t>(values.size()), values.data(), self);
        py::detail::array_proxy(array.ptr())->flags &= ~py::detail::npy_api::NPY_ARRAY_WRITEABLE_;
        record["values"] = array;
        list.append(record);
    }
    return list;
}

py::list PyResults::Statistics() const {
    py::list list;
    for (const ResultEntry& entry : StatisticsSet(*project_)) {
        const ResultVector& v = *entry.vector;
        py::dict record;
        Context(record, entry);
        record["n"] = v.Size();
        record["mean"] = v.Mean();
        record["sd"] = v.StandardDeviation();
        record["min"] = v.Minimum();
        record["max"] = v.Maximum();
        std::vector<double> sorted = v.Values();
        SortValues(sorted);
        py::dict percentiles, intervals;
        for (int k = 0; k < ResultVector::percentileCount; ++k) {
            const int level = v.PercentileLevel(k);
            percentiles[py::int_(level)] = v.PercentileValue(k);
            const auto interval = PercentileConfidenceInterval95(sorted, level);
            intervals[py::int_(level)] = py::make_tuple(interval.first, interval.second);
        }
        record["percentiles"] = percentiles;
        record["percentile_ci95"] = intervals;
        if (entry.concentration && entry.standard > 0.0) {
            record["standard"] = entry.standard;
            record["exceedance_probability"] = ExceedanceProbability(v.Values(), entry.standard);
        } else {
            record["standard"] = py::none();
            record["exceedance_probability"] = py::none();
        }
        list.append(record);
    }
    return list;
}

py::dict PyResults::ProbabilityMap(const std::string& contaminant, std::optional<double> timeYears,
                                   std::optional<double> spacingM,
                                   std::optional<std::pair<int, int>> nodes,
                                   std::optional<std::vector<double>> area,
                                   std::vector<int> percentiles, std::optional<int> threads,
                                   py::object progress) {
    Project& project = *project_;
    ProbabilityMapRequest request;
    for (std::size_t c = 0; c < project.contaminants.size(); ++c)
        if (project.contaminants[c].name == contaminant)
            request.contaminantIndex = static_cast<int>(c);
    if (request.contaminantIndex < 0)
        throw py::value_error("the project has no contaminant named \"" + contaminant + "\"");
    request.timeYears =
        timeYears.value_or(project.timeSlices.empty() ? 0.0 : project.timeSlices.back());
    if (spacingM.has_value() == nodes.has_value())
        throw py::value_error("give either spacing or nodes");
    PlumeRequest region;
    if (area) {
        if (area->size() != 4) throw py::value_error("area is (x0, y0, width, height)");
        region.leftX = (*area)[0];
        region.topY = (*area)[1];
        region.widthM = (*area)[2];
        region.heightM = (*area)[3];
        if (!(region.widthM > 0.0) || !(region.heightM > 0.0))
            throw py::value_error("the area's width and height must be above 0");
    } else if (!DefaultPlumeArea(project, spacingM.value_or(1.0), region)) {
        throw py::value_error("the project has no source or receptor to map around");
    }
    MapGrid& grid = request.grid;
    grid.leftX = region.leftX;
    grid.topY = region.topY;
    if (nodes) {
        if (nodes->first < 1 || nodes->second < 1)
            throw py::value_error("nodes are (columns, rows), each at least 1");
        grid.columns = static_cast<std::size_t>(nodes->first);
        grid.rows = static_cast<std::size_t>(nodes->second);
        grid.spacingXM = region.widthM / nodes->first;
        grid.spacingYM = region.heightM / nodes->second;
    } else {
        grid.spacingXM = grid.spacingYM = *spacingM;
        if (*spacingM > 0.0) {
            grid.columns =
                static_cast<std::size_t>(std::min(std::ceil(region.widthM / *spacingM), 1e9));
            grid.rows =
                static_cast<std::size_t>(std::min(std::ceil(region.heightM / *spacingM), 1e9));
        }
    }
    request.percentileLevels = std::move(percentiles);
    request.threads = threads.value_or(0);
    request.title = project.details.title;

    PythonRunObserver observer(progress);
    varnex::ProbabilityMap map;
    bool done = false;
    std::vector<std::string> problems;
    {
        py::gil_scoped_release released;
        std::lock_guard lock(EngineLock());
        RunIterations iterations(Iterations());
        problems = ProbabilityMapProblems(project, request);
        if (problems.empty())
            done =
                ComputeProbabilityMap(project, request, static_cast<PlumeObserver&>(observer), map);
    }
    if (!problems.empty()) {
        std::string text;
        for (const std::string& problem : problems) text += (text.empty() ? "" : "\n") + problem;
        throw py::value_error(text);
    }
    observer.RaiseIfInterrupted();
    if (!done) throw std::runtime_error(observer.FailureMessage());

    py::array_t<double> xs(static_cast<py::ssize_t>(grid.columns));
    py::array_t<double> ys(static_cast<py::ssize_t>(grid.rows));
    for (std::size_t c = 0; c < grid.columns; ++c) xs.mutable_at(c) = grid.X(c);
    for (std::size_t r = 0; r < grid.rows; ++r) ys.mutable_at(r) = grid.Y(r);
    py::dict result;
    result["contaminant"] = map.contaminantName;
    result["time"] = map.timeYears;
    result["iterations"] = map.iterations;
    result["x"] = xs;
    result["y"] = ys;
    result["standard"] = map.standardMgPerL > 0.0 ? py::object(py::float_(map.standardMgPerL))
                                                  : py::object(py::none());
    result["exceedance"] =
        map.exceedance.empty() ? py::object(py::none()) : py::object(Raster(map.exceedance, grid));
    result["mean"] = Raster(map.mean, grid);
    py::dict levels;
    for (std::size_t k = 0; k < map.percentileLevels.size(); ++k)
        levels[py::int_(map.percentileLevels[k])] = Raster(map.percentiles[k], grid);
    result["percentiles"] = levels;
    return result;
}

py::list PyResults::Sensitivity(int result, std::optional<double> timeYears,
                                const std::string& source, const std::string& receptor,
                                const std::string& pathway, const std::string& contaminant,
                                bool rank, bool firstTen, bool includeZero) const {
    if (result < 0 || result > 4)
        throw py::value_error("result is a code from 0 to 4 (4: concentration at a receptor)");
    SensitivityRequest request{result, timeYears, source, receptor, pathway, contaminant, rank};
    std::vector<SensitivityRow> rows;
    std::string problems;
    bool selected = false;
    {
        py::gil_scoped_release released;
        std::lock_guard lock(EngineLock());
        RunIterations iterations(Iterations());
        SensitivitySelection selection;
        selected = SelectSensitivity(*project_, request, "", selection, problems);
        if (selected) rows = FillList(ComputeEntries(*project_, selection), firstTen, !includeZero);
    }
    if (!selected) {
        while (!problems.empty() && problems.back() == '\n') problems.pop_back();
        throw py::value_error(problems);
    }
    py::list list;
    for (const SensitivityRow& row : rows) {
        py::dict record;
        record["input"] = row.label;
        record["coefficient"] =
            row.isSingleValue ? py::object(py::none()) : py::object(py::float_(row.coefficient));
        record["text"] = row.text;
        list.append(record);
    }
    return list;
}

void PyResults::Save(const std::string& path) const {
    std::string error;
    bool saved = false;
    {
        py::gil_scoped_release released;
        std::lock_guard lock(EngineLock());
        RunIterations iterations(Iterations());
        saved = SaveProject(*project_, path, true, error);
    }
    if (!saved) throw py::value_error(error);
}

} // namespace varnex::python
