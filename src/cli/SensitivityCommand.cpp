#include "cli/SensitivityCommand.h"

#include <cmath>
#include <iostream>
#include <nlohmann/json.hpp>
#include <vector>

#include "analysis/SensitivityAnalysis.h"
#include "analysis/SensitivityChoices.h"
#include "analysis/SensitivityDialogTexts.h"
#include "analysis/SensitivitySelection.h"
#include "base/NumberText.h"
#include "cli/ProjectInput.h"
#include "model/Project.h"
#include "settings/Translate.h"

namespace varnex::cli {

namespace {

bool UsesTimeSlice(int code) {
    return code == SensitivityResult::sourceConcentration ||
           code == SensitivityResult::baseOfUnsaturatedZoneConcentration ||
           code == SensitivityResult::receptorConcentration;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string ChoiceTexts(const SensitivitySelector& selector) {
    std::string names;
    for (const SensitivityChoice& choice : selector.choices) {
        if (!names.empty()) names += ", ";
        names += Quoted(choice.text);
    }
    return names.empty() ? std::string("none") : names;
}

// Finds NAME among a selector's entries; the "<All>" entry matches the
// untranslated "<All>" as well as its translation, so scripts need not know
// the user's language.
bool Pick(const SensitivitySelector& selector, const std::string& name, int& index) {
    for (const SensitivityChoice& choice : selector.choices) {
        const bool all = choice.index == SensitivitySelection::all;
        if (choice.text == name || (all && name == "<All>")) {
            index = choice.index;
            return true;
        }
    }
    return false;
}

// Time slices match when they agree to a part in 1e9: the times are user
// texts read as doubles, and "%.0lf" (the dialog's caption) may round.
int TimeSliceIndex(const Project& project, double years) {
    for (std::size_t k = 0; k < project.timeSlices.size(); ++k) {
        const double t = project.timeSlices[k];
        if (std::fabs(t - years) <= 1e-9 * std::fmax(1.0, std::fabs(t))) return static_cast<int>(k);
    }
    return -1;
}

std::string TimeSliceTexts(const Project& project) {
    std::string texts;
    for (double t : project.timeSlices) {
        if (!texts.empty()) texts += ", ";
        texts += FormatG(t);
    }
    return texts.empty() ? std::string("none") : texts;
}

} // namespace

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
    problems.clear();
    selection = SensitivitySelection{};
    selection.result = result_;
    selection.rank = rank_;

    // The result kind (and its time slice) must be one the dialog's chooser
    // offers at the project's level: the others were never computed.
    const std::vector<SensitivityChoice> choices = ResultChoices(project);
    bool kindOffered = false;
    for (const SensitivityChoice& choice : choices)
        kindOffered = kindOffered || choice.code == result_;
    if (!kindOffered) {
        std::string offered;
        for (const SensitivityChoice& choice : choices) {
            if (choice.index > 0) continue; // one mention per kind
            if (!offered.empty()) offered += ", ";
            offered += std::to_string(choice.code);
        }
        problems += "--result " + std::to_string(result_) +
                    ": not computed at this simulation level; offered: " +
                    (offered.empty() ? std::string("none") : offered) + "\n";
    }
    if (UsesTimeSlice(result_)) {
        if (command_->count("--time") == 0) {
            problems += "--time is needed for a concentration result; the time slices: " +
                        TimeSliceTexts(project) + "\n";
        } else {
            selection.timeSlice = TimeSliceIndex(project, timeYears_);
            if (selection.timeSlice < 0)
                problems += "--time " + FormatG(timeYears_) +
                            ": not a time slice of the project; the time slices: " +
                            TimeSliceTexts(project) + "\n";
        }
    } else if (command_->count("--time") != 0) {
        problems += "--time applies to concentration results (2, 3, 4) only\n";
    }

    const SensitivitySelector sources = SourceSelector(project);
    if (source_.empty()) {
        if (!sources.choices.empty()) selection.source = sources.choices.front().index;
    } else if (!Pick(sources, source_, selection.source)) {
        problems += "--source " + Quoted(source_) +
                    ": not offered; the choices: " + ChoiceTexts(sources) + "\n";
    }

    const SensitivitySelector receptors = ReceptorSelector(project, result_);
    if (!receptor_.empty()) {
        if (!receptors.enabled)
            problems += "--receptor applies to receptor results (1, 4) only\n";
        else if (!Pick(receptors, receptor_, selection.receptor))
            problems += "--receptor " + Quoted(receptor_) +
                        ": not offered; the choices: " + ChoiceTexts(receptors) + "\n";
    }

    if (!pathway_.empty()) {
        const SensitivitySelector pathways = PathwaySelector(project, selection.source, result_);
        if (!pathways.enabled)
            problems += pathways.choices.empty()
                            ? "--pathway needs a single --source\n"
                            : "--pathway does not apply to source concentrations (2)\n";
        else if (!Pick(pathways, pathway_, selection.pathway))
            problems += "--pathway " + Quoted(pathway_) +
                        ": not offered; the choices: " + ChoiceTexts(pathways) + "\n";
    }

    if (!contaminant_.empty()) {
        for (std::size_t k = 0; k < project.contaminants.size(); ++k)
            if (project.contaminants[k].name == contaminant_)
                selection.contaminant = static_cast<int>(k);
        if (selection.contaminant == SensitivitySelection::all) {
            std::string names;
            for (const Contaminant& contaminant : project.contaminants)
                names += (names.empty() ? "" : ", ") + Quoted(contaminant.name);
            problems += "--contaminant " + Quoted(contaminant_) +
                        ": no such contaminant; the contaminants: " +
                        (names.empty() ? std::string("none") : names) + "\n";
        }
    }
    return problems.empty();
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
