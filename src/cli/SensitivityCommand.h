#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace varnex {
class Project;
struct SensitivitySelection;
} // namespace varnex

namespace varnex::cli {

// `varnex-cli sensitivity PROJECT.vnx --result CODE ...`: the sensitivity
// ranking of a project saved with its results, listed as the desktop
// program's dialog lists it ("Input", "Sensitivity", strongest first).
class SensitivityCommand {
public:
    explicit SensitivityCommand(CLI::App& parent);
    bool Chosen() const { return command_->parsed(); }
    // Exit code: 0 success; 1 the project holds no valid results or a
    // choice names something the project (or the result kind) does not
    // offer; 2 unreadable project.
    int Run() const;

    // Turns the command's choices into a selection, as the dialog's
    // controls would hold them. False, with every problem in `problems`
    // (one per line), when a choice is not among those the dialog offers.
    bool Select(const Project& project, SensitivitySelection& selection,
                std::string& problems) const;

private:
    CLI::App* command_;
    std::string path_;
    int result_ = 0;
    double timeYears_ = 0.0;
    std::string source_, receptor_, pathway_, contaminant_;
    bool rank_ = false;
    bool firstTen_ = false;
    bool includeZero_ = false;
    bool json_ = false;
};

} // namespace varnex::cli
