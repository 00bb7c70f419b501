#include "cli/PlumeCommand.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <initializer_list>
#include <iostream>
#include <optional>
#include <vector>

#include "base/NumberText.h"
#include "base/OutputTransaction.h"
#include "cli/ConsoleRunObserver.h"
#include "cli/InterruptGuard.h"
#include "cli/KernelOption.h"
#include "cli/ProbabilityMapCsv.h"
#include "cli/ProgressLine.h"
#include "cli/ProjectInput.h"
#include "cli/TestPause.h"
#include "gis/CoordinateSystem.h"
#include "gis/GisOutputs.h"
#include "model/Project.h"
#include "run/DefaultPlumeArea.h"
#include "run/PlumeGrid.h"
#include "run/PlumeLegend.h"
#include "run/PlumeObserver.h"
#include "run/ProbabilityMap.h"
#include "run/RunDriver.h"
#include "settings/Translate.h"
#include "stochastic/IterationCount.h"
#include "stochastic/RandomStream.h"

namespace varnex::cli {

namespace {

// Progress on standard error: the engine's text rewritten in place on a
// terminal; otherwise the first and the last text, so logs stay short.
class ConsolePlumeObserver : public PlumeObserver {
public:
    explicit ConsolePlumeObserver(bool quiet) : line_(quiet) {}
    ~ConsolePlumeObserver() override { Finish(); }

    void ProgressText(const std::string& text) override {
        if (line_.Quiet()) return;
        last_ = text;
        if (line_.InPlace()) {
            line_.Show(text);
        } else if (shown_.empty()) {
            shown_ = text;
            std::cerr << text << "\n";
        }
    }
    void Failed(const std::string& message) override {
        failed_ = true;
        line_.EndLine();
        std::cerr << message << "\n";
    }
    bool StopRequested() override { return InterruptGuard::Requested(); }

    void Finish() {
        if (!line_.InPlace() && !failed_ && !last_.empty() && last_ != shown_)
            std::cerr << last_ << "\n";
        shown_ = last_;
        line_.EndLine();
    }

private:
    ProgressLine line_;
    bool failed_ = false;
    std::string shown_, last_;
};

std::vector<std::string> SplitAtCommas(const std::string& text) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == ',')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

// "X0,Y0,WIDTH,HEIGHT": four finite numbers, a blank allowed around each,
// width and height above 0. False for anything else.
bool ParseArea(const std::string& text, double values[4]) {
    const std::vector<std::string> parts = SplitAtCommas(text);
    if (parts.size() != 4) return false;
    for (std::size_t k = 0; k < 4; ++k) {
        const std::size_t first = parts[k].find_first_not_of(' ');
        const std::size_t last = parts[k].find_last_not_of(' ');
        if (first == std::string::npos) return false;
        if (!ParseWholeNumber(std::string_view(parts[k]).substr(first, last - first + 1),
                              values[k]))
            return false;
        if (!std::isfinite(values[k])) return false;
    }
    return values[2] > 0.0 && values[3] > 0.0;
}

CLI::Validator FiniteNumber() {
    return CLI::Validator(
        [](std::string& text) {
            double value = 0.0;
            if (ParseWholeNumber(text, value) && std::isfinite(value)) return std::string();
            return "not a finite number: " + text;
        },
        "NUMBER");
}

// "NX,NY": two whole numbers above 0.
bool ParseNodes(const std::string& text, long long counts[2]) {
    const std::vector<std::string> parts = SplitAtCommas(text);
    if (parts.size() != 2) return false;
    for (std::size_t k = 0; k < 2; ++k) {
        double value = 0.0;
        if (!ParseWholeNumber(parts[k], value) || !(value >= 1.0) || value > 1e9 ||
            value != std::floor(value))
            return false;
        counts[k] = static_cast<long long>(value);
    }
    return true;
}

std::string ContaminantNames(const Project& project) {
    std::string names;
    for (const Contaminant& contaminant : project.contaminants) {
        if (!names.empty()) names += ", ";
        names += "\"" + contaminant.name + "\"";
    }
    return names.empty() ? std::string("none") : names;
}

// Whether every named output could be written; says why not on standard
// error.
bool OutputsWritable(std::initializer_list<std::string> targets) {
    for (const std::string& target : targets) {
        std::string error;
        if (!target.empty() && !OutputTransaction::Check(target, error)) {
            std::cerr << "varnex-cli: " << error << "\n";
            return false;
        }
    }
    return true;
}

// The coordinate system the GIS files carry: --epsg, or the project's.
int ChosenEpsg(const Project& project, int option) {
    return option >= 0 ? option : project.coordinateSystemEpsg;
}

bool CoordinateSystemUsable(const Project& project, int option) {
    const std::string problem = CoordinateSystemProblem(ChosenEpsg(project, option));
    if (problem.empty()) return true;
    std::cerr << "varnex-cli: " << problem << "\n";
    return false;
}

// Progress of the run on standard error as `run` shows it, then the map's.
bool RunForTheMap(Project& project, int threads, bool quiet) {
    ConsoleRunObserver observer(quiet);
    RunOptions options;
    options.threads = threads;
    return RunSimulation(project, observer, options);
}

} // namespace

