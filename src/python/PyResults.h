#pragma once

#include <memory>
#include <optional>
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <string>
#include <vector>

namespace varnex {
class Project;
}

namespace varnex::python {

// The results of one run: the project as the run left it, with every
// per-iteration value still in memory (so maps can repeat its
// iterations). Result arrays are numpy views of the run's own values,
// read-only; each keeps these results alive, and a later run of the
// project makes new results rather than changing these.
class PyResults {
public:
    PyResults(std::shared_ptr<Project> project, std::vector<std::string> warnings);

    // One record per result vector: label, kind, source, contaminant,
    // pathway, receptor, time (None when the result has none), values (the
    // N values as a numpy array, no copy).
    pybind11::list Vectors(pybind11::object self) const;
    // The statistics of every result vector, as the command line's
    // statistics file has them: mean, sd, min, max, percentiles and their
    // 95 % intervals, and for a concentration with a standard the
    // probability of exceeding it.
    pybind11::list Statistics() const;
    // The sensitivity ranking of a result kind (0 unsaturated zone travel
    // time, 1 receptor travel time, 2 source concentration, 3 concentration
    // at the base of the unsaturated zone, 4 receptor concentration), as the
    // command line's `sensitivity` lists it, strongest first: input,
    // coefficient (None for a single-valued input), text.
    pybind11::list Sensitivity(int result, std::optional<double> timeYears,
                               const std::string& source, const std::string& receptor,
                               const std::string& pathway, const std::string& contaminant,
                               bool rank, bool firstTen, bool includeZero) const;
    // The probability map of a contaminant at a time slice over a grid:
    // x and y of the nodes (1-D), and per quantity a 2-D array [row, column]
    // with row 0 at the top.
    pybind11::dict ProbabilityMap(const std::string& contaminant, std::optional<double> timeYears,
                                  std::optional<double> spacingM,
                                  std::optional<std::pair<int, int>> nodes,
                                  std::optional<std::vector<double>> area,
                                  std::vector<int> percentiles, std::optional<int> threads,
                                  pybind11::object progress);
    // Saves the project with these results as a project file (.vnx).
    void Save(const std::string& path) const;

    int Iterations() const;
    std::string Kernel() const;
    std::string Sampling() const;
    const std::vector<std::string>& Warnings() const { return warnings_; }
    const std::shared_ptr<Project>& GetProject() const { return project_; }

private:
    std::shared_ptr<Project> project_;
    std::vector<std::string> warnings_;
};

} // namespace varnex::python
