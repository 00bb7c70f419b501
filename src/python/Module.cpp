// The Python module: the engine's projects, runs, results and maps.

#include <filesystem>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include "base/ProgramPaths.h"
#include "python/PyProject.h"
#include "python/PyResults.h"

namespace py = pybind11;
using varnex::python::PyProject;
using varnex::python::PyResults;

namespace {

// The data files (translations, standards) ship beside the programs. The
// package's __init__ says where it found them; until then, the build tree's.
void FindDataFiles() {
    std::error_code error;
    if (std::filesystem::exists(std::string(VARNEX_BUILD_PROGRAM_DIR) + "/Info", error))
        varnex::SetProgramDirectory(VARNEX_BUILD_PROGRAM_DIR);
}

} // namespace

PYBIND11_MODULE(_varnex, module) {
    module.doc() = "The Varnex engine: projects, Monte Carlo runs, results and maps";
    FindDataFiles();
    module.def(
        "_set_data_directory",
        [](const std::string& directory) { varnex::SetProgramDirectory(directory); },
        py::arg("directory"), "The folder whose Info folder holds the data files");

    py::class_<PyResults>(module, "Results",
                          "The results of one run, with its iterations in memory")
        .def(
            "vectors", [](py::object self) { return self.cast<PyResults&>().Vectors(self); },
            "Every result vector: label, context and its N values (a read-only numpy view)")
        .def("statistics", &PyResults::Statistics,
             "The statistics of every result vector, as records")
        .def("probability_map", &PyResults::ProbabilityMap, py::arg("contaminant"),
             py::arg("time") = py::none(), py::arg("spacing") = py::none(),
             py::arg("nodes") = py::none(), py::arg("area") = py::none(),
             py::arg("percentiles") = std::vector<int>{50, 95}, py::arg("threads") = py::none(),
             py::arg("progress") = py::none(),
             "The probability map of a contaminant at a time slice over a grid of the site "
             "plan, from this run's iterations")
        .def("sensitivity", &PyResults::Sensitivity, py::arg("result"),
             py::arg("time") = py::none(), py::arg("source") = "", py::arg("receptor") = "",
             py::arg("pathway") = "", py::arg("contaminant") = "", py::arg("rank") = false,
             py::arg("first_ten") = false, py::arg("include_zero") = false,
             "The inputs that drive a result kind, strongest first, as the command line's "
             "sensitivity lists them")
        .def("save", &PyResults::Save, py::arg("path"),
             "Saves the project with these results as a project file (.vnx)")
        .def_property_readonly("iterations", &PyResults::Iterations)
        .def_property_readonly("kernel", &PyResults::Kernel)
        .def_property_readonly("sampling", &PyResults::Sampling)
        .def_property_readonly("warnings", &PyResults::Warnings);

    py::class_<PyProject>(module, "Project", "A Varnex project")
        .def_static("load", &PyProject::Load, py::arg("path"),
                    "Reads a project file (.vnx) or the JSON form of a project")
        .def_static("from_json", &PyProject::FromJson, py::arg("text"),
                    "A project from the text of its JSON form")
        .def("copy", &PyProject::Copy)
        .def("save", &PyProject::Save, py::arg("path"),
             "Writes the project: a project file for .vnx, else the JSON form")
        .def("to_json", &PyProject::ToJson, "The JSON form of the project")
        .def("validate", &PyProject::Validate,
             "Every problem a run would refuse (an empty list when none)")
        .def("set", &PyProject::Set, py::arg("pointer"), py::arg("value"),
             "Sets the value at a JSON pointer of the JSON form (a distribution text for an "
             "input)")
        .def("get", &PyProject::Get, py::arg("pointer"), "The value at a JSON pointer")
        .def("run", &PyProject::Run, py::arg("iterations") = py::none(),
             py::arg("threads") = py::none(), py::arg("kernel") = "fast",
             py::arg("sampling") = py::none(), py::arg("seed") = py::none(),
             py::arg("progress") = py::none(),
             "Runs the Monte Carlo simulation; returns its Results. Ctrl+C stops it "
             "(KeyboardInterrupt)")
        .def("plume", &PyProject::Plume, py::arg("contaminant"), py::arg("time"),
             py::arg("spacing"), py::arg("area") = py::none(), py::arg("kernel") = "fast",
             py::arg("threads") = py::none(),
             "The central-value plume map (every input at its central value)")
        .def_property("iterations", &PyProject::Iterations, &PyProject::SetIterations)
        .def_property_readonly("title", &PyProject::Title);
}
