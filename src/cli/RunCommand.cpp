#include "cli/RunCommand.h"

#include <iostream>
#include <vector>

#include "base/OutputTransaction.h"
#include "base/UserCancel.h"
#include "cli/ConsoleRunObserver.h"
#include "cli/InterruptGuard.h"
#include "cli/KernelOption.h"
#include "cli/PausingFileSystemCalls.h"
#include "cli/ProgressLine.h"
#include "cli/ProjectInput.h"
#include "cli/StatisticsReport.h"
#include "cli/TestPause.h"
#include "model/Project.h"
#include "persist/ProjectFile.h"
#include "persist/ProjectJson.h"
#include "run/ResultStore.h"
#include "run/RunDriver.h"
#include "run/RunObserver.h"
#include "settings/Translate.h"
#include "stochastic/IterationCount.h"
#include "stochastic/RandomStream.h"

namespace varnex::cli {

RunCommand::RunCommand(CLI::App& parent)
    : command_(parent.add_subcommand("run", "Run the Monte Carlo simulation of a project")) {
    command_
        ->add_option("PROJECT", path_, "Project: a project file (.vnx) or its JSON form (.json)")
        ->required();
    command_
        ->add_option("--iterations", iterations_, "Number of iterations (default: the project's)")
        ->check(CLI::Range(0, 10000));
    command_->add_option("--seed", seed_,
                         "Seed of the random stream (default: that of a fresh program)");
    command_->add_option("--threads", threads_, "Worker threads (default: every core)")
        ->check(CLI::Range(0, 1024));
    command_->add_option("--stats-json", statsJson_,
                         "Write the statistics of every result to this file");
    command_
        ->add_option("--stats-layout", statsLayout_,
                     "Layout of the statistics file: 'array' (the statistics only) or 'object' "
                     "(statistics and correlations)")
        ->check(CLI::IsMember({"array", "object"}));
    command_
        ->add_option(
            "--output", output_,
            "After a successful run save the project with its results to this project file (.vnx)")
        ->check(ProjectFileName());
    command_->add_flag("--quiet", quiet_, "No progress display");
    AddKernelOption(*command_, kernel_);
    command_
        ->add_option("--sampling", sampling_,
                     "Sampling of the inputs: mc (plain Monte Carlo) or lhs (Latin hypercube); "
                     "default: the project's setting")
        ->check(CLI::IsMember({"mc", "lhs"}));
}

CLI::Validator RunCommand::ProjectFileName() {
    return CLI::Validator(
        [](std::string& name) {
            return IsProjectFilePath(name) ? std::string()
                                           : "not a project file name (FILE.vnx): " + name;
        },
        "FILE.vnx");
}

int RunCommand::Run() const {
    InterruptGuard guard;
    Project project;
    if (!ReadProjectArgument(path_, project)) return 2;
    if (iterations_ >= 0) SetIterationCount(iterations_);
    if (command_->count("--seed") > 0) SetRandomSeed(seed_);
    project.solverKernel = KernelFromOption(kernel_);
    if (!sampling_.empty())
        project.samplingMethod =
            sampling_ == "lhs" ? SamplingMethod::latinHypercube : SamplingMethod::monteCarlo;

    std::string report;
    if (!project.Validate(report)) {
        std::cout << Translate("Validation Errors:") << "\n" << report << "\n";
        return 1;
    }
    // An output that will be refused is refused now, not after the run.
    for (const std::string& target : {statsJson_, output_}) {
        std::string error;
        if (!target.empty() && !OutputTransaction::Check(target, error)) {
            std::cerr << "varnex-cli: " << error << "\n";
            return 1;
        }
    }

    bool succeeded = false;
    {
        ConsoleRunObserver observer(quiet_);
        RunOptions options;
        options.threads = threads_;
        succeeded = RunSimulation(project, observer, options);
    }
    // A stop at any stage, even one the driver does not poll in, ends the
    // command without reporting or saving anything.
    if (InterruptGuard::Requested()) {
        std::cerr << "varnex-cli: stopped; no results\n";
        return InterruptGuard::ExitCode();
    }
    if (!succeeded) return 1;

    const std::vector<ResultEntry> entries = StatisticsSet(project);
    const InputNames names = InputJsonPointers(project);
    const int written = WriteOutputs(project, entries, names);
    if (written != 0 && written != 1) return written;
    // After the outputs, so that a run stopped while writing them reports
    // nothing; a write that failed still shows what the run found.
    std::cout << StatisticsSummary(entries, project.simulationLevel,
                                   project.aquifer.dilutionFlag != 0);
    std::cout << CorrelationSummary(project.correlationOutcomes, names);
    return written;
}

int RunCommand::WriteOutputs(Project& project, const std::vector<ResultEntry>& entries,
                             const InputNames& names) const {
    if (statsJson_.empty() && output_.empty()) return 0;
    std::string error;
    // From here a stop signal removes the temporaries and ends the program.
    OutputTransaction outputs;
    if (InterruptGuard::Requested()) {
        std::cerr << "varnex-cli: stopped; nothing saved\n";
        return InterruptGuard::ExitCode();
    }
    if (!statsJson_.empty()) {
        nlohmann::ordered_json document = StatisticsJson(entries, project.resultsKernel);
        if (statsLayout_ == "object") {
            nlohmann::ordered_json object = nlohmann::ordered_json::object();
            object["statistics"] = std::move(document);
            object["correlations"] = CorrelationsJson(project.correlationOutcomes, names);
            document = std::move(object);
        }
        if (!outputs.Add(statsJson_, document.dump(2) + "\n", error, true)) {
            std::cerr << "varnex-cli: " << error << "\n";
            return 1;
        }
        TestPause::At("writing statistics");
    }
    // Saved as the desktop program's Run command saves: with the results.
    if (!output_.empty()) {
        std::string writePath;
        if (!outputs.Stage(output_, writePath, error)) {
            std::cerr << "varnex-cli: " << error << "\n";
            return 1;
        }
        PausingFileSystemCalls pausing;
        ProjectSaveOptions options;
        options.withResults = true;
        options.writeTo = writePath;
        if (TestPause::Chosen("writing project")) options.fileSystem = &pausing;
        if (!SaveProject(project, output_, options, error)) {
            std::cerr << "varnex-cli: " << error << "\n";
            return 1;
        }
    }
    TestPause::At("committing");
    if (!outputs.Commit(error)) {
        std::cerr << "varnex-cli: " << error << "\n";
        return 1;
    }
    return 0;
}

} // namespace varnex::cli
