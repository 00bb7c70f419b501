#include "cli/SensitivityCommand.h"

#include <cmath>
#include <iostream>
#include <nlohmann/json.hpp>
#include <vector>

#include "analysis/SensitivityAnalysis.h"
#include "analysis/SensitivityChoices.h"
#include "analysis/SensitivityDialogTexts.h"
#include "analysis/SensitivityRequest.h"
#include "analysis/SensitivitySelection.h"
#include "base/NumberText.h"
#include "cli/ProjectInput.h"
#include "model/Project.h"
#include "settings/Translate.h"

namespace varnex::cli {

SensitivityCommand::SensitivityCommand(CLI::App& parent)
    : command_(parent.add_subcommand(
          "sensitivity",
          "List the inputs that drive a result of a project saved with its results")) {
    command_->add_option("PROJECT", path_, "Project file saved with results (.vnx)")->required();
    command_
        ->add_option(
            "--result", result_,
            "Result kind: 0 unsaturated zone travel time, 1 receptor zone travel time, 2 concentration "
            "at source, 3 concentration at base of unsaturated zone, 4 concentration at receptor")
        ->required()
        ->check(CLI::Range(0, 4));
    command_->add_option("--time", timeYears_, "Time slice of a concentration result, years");
    command_->add_option("--source", source_,
                         "Source name, or \"<All>\" (default: the first entry offered)");
    command_->add_option("--receptor", receptor_,
                         "Receptor name, or \"<All>\" (default) - receptor results");
    command_->add_option(
        "--pathway", pathway_,
        "Unsaturated pathway of the chosen source, or \"<All>\" (default) - pathway results");
    command_->add_option("--contaminant", contaminant_,
                         "Rank the results of this contaminant only");
    command_->add_flag("--rank", rank_,
                       "Rank correlation instead of the product-moment coefficient");
    command_->add_flag("--first-10", firstTen_, "Show the 10 strongest rows only");
    command_->add_flag("--include-zero", includeZero_, "Also show rows whose coefficient is 0");
    command_->add_flag("--json", json_, "Print the rows as JSON");
}

bool SensitivityCommand::Select(const Project& project, SensitivitySelection& selection,
                                std::string& problems) const {
    SensitivityRequest request;
    request.result = result_;
    if (command_->count("--time") != 0) request.timeYears = timeYears_;
    request.source = source_;
    request.receptor = receptor_;
    request.pathway = pathway_;
    request.contaminant = contaminant_;
    request.rank = rank_;
    return SelectSensitivity(project, request, "--", selection, problems);
}

int SensitivityCommand::Run() const {
    Project project;
    if (!ReadProjectArgument(path_, project)) return 2;
    if (!project.resultsValid) {
        std::cerr << "no results: run the project first\n";
        return 1;
    }
    SensitivitySelection selection;
    std::string problems;
    if (!Select(project, selection, problems)) {
        std::cerr << problems;
        return 1;
    }

    const std::vector<SensitivityRow> rows =
        FillList(ComputeEntries(project, selection), firstTen_, !includeZero_);
    if (json_) {
        nlohmann::json list = nlohmann::json::array();
        for (const SensitivityRow& row : rows) {
            nlohmann::json item = {{"input", row.label}};
            if (row.isSingleValue)
                item["single_value"] = true;
            else
                item["coefficient"] = row.coefficient;
            item["text"] = row.text;
            list.push_back(std::move(item));
        }
        const nlohmann::json document = {{"coefficient", rank_ ? "rank" : "product-moment"},
                                         {"rows", list}};
        std::cout << document.dump(2) << "\n";
    } else {
        std::cout << Translate(SensitivityDialogTexts::inputColumn) << "\t"
                  << Translate(SensitivityDialogTexts::sensitivityColumn) << "\n";
        for (const SensitivityRow& row : rows) std::cout << row.label << "\t" << row.text << "\n";
    }
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "varnex-cli: cannot write the sensitivity list\n";
        return 1;
    }
    return 0;
}

} // namespace varnex::cli
