#include "cli/StatsCommand.h"

#include <iostream>
#include <vector>

#include "cli/ConvergenceReport.h"
#include "cli/ProjectInput.h"
#include "cli/StatisticsReport.h"
#include "model/Project.h"
#include "run/ResultStore.h"

namespace varnex::cli {

StatsCommand::StatsCommand(CLI::App& parent)
    : command_(parent.add_subcommand("stats",
                                     "Print the statistics of a project saved with its results")) {
    command_->add_option("PROJECT", path_, "Project file saved with results (.vnx)")->required();
    command_->add_flag("--json", json_,
                       "Print the statistics of every result as JSON (as run --stats-json writes)");
    CLI::Option* convergence = command_->add_flag(
        "--convergence", convergence_,
        "Print, for every result, the mean and the 50th and 95th percentiles with "
        "their 95 % confidence intervals over growing numbers of iterations, and the "
        "iterations needed for the 95th percentile (JSON)");
    command_->add_flag("--csv", csv_, "With --convergence: CSV instead of JSON")
        ->needs("--convergence");
    command_
        ->add_option("--half-width", halfWidth_,
                     "With --convergence: the relative half-width of the 95th percentile's "
                     "interval the iteration estimate aims at (default 0.1, i.e. +-10 %)")
        ->check(CLI::Range(1e-6, 10.0))
        ->needs("--convergence");
    convergence->excludes("--json");
}

int StatsCommand::Run() const {
    Project project;
    if (!ReadProjectArgument(path_, project)) return 2;
    if (!project.resultsValid) {
        std::cerr << "no results: run the project first\n";
        return 1;
    }
    const std::vector<ResultEntry> entries = StatisticsSet(project);
    if (convergence_ && csv_)
        std::cout << ConvergenceCsv(entries);
    else if (convergence_)
        std::cout << ConvergenceJson(entries, halfWidth_).dump(2) << "\n";
    else if (json_)
        std::cout << StatisticsJson(entries, project.resultsKernel).dump(2) << "\n";
    else
        std::cout << StatisticsSummary(entries, project.simulationLevel,
                                       project.aquifer.dilutionFlag != 0);
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "varnex-cli: cannot write the statistics\n";
        return 1;
    }
    return 0;
}

} // namespace varnex::cli
