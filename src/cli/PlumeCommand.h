#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <string>

namespace varnex {
class Project;
struct PlumeRequest;
} // namespace varnex

namespace varnex::cli {

// `varnex-cli plume PROJECT`: the plume map of one contaminant at one time
// (every input at its central value) on a square grid over an area of the
// site plan, written as CSV, one line per node; or its legend.
class PlumeCommand {
public:
    explicit PlumeCommand(CLI::App& parent);
    bool Chosen() const { return command_->parsed(); }
    // Exit code: 0 success, 1 invalid project, refused or failed
    // calculation or output not written, 2 unreadable project, 130 stopped
    // by the user (Ctrl-C).
    int Run() const;

    // The CSV of the grid in project.plume: a header line and one line per
    // node, column after column.
    static std::string GridCsv(const Project& project);

private:
    // --probability: runs the project's Monte Carlo simulation, then maps
    // it; returns the exit code.
    int RunProbability(Project& project) const;
    // Writes the outputs (CSV, GeoTIFF, contours) as one transaction;
    // returns the exit code.
    int WriteOutputs(const std::string& csv, const std::string& geotiff,
                     const std::string& contours) const;

    CLI::App* command_;
    std::string path_;
    std::string contaminant_;
    double timeYears_ = 0.0;
    double spacingM_ = 0.0;
    std::string area_;
    std::string csv_;
    int threads_ = 0;
    bool quiet_ = false;
    std::string kernel_ = "fast";
    bool legend_ = false;
    // The probability map and its run.
    bool probability_ = false;
    std::string percentiles_ = "50,95";
    std::string nodes_;
    std::string geotiff_;
    std::string contours_;
    int contourPercentile_ = 0;
    int epsg_ = -1;
    int iterations_ = -1;
    std::uint32_t seed_ = 0;
    std::string sampling_;
};

} // namespace varnex::cli
