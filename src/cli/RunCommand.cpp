#include "cli/RunCommand.h"

#include <iostream>
#include <vector>

#include "cli/InterruptGuard.h"
#include "cli/KernelOption.h"
#include "cli/ProgressLine.h"
#include "cli/ProjectInput.h"
#include "cli/StatisticsReport.h"
#include "model/Project.h"
#include "persist/ProjectFile.h"
#include "persist/ProjectJson.h"
#include "results/ResultStore.h"
#include "run/RunDriver.h"
#include "run/RunObserver.h"
#include "settings/AtomicFile.h"
#include "settings/Translate.h"
#include "stochastic/IterationCount.h"
#include "stochastic/RandomStream.h"

namespace varnex::cli {

namespace {

// Progress on standard error: one line rewritten in place on a terminal,
// one line per stage otherwise (so logs stay readable).
class ConsoleObserver : public RunObserver {
public:
    explicit ConsoleObserver(bool quiet) : line_(quiet) {}

    void StageText(const std::string& text) override {
        stage_ = text;
        if (line_.Quiet()) return;
        if (!line_.InPlace()) std::cerr << text << "\n";
        Show();
    }
    void IterationText(const std::string& text) override {
        iteration_ = text;
        Show();
    }
    void TimeRemainingText(const std::string& text) override {
        remaining_ = text;
        Show();
    }
    void Warning(const std::string& text) override {
        line_.EndLine();
        std::cerr << Translate("Warning") << ": " << text << "\n";
    }
    void Failed(const std::string& message) override {
        line_.EndLine();
        std::cerr << message << "\n";
    }
    bool StopRequested() override { return InterruptGuard::Requested(); }

private:
    void Show() { line_.Show(stage_ + "  " + iteration_ + "  " + remaining_); }

    ProgressLine line_;
    std::string stage_, iteration_, remaining_;
};

} // namespace

RunCommand::RunCommand(CLI::App& parent)
    : command_(parent.add_subcommand("run", "Run the Monte Carlo simulation of a project")) {
    command_->add_option("PROJECT", path_, "Project: a project file (.vnx) or its JSON form (.json)")->required();
    command_->add_option("--iterations", iterations_, "Number of iterations (default: the project's)")
        ->check(CLI::Range(0, 10000));
    command_->add_option("--seed", seed_, "Seed of the random stream (default: that of a fresh program)");
    command_->add_option("--threads", threads_, "Worker threads (default: every core)")
        ->check(CLI::Range(0, 1024));
    command_->add_option("--stats-json", statsJson_, "Write the statistics of every result to this file");
    command_->add_option("--stats-layout", statsLayout_,
                         "Layout of the statistics file: 'array' (the statistics only) or 'object' "
                         "(statistics and correlations)")
        ->check(CLI::IsMember({"array", "object"}));
    command_->add_option("--output", output_,
                         "After a successful run save the project with its results to this project file (.vnx)")
        ->check(ProjectFileName());
    command_->add_flag("--quiet", quiet_, "No progress display");
    AddKernelOption(*command_, kernel_);
}

CLI::Validator RunCommand::ProjectFileName() {
    return CLI::Validator(
        [](std::string& name) {
            return IsProjectFilePath(name) ? std::string() : "not a project file name (FILE.vnx): " + name;
        },
        "FILE.vnx");
}

int RunCommand::Run() const {
    Project project;
    if (!ReadProjectArgument(path_, project)) return 2;
    if (iterations_ >= 0) SetIterationCount(iterations_);
    if (command_->count("--seed") > 0) SetRandomSeed(seed_);
    project.solverKernel = KernelFromOption(kernel_);

    std::string report;
    if (!project.Validate(report)) {
        std::cout << Translate("Validation Errors:") << "\n" << report << "\n";
        return 1;
    }

    bool succeeded = false;
    bool stopped = false;
    {
        InterruptGuard guard;
        ConsoleObserver observer(quiet_);
        RunOptions options;
        options.threads = threads_;
        succeeded = RunSimulation(project, observer, options);
        stopped = InterruptGuard::Requested();
    }
    if (stopped && !succeeded) {
        std::cerr << "varnex-cli: stopped; no results\n";
        return 130;
    }
    if (!succeeded) return 1;

    const std::vector<ResultEntry> entries = StatisticsSet(project);
    std::cout << StatisticsSummary(entries, project.simulationLevel, project.aquifer.dilutionFlag != 0);
    const InputNames names = InputJsonPointers(project);
    std::cout << CorrelationSummary(project.correlationOutcomes, names);
    bool written = true;
    if (!statsJson_.empty()) {
        nlohmann::ordered_json document = StatisticsJson(entries);
        if (statsLayout_ == "object") {
            nlohmann::ordered_json object = nlohmann::ordered_json::object();
            object["statistics"] = std::move(document);
            object["correlations"] = CorrelationsJson(project.correlationOutcomes, names);
            document = std::move(object);
        }
        // A failed write keeps the file of an earlier run whole.
        std::error_code reason;
        if (!ReplaceFileAtomically(statsJson_, document.dump(2) + "\n", reason)) {
            std::cerr << "varnex-cli: " << WithSystemReason("cannot write " + statsJson_, reason) << "\n";
            written = false;
        }
    }
    // Saved as the desktop program's Run command saves: with the results.
    if (!output_.empty()) {
        std::string error;
        if (!SaveProject(project, output_, true, error)) {
            std::cerr << "varnex-cli: " << error << "\n";
            written = false;
        }
    }
    return written ? 0 : 1;
}

} // namespace varnex::cli
