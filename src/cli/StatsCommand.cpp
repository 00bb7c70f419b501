#include "cli/StatsCommand.h"

#include <iostream>
#include <vector>

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
}

int StatsCommand::Run() const {
    Project project;
    if (!ReadProjectArgument(path_, project)) return 2;
    if (!project.resultsValid) {
        std::cerr << "no results: run the project first\n";
        return 1;
    }
    const std::vector<ResultEntry> entries = StatisticsSet(project);
    if (json_)
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
