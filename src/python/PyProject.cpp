#include "python/PyProject.h"

#include <algorithm>
#include <map>
#include <nlohmann/json.hpp>
#include <pybind11/numpy.h>
#include <pybind11/stl.h>
#include <stdexcept>
#include <system_error>

#include "base/AtomicFile.h"
#include "model/Project.h"
#include "persist/ProjectFile.h"
#include "persist/ProjectJson.h"
#include "python/EngineLock.h"
#include "python/PythonRunObserver.h"
#include "run/DefaultPlumeArea.h"
#include "run/PlumeGrid.h"
#include "run/RunDriver.h"
#include "settings/SolverKernel.h"
#include "stochastic/Distribution.h"
#include "stochastic/IterationCount.h"
#include "stochastic/RandomStream.h"

namespace py = pybind11;

namespace varnex::python {

namespace {

bool EndsWithVnx(const std::string& path) {
    if (path.size() < 4) return false;
    std::string end = path.substr(path.size() - 4);
    for (char& c : end) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return end == ".vnx";
}

std::string Joined(const std::vector<std::string>& problems) {
    std::string text;
    for (const std::string& problem : problems) text += "\n  " + problem;
    return text;
}

SolverKernel KernelNamed(const std::string& name) {
    const std::optional<SolverKernel> kernel = ParseSolverKernel(name);
    if (!kernel)
        throw py::value_error("unknown kernel \"" + name +
                              "\": choose \"fast\", \"reference\" or \"exact\"");
    return *kernel;
}

// The iteration count of a project just read: the engine keeps it for the
// whole program, so it is taken back at once and the program's put back.
class IterationsScope {
public:
    IterationsScope() : saved_(IterationCount()) {}
    ~IterationsScope() { SetIterationCount(saved_); }
    IterationsScope(const IterationsScope&) = delete;
    IterationsScope& operator=(const IterationsScope&) = delete;

private:
    int saved_;
};

} // namespace

PyProject::PyProject(std::shared_ptr<Project> project, int iterations)
    : project_(std::move(project)), iterations_(iterations) {}

PyProject PyProject::Load(const std::string& path) {
    auto project = std::make_shared<Project>();
    int iterations = 0;
    {
        py::gil_scoped_release released;
        std::lock_guard lock(EngineLock());
        IterationsScope scope;
        if (EndsWithVnx(path)) {
            std::string error;
            if (!LoadProject(path, *project, error)) {
                py::gil_scoped_acquire gil;
                throw py::value_error("cannot read " + path + ": " + error);
            }
        } else {
            std::vector<std::string> problems;
            if (!LoadProjectJsonFile(path, *project, problems)) {
                py::gil_scoped_acquire gil;
                throw py::value_error("cannot read " + path + ":" + Joined(problems));
            }
        }
        iterations = IterationCount();
        // A file's results are its numbers, but not a run in memory.
        project->runStateInMemory = false;
    }
    return PyProject(std::move(project), iterations);
}

PyProject PyProject::FromJson(const std::string& text) {
    auto project = std::make_shared<Project>();
    std::lock_guard lock(EngineLock());
    IterationsScope scope;
    std::vector<std::string> problems;
    if (!ReadProjectJson(text, *project, problems))
        throw py::value_error("not a project:" + Joined(problems));
    return PyProject(std::move(project), IterationCount());
}

PyProject PyProject::Copy() const {
    return PyProject(std::make_shared<Project>(*project_), iterations_);
}

std::string PyProject::ToJson() const {
    std::lock_guard lock(EngineLock());
    IterationsScope scope;
    SetIterationCount(iterations_);
    return WriteProjectJson(*project_);
}

void PyProject::Save(const std::string& path) const {
    std::string error;
    bool saved = false;
    {
        py::gil_scoped_release released;
        std::lock_guard lock(EngineLock());
        IterationsScope scope;
        SetIterationCount(iterations_);
        if (EndsWithVnx(path)) {
            saved = SaveProject(*project_, path, false, error);
        } else {
            std::error_code reason;
            saved = ReplaceFileAtomically(path, WriteProjectJson(*project_), reason);
            if (!saved) error = WithSystemReason("cannot write " + path, reason);
        }
    }
    if (!saved) throw py::value_error(error);
}

py::list PyProject::Validate() const {
    std::vector<ValidationProblem> problems;
    {
        std::lock_guard lock(EngineLock());
        IterationsScope scope;
        SetIterationCount(iterations_);
        std::string report;
        project_->Validate(report, problems);
    }
    static const char* const entities[] = {"project",     "contaminant", "source",
                                           "sourceEntry", "pathway",     "pathwayEntry",
                                           "receptor",    "aquifer",     "simulation"};
    py::list list;
    for (const ValidationProblem& problem : problems) {
        py::dict record;
        record["text"] = problem.text;
        record["entity"] = entities[static_cast<int>(problem.entity)];
        record["field"] = problem.field;
        record["source"] = problem.source;
        record["index"] = problem.index;
        record["pathway"] = problem.pathway;
        list.append(record);
    }
    return list;
}

void PyProject::Set(const std::string& pointer, py::object value) {
    nlohmann::json document = nlohmann::json::parse(ToJson());
    nlohmann::json::json_pointer at;
    try {
        at = nlohmann::json::json_pointer(pointer);
    } catch (const nlohmann::json::exception&) {
        throw py::value_error("\"" + pointer + "\" is not a JSON pointer (\"/sources/0/name\")");
    }
    if (!document.contains(at))
        throw py::value_error("\"" + pointer + "\" names nothing in the project's JSON form");
    nlohmann::json& target = document[at];
    const std::map<std::int32_t, std::string> inputs = InputJsonPointers(*project_);
    const bool input = std::any_of(inputs.begin(), inputs.end(),
                                   [&](const auto& entry) { return entry.second == pointer; });
    // The new value takes the type of the old one: an input's distribution
    // is a text, so a number given for it is its single value.
    if (target.is_string()) {
        if (py::isinstance<py::str>(value))
            target = value.cast<std::string>();
        else if (input && !py::isinstance<py::bool_>(value) &&
                 (py::isinstance<py::int_>(value) || py::isinstance<py::float_>(value)))
            target = py::str(value).cast<std::string>();
        else
            throw py::type_error("\"" + pointer + "\" takes a text" +
                                 (input ? std::string(" or a number") : std::string()));
    } else if (target.is_boolean()) {
        if (!py::isinstance<py::bool_>(value))
            throw py::type_error("\"" + pointer + "\" takes True or False");
        target = value.cast<bool>();
    } else if (target.is_number()) {
        if (py::isinstance<py::bool_>(value) ||
            !(py::isinstance<py::int_>(value) || py::isinstance<py::float_>(value)))
            throw py::type_error("\"" + pointer + "\" takes a number");
        if (target.is_number_integer()) {
            if (!py::isinstance<py::int_>(value))
                throw py::type_error("\"" + pointer + "\" takes a whole number");
            target = value.cast<long long>();
        } else {
            target = value.cast<double>();
        }
    } else {
        throw py::type_error("\"" + pointer +
                             "\" is a list or an object; set its members one by one");
    }
    std::lock_guard lock(EngineLock());
    IterationsScope scope;
    // An input's text must be a valid distribution, whatever the project
    // would make of it later.
    if (input) {
        Distribution distribution;
        if (!distribution.Parse(target.get<std::string>()) || !distribution.Validate())
            throw py::value_error("\"" + pointer + "\": " + distribution.ErrorText());
    }
    auto edited = std::make_shared<Project>();
    std::vector<std::string> problems;
    if (!ReadProjectJson(document.dump(), *edited, problems))
        throw py::value_error("\"" + pointer + "\" cannot take this value:" + Joined(problems));
    iterations_ = IterationCount();
    project_ = std::move(edited);
}

py::object PyProject::Get(const std::string& pointer) const {
    const nlohmann::json document = nlohmann::json::parse(ToJson());
    nlohmann::json::json_pointer at;
    try {
        at = nlohmann::json::json_pointer(pointer);
    } catch (const nlohmann::json::exception&) {
        throw py::value_error("\"" + pointer + "\" is not a JSON pointer (\"/sources/0/name\")");
    }
    if (!document.contains(at))
        throw py::value_error("\"" + pointer + "\" names nothing in the project's JSON form");
    return py::module_::import("json").attr("loads")(document[at].dump());
}

void PyProject::SetIterations(int iterations) {
    if (iterations < 1 || iterations > maximumIterationCount)
        throw py::value_error("iterations must be from 1 to " +
                              std::to_string(maximumIterationCount));
    iterations_ = iterations;
}

std::string PyProject::Title() const { return project_->details.title; }

PyResults PyProject::Run(std::optional<int> iterations, std::optional<int> threads,
                         const std::string& kernel, std::optional<std::string> sampling,
                         std::optional<std::uint32_t> seed, py::object progress) const {
    const SolverKernel solver = KernelNamed(kernel);
    if (iterations && (*iterations < 1 || *iterations > maximumIterationCount))
        throw py::value_error("iterations must be from 1 to " +
                              std::to_string(maximumIterationCount));
    if (threads && *threads < 0) throw py::value_error("threads must be 0 (every core) or more");
    if (sampling && *sampling != "mc" && *sampling != "lhs")
        throw py::value_error("sampling is \"mc\" (Monte Carlo) or \"lhs\" (Latin hypercube)");
    auto ran = std::make_shared<Project>(*project_);
    ran->solverKernel = solver;
    if (sampling)
        ran->samplingMethod =
            *sampling == "lhs" ? SamplingMethod::latinHypercube : SamplingMethod::monteCarlo;

    PythonRunObserver observer(progress);
    bool succeeded = false;
    std::string report;
    bool valid = true;
    {
        py::gil_scoped_release released;
        std::lock_guard lock(EngineLock());
        SetIterationCount(iterations.value_or(iterations_));
        if (seed) SetRandomSeed(*seed);
        valid = ran->Validate(report);
        if (valid) {
            RunOptions options;
            options.threads = threads.value_or(0);
            succeeded = RunSimulation(*ran, observer, options);
        }
    }
    if (!valid) throw py::value_error("Validation Errors:\n" + report);
    observer.RaiseIfInterrupted();
    if (!succeeded)
        throw std::runtime_error(observer.FailureMessage().empty() ? "the run failed"
                                                                   : observer.FailureMessage());
    return PyResults(std::move(ran), observer.Warnings());
}

py::dict PyProject::Plume(const std::string& contaminant, double timeYears, double spacingM,
                          std::optional<std::vector<double>> area, const std::string& kernel,
                          std::optional<int> threads) const {
    Project project(*project_);
    project.solverKernel = KernelNamed(kernel);
    PlumeRequest request;
    for (std::size_t c = 0; c < project.contaminants.size(); ++c)
        if (project.contaminants[c].name == contaminant)
            request.contaminantIndex = static_cast<int>(c);
    if (request.contaminantIndex < 0)
        throw py::value_error("the project has no contaminant named \"" + contaminant + "\"");
    request.timeYears = timeYears;
    request.spacingM = spacingM;
    request.threads = threads.value_or(0);
    if (area) {
        if (area->size() != 4) throw py::value_error("area is (x0, y0, width, height)");
        request.leftX = (*area)[0];
        request.topY = (*area)[1];
        request.widthM = (*area)[2];
        request.heightM = (*area)[3];
    } else if (!DefaultPlumeArea(project, spacingM, request)) {
        throw py::value_error("the project has no source or receptor to map around");
    }
    PythonRunObserver observer{py::none()};
    bool done = false;
    std::string report;
    bool valid = true;
    {
        py::gil_scoped_release released;
        std::lock_guard lock(EngineLock());
        IterationsScope scope;
        SetIterationCount(iterations_);
        valid = project.Validate(report);
        if (valid) done = ComputePlume(project, request, static_cast<PlumeObserver&>(observer));
    }
    if (!valid) throw py::value_error("Validation Errors:\n" + report);
    observer.RaiseIfInterrupted();
    if (!done) throw std::runtime_error(observer.FailureMessage());
    const auto& columns = project.plume.columns;
    const std::size_t cols = columns.size();
    const std::size_t rows = cols ? columns[0].size() : 0;
    py::array_t<double> values({rows, cols});
    auto view = values.mutable_unchecked<2>();
    py::array_t<double> xs(static_cast<py::ssize_t>(cols)), ys(static_cast<py::ssize_t>(rows));
    for (std::size_t c = 0; c < cols; ++c) {
        xs.mutable_at(c) = project.plume.leftX + static_cast<double>(c) * project.plume.spacingM;
        for (std::size_t r = 0; r < rows; ++r) view(r, c) = columns[c][r];
    }
    for (std::size_t r = 0; r < rows; ++r)
        ys.mutable_at(r) = project.plume.topY - static_cast<double>(r) * project.plume.spacingM;
    py::dict map;
    map["x"] = xs;
    map["y"] = ys;
    map["concentration"] = values;
    return map;
}

} // namespace varnex::python
