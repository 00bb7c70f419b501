#pragma once

#include <pybind11/pybind11.h>
#include <string>
#include <vector>

#include "run/PlumeObserver.h"
#include "run/RunObserver.h"

namespace varnex::python {

// A run's or a map's progress for Python: the callback progress(stage,
// done, total) if one is given, the warnings collected, and Ctrl+C. The
// engine calls it from the thread that started the run, which released
// the GIL; every call into Python takes the GIL back for its duration.
// Python's signal handlers run there (PyErr_CheckSignals), so a Ctrl+C
// stops the run at the next iteration and is raised again once the run
// has ended cleanly.
class PythonRunObserver : public RunObserver, public PlumeObserver {
public:
    explicit PythonRunObserver(pybind11::object progress);
    ~PythonRunObserver() override;

    void StageText(const std::string& text) override;
    void IterationsDone(std::size_t done, std::size_t total) override;
    void Warning(const std::string& text) override;
    void Failed(const std::string& message) override;
    bool StopRequested() override;
    void Fraction(double done) override;

    // After the run, with the GIL held: raises the Ctrl+C (or the
    // callback's own exception) that stopped it, if any.
    void RaiseIfInterrupted();
    const std::vector<std::string>& Warnings() const { return warnings_; }
    const std::string& FailureMessage() const { return failure_; }

private:
    void Report(std::size_t done, std::size_t total);
    // Keeps the first Python exception (Ctrl+C or the callback's) to raise
    // after the run; asks the run to stop.
    void Keep(pybind11::error_already_set& error);

    pybind11::object progress_;
    std::string stage_;
    std::vector<std::string> warnings_;
    std::string failure_;
    bool stop_ = false;
    pybind11::error_already_set* pending_ = nullptr;
};

} // namespace varnex::python
