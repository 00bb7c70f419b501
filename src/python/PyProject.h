#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <pybind11/pybind11.h>
#include <string>

#include "python/PyResults.h"

namespace varnex {
class Project;
}

namespace varnex::python {

// A project as Python edits and runs it: read from a project file (.vnx)
// or the JSON form, edited by JSON pointer with the texts the forms take,
// validated, saved, and run. Each holds its own iteration count (the
// engine's is one for the whole program).
class PyProject {
public:
    static PyProject Load(const std::string& path);
    static PyProject FromJson(const std::string& text);
    PyProject Copy() const;

    // .vnx: the project file (without results: a run's results are saved
    // with Results.save); anything else: the JSON form. Written atomically.
    void Save(const std::string& path) const;
    std::string ToJson() const;
    // Every problem a run would refuse, each a dict: text, entity, field,
    // source, index, pathway.
    pybind11::list Validate() const;
    // Sets the value at a JSON pointer of the JSON form: a distribution
    // text or number for an input, a number, text or truth value for a
    // setting. Refused (ValueError naming the pointer and why) when the
    // pointer names nothing, the type differs, or the project would not
    // read back; the project is then unchanged.
    void Set(const std::string& pointer, pybind11::object value);
    pybind11::object Get(const std::string& pointer) const;

    PyResults Run(std::optional<int> iterations, std::optional<int> threads,
                  const std::string& kernel, std::optional<std::string> sampling,
                  std::optional<std::uint32_t> seed, pybind11::object progress) const;
    // The central-value plume map (every input at its central value).
    pybind11::dict Plume(const std::string& contaminant, double timeYears, double spacingM,
                         std::optional<std::vector<double>> area, const std::string& kernel,
                         std::optional<int> threads) const;

    int Iterations() const { return iterations_; }
    void SetIterations(int iterations);
    std::string Title() const;

private:
    PyProject(std::shared_ptr<Project> project, int iterations);

    std::shared_ptr<Project> project_;
    int iterations_;
};

} // namespace varnex::python