PlumeCommand::PlumeCommand(CLI::App& parent)
    : command_(parent.add_subcommand(
          "plume", "Map the concentration of a contaminant in the aquifer at one time")) {
    command_
        ->add_option("PROJECT", path_, "Project: a project file (.vnx) or its JSON form (.json)")
        ->required();
    command_->add_option("--contaminant", contaminant_,
                         "Name of the contaminant to map (required for the central-value map; "
                         "default with --probability: the first contaminant in the run)");
    command_
        ->add_option("--time", timeYears_,
                     "Time of the map, years (required for the central-value map; with "
                     "--probability one of the project's time slices, default the last)")
        ->check(FiniteNumber());
    command_->add_option("--spacing", spacingM_, "Distance between grid nodes, metres")
        ->check(FiniteNumber());
    command_
        ->add_option("--nodes", nodes_,
                     "With --probability instead of --spacing: NX,NY nodes spanning the area")
        ->check(CLI::Validator(
            [](std::string& text) {
                long long counts[2];
                return ParseNodes(text, counts)
                           ? std::string()
                           : "expected NX,NY, two whole numbers above 0: " + text;
            },
            "NX,NY"));
    command_
        ->add_option(
            "--area", area_,
            "Area mapped, site plan metres: left edge, top edge, width, height (default: the sources "
            "and receptors with a margin)")
        ->check(CLI::Validator(
            [](std::string& text) {
                double values[4];
                return ParseArea(text, values)
                           ? std::string()
                           : "expected X0,Y0,WIDTH,HEIGHT with WIDTH and HEIGHT above 0: " + text;
            },
            "X0,Y0,WIDTH,HEIGHT"));
    command_->add_option("--csv", csv_, "Write the grid to this file (default: standard output)");
    command_->add_option("--threads", threads_, "Worker threads (default: every core)")
        ->check(CLI::Range(0, 1024));
    command_->add_flag(
        "--legend", legend_,
        "Print the legend (title and band texts) on standard output instead of the grid");
    command_->add_flag("--quiet", quiet_, "No progress display");
    AddKernelOption(*command_, kernel_);

    command_->add_flag("--probability", probability_,
                       "Run the project's Monte Carlo simulation and map, at every node, the "
                       "probability of exceeding the standard, the mean and percentiles");
    command_
        ->add_option("--percentiles", percentiles_,
                     "With --probability: percentile levels mapped (default 50,95)")
        ->check(CLI::Validator(
            [](std::string& text) {
                return ParsePercentileLevels(text)
                           ? std::string()
                           : "expected whole numbers from 1 to 99, each once: " + text;
            },
            "P1,P2,..."));
    command_->add_option("--geotiff", geotiff_,
                         "With --probability (or for the central-value map): write a GeoTIFF, one "
                         "band per quantity");
    command_->add_option("--contours", contours_,
                         "With --probability: write contour lines (.geojson, .json or .gpkg) at "
                         "P = 0.05, 0.5, 0.95 and at the standard on a percentile map");
    command_
        ->add_option("--contour-percentile", contourPercentile_,
                     "The percentile map whose contour at the standard is drawn (default: the "
                     "project's choice when mapped, else the highest level mapped)")
        ->check(CLI::Range(1, 99));
    command_
        ->add_option("--epsg", epsg_,
                     "Coordinate reference system of the site plan for the GIS files, an EPSG "
                     "code (default: the project's; 0 for none)")
        ->check(CLI::Range(0, 999999));
    command_->add_option("--iterations", iterations_,
                         "With --probability: iterations of the run (default: the project's)");
    command_->add_option("--seed", seed_,
                         "With --probability: seed of the random stream (default: that of a "
                         "fresh program)");
    command_
        ->add_option("--sampling", sampling_,
                     "With --probability: mc (Monte Carlo) or lhs (Latin hypercube); default "
                     "the project's")
        ->check(CLI::IsMember({"mc", "lhs"}));
}

