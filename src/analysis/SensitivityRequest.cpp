#include "analysis/SensitivityRequest.h"

#include <cmath>
#include <vector>

#include "analysis/SensitivityChoices.h"
#include "base/NumberText.h"
#include "model/Project.h"

namespace varnex {

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

bool SelectSensitivity(const Project& project, const SensitivityRequest& request,
                       const std::string& option, SensitivitySelection& selection,
                       std::string& problems) {
    problems.clear();
    selection = SensitivitySelection{};
    selection.result = request.result;
    selection.rank = request.rank;

    // The result kind (and its time slice) must be one the dialog's chooser
    // offers at the project's level: the others were never computed.
    const std::vector<SensitivityChoice> choices = ResultChoices(project);
    bool kindOffered = false;
    for (const SensitivityChoice& choice : choices)
        kindOffered = kindOffered || choice.code == request.result;
    if (!kindOffered) {
        std::string offered;
        for (const SensitivityChoice& choice : choices) {
            if (choice.index > 0) continue; // one mention per kind
            if (!offered.empty()) offered += ", ";
            offered += std::to_string(choice.code);
        }
        problems += option + "result " + std::to_string(request.result) +
                    ": not computed at this simulation level; offered: " +
                    (offered.empty() ? std::string("none") : offered) + "\n";
    }
    if (UsesTimeSlice(request.result)) {
        if (!request.timeYears) {
            problems += option + "time is needed for a concentration result; the time slices: " +
                        TimeSliceTexts(project) + "\n";
        } else {
            selection.timeSlice = TimeSliceIndex(project, *request.timeYears);
            if (selection.timeSlice < 0)
                problems += option + "time " + FormatG(*request.timeYears) +
                            ": not a time slice of the project; the time slices: " +
                            TimeSliceTexts(project) + "\n";
        }
    } else if (request.timeYears) {
        problems += option + "time applies to concentration results (2, 3, 4) only\n";
    }

    const SensitivitySelector sources = SourceSelector(project);
    if (request.source.empty()) {
        if (!sources.choices.empty()) selection.source = sources.choices.front().index;
    } else if (!Pick(sources, request.source, selection.source)) {
        problems += option + "source " + Quoted(request.source) +
                    ": not offered; the choices: " + ChoiceTexts(sources) + "\n";
    }

    const SensitivitySelector receptors = ReceptorSelector(project, request.result);
    if (!request.receptor.empty()) {
        if (!receptors.enabled)
            problems += option + "receptor applies to receptor results (1, 4) only\n";
        else if (!Pick(receptors, request.receptor, selection.receptor))
            problems += option + "receptor " + Quoted(request.receptor) +
                        ": not offered; the choices: " + ChoiceTexts(receptors) + "\n";
    }

    if (!request.pathway.empty()) {
        const SensitivitySelector pathways =
            PathwaySelector(project, selection.source, request.result);
        if (!pathways.enabled)
            problems += pathways.choices.empty()
                            ? option + "pathway needs a single " + option + "source\n"
                            : option + "pathway does not apply to source concentrations (2)\n";
        else if (!Pick(pathways, request.pathway, selection.pathway))
            problems += option + "pathway " + Quoted(request.pathway) +
                        ": not offered; the choices: " + ChoiceTexts(pathways) + "\n";
    }

    if (!request.contaminant.empty()) {
        for (std::size_t k = 0; k < project.contaminants.size(); ++k)
            if (project.contaminants[k].name == request.contaminant)
                selection.contaminant = static_cast<int>(k);
        if (selection.contaminant == SensitivitySelection::all) {
            std::string names;
            for (const Contaminant& contaminant : project.contaminants)
                names += (names.empty() ? "" : ", ") + Quoted(contaminant.name);
            problems += option + "contaminant " + Quoted(request.contaminant) +
                        ": no such contaminant; the contaminants: " +
                        (names.empty() ? std::string("none") : names) + "\n";
        }
    }
    return problems.empty();
}

} // namespace varnex
