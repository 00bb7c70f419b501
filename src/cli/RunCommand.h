#pragma once

#include <cstdint>
#include <string>

#include <CLI/CLI.hpp>

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
    // Exit code: 0 success, 1 invalid project or failed run, 2 unreadable
    // project, 130 stopped by the user (Ctrl-C).
    int Run() const;

    // Checks that an option names a project file ("FILE.vnx").
    static CLI::Validator ProjectFileName();

private:
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
};

} // namespace varnex::cli
