#include "cli/PlumeCommand.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <vector>

#include "base/NumberText.h"
#include "base/OutputTransaction.h"
#include "cli/InterruptGuard.h"
#include "cli/KernelOption.h"
#include "cli/ProgressLine.h"
#include "cli/ProjectInput.h"
#include "cli/TestPause.h"
#include "model/Project.h"
#include "run/DefaultPlumeArea.h"
#include "run/PlumeGrid.h"
#include "run/PlumeLegend.h"
#include "run/PlumeObserver.h"
#include "settings/Translate.h"

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

std::string ContaminantNames(const Project& project) {
    std::string names;
    for (const Contaminant& contaminant : project.contaminants) {
        if (!names.empty()) names += ", ";
        names += "\"" + contaminant.name + "\"";
    }
    return names.empty() ? std::string("none") : names;
}

} // namespace

PlumeCommand::PlumeCommand(CLI::App& parent)
    : command_(parent.add_subcommand(
          "plume", "Map the concentration of a contaminant in the aquifer at one time")) {
    command_
        ->add_option("PROJECT", path_, "Project: a project file (.vnx) or its JSON form (.json)")
        ->required();
    command_->add_option("--contaminant", contaminant_, "Name of the contaminant to map")
        ->required();
    command_->add_option("--time", timeYears_, "Time of the map, years")
        ->required()
        ->check(FiniteNumber());
    command_->add_option("--spacing", spacingM_, "Distance between grid nodes, metres")
        ->required()
        ->check(FiniteNumber());
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
    if (std::string error; !csv_.empty() && !OutputTransaction::Check(csv_, error)) {
        std::cerr << "varnex-cli: " << error << "\n";
        return 1;
    }
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

    if (!csv_.empty()) {
        std::string error;
        // From here a stop signal removes the temporary and ends the program.
        OutputTransaction outputs;
        if (InterruptGuard::Requested()) {
            std::cerr << "varnex-cli: stopped; nothing written\n";
            return InterruptGuard::ExitCode();
        }
        if (!outputs.Add(csv_, GridCsv(project), error, true)) {
            std::cerr << "varnex-cli: " << error << "\n";
            return 1;
        }
        TestPause::At("writing");
        if (!outputs.Commit(error)) {
            std::cerr << "varnex-cli: " << error << "\n";
            return 1;
        }
    }
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

} // namespace varnex::cli