std::string PlumeCommand::GridCsv(const Project& project) {
    const PlumeSettings& plume = project.plume;
    std::string out = "x,y,concentration_mg_per_l,band\n";
    for (std::size_t c = 0; c < plume.columns.size(); ++c) {
        const std::string x = FormatG(plume.leftX + static_cast<double>(c) * plume.spacingM, 17);
        const std::vector<double>& column = plume.columns[c];
        for (std::size_t r = 0; r < column.size(); ++r) {
            out += x;
            out += ',';
            out += FormatG(plume.topY - static_cast<double>(r) * plume.spacingM, 17);
            out += ',';
            out += FormatG(column[r], 17);
            out += ',';
            out += std::to_string(PlumeBand(column[r]));
            out += '\n';
        }
    }
    return out;
}

int PlumeCommand::Run() const {
    Project project;
    if (!ReadProjectArgument(path_, project)) return 2;
    std::string report;
    if (!project.Validate(report)) {
        std::cout << Translate("Validation Errors:") << "\n" << report << "\n";
        return 1;
    }

    project.solverKernel = KernelFromOption(kernel_);
    if (probability_) return RunProbability(project);
    for (const char* option : {"--contaminant", "--time", "--spacing"}) {
        if (command_->count(option) == 0) {
            std::cerr << "varnex-cli plume: " << option
                      << " is required for the central-value map\n";
            return 2;
        }
    }
    for (const char* option : {"--contours", "--nodes", "--percentiles", "--contour-percentile",
                               "--iterations", "--seed", "--sampling"}) {
        if (command_->count(option) > 0) {
            std::cerr << "varnex-cli plume: " << option << " needs --probability\n";
            return 2;
        }
    }
    PlumeRequest request;
    for (std::size_t k = 0; k < project.contaminants.size(); ++k) {
        if (project.contaminants[k].name == contaminant_) {
            request.contaminantIndex = static_cast<int>(k);
            break;
        }
    }
    request.timeYears = timeYears_;
    request.spacingM = spacingM_;
    request.threads = threads_;
    request.title = !project.details.title.empty()
                        ? project.details.title
                        : std::filesystem::path(path_).filename().string();
    double area[4];
    if (!area_.empty() && ParseArea(area_, area)) {
        request.leftX = area[0];
        request.topY = area[1];
        request.widthM = area[2];
        request.heightM = area[3];
    } else {
        DefaultPlumeArea(project, spacingM_, request);
    }

    // A file that will be refused is refused now, not after the grid.
    if (!OutputsWritable({csv_, geotiff_}) ||
        (!geotiff_.empty() && !CoordinateSystemUsable(project, epsg_)))
        return 1;
    InterruptGuard guard;
    const bool computed = [&] {
        ConsolePlumeObserver observer(quiet_);
        const bool done = ComputePlume(project, request, observer);
        observer.Finish();
        return done;
    }();
    if (InterruptGuard::Requested()) {
        std::cerr << "varnex-cli: stopped; nothing written\n";
        return InterruptGuard::ExitCode();
    }
    if (!computed) {
        if (request.contaminantIndex < 0)
            std::cerr << "varnex-cli: the project has no contaminant named \"" << contaminant_
                      << "\"; its contaminants: " << ContaminantNames(project) << "\n";
        return 1;
    }

    std::string geotiff;
    if (!geotiff_.empty()) {
        std::string error;
        MapRaster raster = RasterOfPlume(project);
        if (epsg_ >= 0) raster.epsg = epsg_;
        const std::optional<std::string> bytes = GeoTiffBytes(raster, error);
        if (!bytes) {
            std::cerr << "varnex-cli: the GeoTIFF cannot be made: " << error << "\n";
            return 1;
        }
        geotiff = *bytes;
    }
    if (const int written =
            WriteOutputs(csv_.empty() ? std::string() : GridCsv(project), geotiff, std::string());
        written != 0)
        return written;
    // After the file, so that a command stopped while writing it prints
    // nothing.
    if (legend_) {
        std::cout << PlumeLegendTitle(contaminant_) << "\n";
        for (int band = 0; band < plumeBandCount; ++band)
            std::cout << band << "\t" << PlumeBandText(band) << "\n";
    } else if (csv_.empty()) {
        std::cout << GridCsv(project);
    }
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "varnex-cli: cannot write the plume to standard output\n";
        return 1;
    }
    return 0;
}

