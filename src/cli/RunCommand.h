#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/StatisticsReport.h"

namespace varnex {
class Project;
}

namespace varnex::cli {

// `varnex-cli run PROJECT`: validates the project, runs its Monte Carlo
// simulation with progress on standard error, prints the warnings and a
// summary of the statistics and of the input correlations, and optionally
// writes every statistic (and, in the object layout, the correlations) as
// JSON; and saves the project with its results to a project file.
class RunCommand {
public:
    explicit RunCommand(CLI::App& parent);
    bool Chosen() const { return command_->parsed(); }
    // Exit code: 0 success, 1 invalid project, failed run or outputs not
    // written, 2 unreadable project, 128 + the signal's number when stopped
    // by SIGINT (130, Ctrl-C), SIGTERM or SIGHUP.
    int Run() const;

    // Checks that an option names a project file ("FILE.vnx").
    static CLI::Validator ProjectFileName();

private:
    // Writes the statistics file and the project file as one transaction;
    // returns the exit code.
    int WriteOutputs(Project& project, const std::vector<ResultEntry>& entries,
                     const InputNames& names) const;

    CLI::App* command_;
    std::string path_;
    int iterations_ = -1;
    std::uint32_t seed_ = 0;
    int threads_ = 0;
    std::string statsJson_;
    std::string statsLayout_ = "array";
    std::string output_;
    bool quiet_ = false;
    std::string kernel_ = "fast";
    // "mc" or "lhs"; empty: the project's own sampling method.
    std::string sampling_;
};

} // namespace varnex::cli
