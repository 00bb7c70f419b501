#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace varnex::cli {

// `varnex-cli stats PROJECT.vnx`: the statistics of a project saved with
// its results, recomputed from the stored result vectors when it is read:
// the summary table `run` prints, or with `--json` the document `run
// --stats-json` writes; with `--convergence` the statistics over growing
// numbers of iterations (JSON, or CSV with `--csv`).
class StatsCommand {
public:
    explicit StatsCommand(CLI::App& parent);
    bool Chosen() const { return command_->parsed(); }
    // Exit code: 0 success, 1 the project holds no valid results, 2
    // unreadable project.
    int Run() const;

private:
    CLI::App* command_;
    std::string path_;
    bool json_ = false;
    bool convergence_ = false;
    bool csv_ = false;
    double halfWidth_ = 0.1;
};

} // namespace varnex::cli
