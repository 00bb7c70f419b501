#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/StudyOutputs.h"

namespace varnex {
class Project;
}

namespace varnex::cli {

struct CsvTable;

// `varnex-cli study SCENARIOS.csv --project BASE --outputs LIST`: runs one
// variant of the base project per row of the scenario table and writes one
// tidy table of the chosen statistics, the same table the Python module's
// study makes. `--jobs N` runs N scenarios at once in worker processes;
// `--rows A-B` runs part of the table, for a job array or GNU parallel.
class StudyCommand {
public:
    explicit StudyCommand(CLI::App& parent);
    bool Chosen() const { return command_->parsed(); }
    // Exit code: 0 every scenario ran, 1 some scenario failed (its error is
    // in the table) or nothing could be written, 2 an unusable command
    // line, base project or scenario table, 128 + the signal's number when
    // stopped.
    int Run() const;

private:
    // The records of one scenario: its outputs, or one record with the
    // error that stopped it.
    std::vector<StudyRecord> RunScenario(const Project& base, int baseIterations,
                                         const CsvTable& table, std::size_t index,
                                         const std::vector<StudyOutput>& outputs,
                                         int threads) const;

    CLI::App* command_;
    std::string scenarios_;
    std::string project_;
    std::string outputs_;
    std::string csv_;
    std::string rows_;
    int jobs_ = 1;
    int threads_ = -1;
    std::uint32_t seed_ = 1;
    bool quiet_ = false;
};

} // namespace varnex::cli
