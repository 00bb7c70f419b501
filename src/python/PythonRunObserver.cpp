#include "python/PythonRunObserver.h"

#include <cmath>

namespace py = pybind11;

namespace varnex::python {

PythonRunObserver::PythonRunObserver(py::object progress) : progress_(std::move(progress)) {}

PythonRunObserver::~PythonRunObserver() {
    // Only ever destroyed with the GIL held (the run is over).
    delete pending_;
}

void PythonRunObserver::Keep(py::error_already_set& error) {
    if (!pending_) pending_ = new py::error_already_set(std::move(error));
    stop_ = true;
}

void PythonRunObserver::Report(std::size_t done, std::size_t total) {
    if (progress_.is_none() || stop_) return;
    py::gil_scoped_acquire gil;
    try {
        progress_(stage_, done, total);
    } catch (py::error_already_set& error) {
        Keep(error);
    }
}

void PythonRunObserver::StageText(const std::string& text) {
    stage_ = text;
    Report(0, 0);
}

void PythonRunObserver::IterationsDone(std::size_t done, std::size_t total) { Report(done, total); }

void PythonRunObserver::Fraction(double done) {
    // A map reports its share done; the callback sees thousandths.
    if (stage_.empty()) stage_ = "Mapping";
    Report(static_cast<std::size_t>(std::lround(done * 1000.0)), 1000);
}

void PythonRunObserver::Warning(const std::string& text) { warnings_.push_back(text); }

void PythonRunObserver::Failed(const std::string& message) { failure_ = message; }

bool PythonRunObserver::StopRequested() {
    if (stop_) return true;
    py::gil_scoped_acquire gil;
    // Runs the handlers of signals that arrived meanwhile: Ctrl+C sets
    // KeyboardInterrupt here.
    if (PyErr_CheckSignals() != 0) {
        py::error_already_set error;
        Keep(error);
    }
    return stop_;
}

void PythonRunObserver::RaiseIfInterrupted() {
    if (!pending_) return;
    py::error_already_set error = std::move(*pending_);
    delete pending_;
    pending_ = nullptr;
    throw error;
}

} // namespace varnex::python