int PlumeCommand::WriteOutputs(const std::string& csv, const std::string& geotiff,
                               const std::string& contours) const {
    if (csv_.empty() && geotiff_.empty() && contours_.empty()) return 0;
    std::string error;
    // From here a stop signal removes the temporaries and ends the program.
    OutputTransaction outputs;
    if (InterruptGuard::Requested()) {
        std::cerr << "varnex-cli: stopped; nothing written\n";
        return InterruptGuard::ExitCode();
    }
    for (const auto& [target, contents] : {std::pair{&csv_, &csv}, std::pair{&geotiff_, &geotiff},
                                           std::pair{&contours_, &contours}}) {
        if (target->empty()) continue;
        if (!outputs.Add(*target, *contents, error, true)) {
            std::cerr << "varnex-cli: " << error << "\n";
            return 1;
        }
    }
    TestPause::At("writing");
    if (!outputs.Commit(error)) {
        std::cerr << "varnex-cli: " << error << "\n";
        return 1;
    }
    return 0;
}

int PlumeCommand::RunProbability(Project& project) const {
    if (command_->count("--legend") > 0) {
        std::cerr << "varnex-cli plume: --legend is for the central-value map\n";
        return 2;
    }
    if (command_->count("--spacing") > 0 && command_->count("--nodes") > 0) {
        std::cerr << "varnex-cli plume: give either --spacing or --nodes, not both\n";
        return 2;
    }
    if (command_->count("--spacing") == 0 && command_->count("--nodes") == 0) {
        std::cerr << "varnex-cli plume: --probability needs --spacing or --nodes\n";
        return 2;
    }
    if (iterations_ >= 0) SetIterationCount(iterations_);
    if (command_->count("--seed") > 0) SetRandomSeed(seed_);
    if (!sampling_.empty())
        project.samplingMethod =
            sampling_ == "lhs" ? SamplingMethod::latinHypercube : SamplingMethod::monteCarlo;

    ProbabilityMapRequest request;
    request.threads = threads_;
    request.percentileLevels = *ParsePercentileLevels(percentiles_);
    request.title = !project.details.title.empty()
                        ? project.details.title
                        : std::filesystem::path(path_).filename().string();
    if (!contaminant_.empty()) {
        for (std::size_t k = 0; k < project.contaminants.size(); ++k)
            if (project.contaminants[k].name == contaminant_)
                request.contaminantIndex = static_cast<int>(k);
        if (request.contaminantIndex < 0) {
            std::cerr << "varnex-cli: the project has no contaminant named \"" << contaminant_
                      << "\"; its contaminants: " << ContaminantNames(project) << "\n";
            return 1;
        }
    } else {
        for (std::size_t k = 0; k < project.contaminants.size(); ++k)
            if (project.ContaminantTakesPart(k)) {
                request.contaminantIndex = static_cast<int>(k);
                break;
            }
    }
    request.timeYears = command_->count("--time") > 0 ? timeYears_
                        : project.timeSlices.empty()  ? 0.0
                                                      : project.timeSlices.back();

    // The area: as given, or around the sources and receptors.
    PlumeRequest area;
    double given[4];
    const double nominalSpacing = command_->count("--spacing") > 0 ? spacingM_ : 1.0;
    if (!area_.empty() && ParseArea(area_, given)) {
        area.leftX = given[0];
        area.topY = given[1];
        area.widthM = given[2];
        area.heightM = given[3];
    } else {
        DefaultPlumeArea(project, nominalSpacing, area);
    }
    MapGrid& grid = request.grid;
    grid.leftX = area.leftX;
    grid.topY = area.topY;
    if (command_->count("--nodes") > 0) {
        long long counts[2] = {0, 0};
        ParseNodes(nodes_, counts);
        grid.columns = static_cast<std::size_t>(counts[0]);
        grid.rows = static_cast<std::size_t>(counts[1]);
        grid.spacingXM = area.widthM / static_cast<double>(counts[0]);
        grid.spacingYM = area.heightM / static_cast<double>(counts[1]);
    } else {
        grid.spacingXM = grid.spacingYM = spacingM_;
        // As the central-value map counts them; a count beyond any grid
        // is left for the engine to refuse by size.
        const double columns = spacingM_ > 0.0 ? std::ceil(area.widthM / spacingM_) : 0.0;
        const double rows = spacingM_ > 0.0 ? std::ceil(area.heightM / spacingM_) : 0.0;
        grid.columns = static_cast<std::size_t>(std::min(columns, 1e9));
        grid.rows = static_cast<std::size_t>(std::min(rows, 1e9));
    }

    // Everything that can be refused is refused before the run.
    std::vector<std::string> problems = ProbabilityMapRequestProblems(project, request);
    const int epsg = ChosenEpsg(project, epsg_);
    // Only the GIS files carry the coordinate system.
    if (const std::string problem = CoordinateSystemProblem(epsg);
        !problem.empty() && !(geotiff_.empty() && contours_.empty()))
        problems.push_back(problem);
    const bool standard =
        request.contaminantIndex >= 0 &&
        project.contaminants[static_cast<std::size_t>(request.contaminantIndex)].standard > 0.0;
    if (!contours_.empty() && ContourFormatOfPath(contours_).empty())
        problems.push_back("--contours: the file name must end in .geojson, .json or .gpkg: " +
                           contours_);
    if (!contours_.empty() && request.contaminantIndex >= 0 && !standard)
        problems.push_back(
            project.contaminants[static_cast<std::size_t>(request.contaminantIndex)].name +
            " has no water quality standard, so there are no contours to draw (they follow the "
            "probability of exceeding the standard, and the standard itself)");
    int contourLevel = contourPercentile_ > 0 ? contourPercentile_ : 0;
    const std::vector<int>& levels = request.percentileLevels;
    if (contourLevel == 0)
        contourLevel = std::find(levels.begin(), levels.end(), project.plumeMap.shownPercentile) !=
                               levels.end()
                           ? project.plumeMap.shownPercentile
                           : levels.back();
    if (std::find(levels.begin(), levels.end(), contourLevel) == levels.end())
        problems.push_back("--contour-percentile " + std::to_string(contourLevel) +
                           " is not one of the mapped percentiles (" + percentiles_ + ")");
    if (!problems.empty()) {
        for (const std::string& problem : problems) std::cerr << problem << "\n";
        return 1;
    }
    if (!OutputsWritable({csv_, geotiff_, contours_})) return 1;
    if (!contours_.empty() && epsg == 0 && ContourFormatOfPath(contours_) == "geojson")
        std::cerr << "varnex-cli: note: the contours have no coordinate system, and GIS programs "
                     "read GeoJSON without one as longitude and latitude; give the project's "
                     "(--epsg) or write a GeoPackage (.gpkg) for a local plan\n";
    if (!standard)
        std::cerr << "varnex-cli: "
                  << project.contaminants[static_cast<std::size_t>(request.contaminantIndex)].name
                  << " has no water quality standard: the probability of exceeding it is not "
                     "mapped, the mean and percentiles are\n";

    InterruptGuard guard;
    const bool ran = RunForTheMap(project, threads_, quiet_);
    if (InterruptGuard::Requested()) {
        std::cerr << "varnex-cli: stopped; nothing written\n";
        return InterruptGuard::ExitCode();
    }
    if (!ran) return 1;
    ProbabilityMap map;
    const bool computed = [&] {
        ConsolePlumeObserver observer(quiet_);
        const bool done = ComputeProbabilityMap(project, request, observer, map);
        observer.Finish();
        return done;
    }();
    if (InterruptGuard::Requested()) {
        std::cerr << "varnex-cli: stopped; nothing written\n";
        return InterruptGuard::ExitCode();
    }
    if (!computed) return 1;

    std::string geotiff, contours, error;
    const MapRaster raster = RasterOfProbabilityMap(map, epsg);
    if (!geotiff_.empty()) {
        const std::optional<std::string> bytes = GeoTiffBytes(raster, error);
        if (!bytes) {
            std::cerr << "varnex-cli: the GeoTIFF cannot be made: " << error << "\n";
            return 1;
        }
        geotiff = *bytes;
    }
    if (!contours_.empty()) {
        const std::optional<std::string> bytes = ContourBytes(
            raster, StandardContours(map, contourLevel), ContourFormatOfPath(contours_), error);
        if (!bytes) {
            std::cerr << "varnex-cli: the contours cannot be made: " << error << "\n";
            return 1;
        }
        contours = *bytes;
    }
    const std::string csv = ProbabilityMapCsv(map);
    if (const int written = WriteOutputs(csv, geotiff, contours); written != 0) return written;
    if (csv_.empty()) std::cout << csv;
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "varnex-cli: cannot write the map to standard output\n";
        return 1;
    }
    return 0;
}

} // namespace varnex::cli
