// The check of a whole project before a run. Every input the run will use
// (RunInputs) is tested; each invalid one adds a tab-indented line with its
// error text, grouped under the source it belongs to or under "Aquifer
// Pathway:". Inputs of contaminants, inventory entries and pathways name
// their owner, since several of them share a label.

#include <cmath>
#include <set>

#include "base/TextFormat.h"
#include "model/DecayChain.h"
#include "model/PlanGeometry.h"
#include "model/Project.h"
#include "model/RunInputs.h"
#include "model/TextLimit.h"
#include "settings/Translate.h"

namespace varnex {

namespace {

void NewLine(std::string& report, const std::string& text) {
    if (!report.empty()) report += "\n";
    report += text;
}

// Where each problem was found, for the list of problems; null when only
// the report is wanted.
using Problems = std::vector<ValidationProblem>*;

ValidationProblem Place(ValidationProblem::Entity entity, int source = -1, int index = -1,
                        int pathway = -1, const std::string& field = std::string()) {
    ValidationProblem place;
    place.entity = entity;
    place.source = source;
    place.index = index;
    place.pathway = pathway;
    place.field = field;
    return place;
}

// Adds a line to the report and, with its place, to the problems.
void Note(std::string& report, Problems problems, const std::string& line,
          ValidationProblem place) {
    NewLine(report, line);
    if (!problems) return;
    std::size_t start = line.find_first_not_of('\t');
    place.text = start == std::string::npos ? line : line.substr(start);
    problems->push_back(std::move(place));
}

template <class Entity>
bool FindIn(Entity& entity, const StochasticParameter* input, std::string& key) {
    for (const auto& field : Entity::ParameterFields())
        if (&(entity.*field.member) == input) {
            key = field.key;
            return true;
        }
    return false;
}

// The entity and field an input belongs to.
ValidationProblem Locate(Project& project, const StochasticParameter* input) {
    using E = ValidationProblem::Entity;
    std::string key;
    for (std::size_t c = 0; c < project.contaminants.size(); ++c) {
        if (FindIn(project.contaminants[c], input, key))
            return Place(E::contaminant, -1, int(c), -1, key);
        // Not in the contaminant's table (Contaminant::yield says why).
        if (&project.contaminants[c].yield == input)
            return Place(E::contaminant, -1, int(c), -1, "yield");
    }
    if (FindIn(project.aquifer, input, key)) return Place(E::aquifer, -1, -1, -1, key);
    for (std::size_t s = 0; s < project.sources.size(); ++s) {
        Source& source = project.sources[s];
        if (FindIn(source, input, key)) return Place(E::source, int(s), -1, -1, key);
        for (std::size_t p = 0; p < source.pathways.size(); ++p)
            if (FindIn(source.pathways[p], input, key))
                return Place(E::pathway, int(s), int(p), -1, key);
        for (std::size_t e = 0; e < source.inventory.size(); ++e) {
            SourceContaminant& entry = source.inventory[e];
            if (FindIn(entry, input, key)) return Place(E::sourceEntry, int(s), int(e), -1, key);
            for (auto& [p, properties] : entry.pathwayProperties)
                if (FindIn(properties, input, key))
                    return Place(E::pathwayEntry, int(s), int(e), p, key);
        }
    }
    return Place(E::project);
}

// Inputs already tested (a contaminant's koc may be needed for a source and
// for the aquifer) are reported once.
using Tested = std::set<const StochasticParameter*>;

// Each failing input adds its lines to the report; with problems, they are
// noted with the input's place too.
void Test(Project& project, std::string& report, Problems problems,
          const std::vector<StochasticParameter*>& inputs, const std::string* owner,
          Tested& tested) {
    for (StochasticParameter* input : inputs) {
        if (!tested.insert(input).second) continue;
        const std::size_t before = report.size();
        const bool valid =
            owner ? input->AppendReport(report, *owner) : input->AppendReport(report);
        if (valid || !problems) continue;
        std::string line = report.substr(before);
        if (!line.empty() && line.front() == '\n') line.erase(0, 1);
        ValidationProblem place = Locate(project, input);
        const std::size_t start = line.find_first_not_of('\t');
        place.text = start == std::string::npos ? line : line.substr(start);
        problems->push_back(std::move(place));
    }
}

void Test(Project& project, std::string& report, Problems problems,
          const std::vector<StochasticParameter*>& inputs, Tested& tested) {
    Test(project, report, problems, inputs, nullptr, tested);
}

void Test(Project& project, std::string& report, Problems problems,
          const std::vector<StochasticParameter*>& inputs, const std::string& owner,
          Tested& tested) {
    Test(project, report, problems, inputs, &owner, tested);
}

// A polygon needs three vertices and some area, or its centroid, area and
// infiltration would be undefined or zero.
void TestPolygon(std::string& report, Problems problems, const Source& source, int index) {
    const ValidationProblem place =
        Place(ValidationProblem::Entity::source, index, -1, -1, "vertices");
    bool inRange = true;
    for (const PlanPoint& vertex : source.vertices)
        inRange = inRange && PlanCoordinateInRange(vertex.x) && PlanCoordinateInRange(vertex.y);
    if (source.centreDefinition == Source::userDefinedCentre)
        inRange = inRange && PlanCoordinateInRange(source.centre.x) &&
                  PlanCoordinateInRange(source.centre.y);
    if (!inRange) {
        Note(report, problems,
             "\t" +
                 Translate("Coordinates must be numbers within 1000000000 m of the plan's origin."),
             place);
        return;
    }
    if (source.vertices.size() < 3) {
        Note(report, problems, "\t" + Translate("At least three vertices are required."), place);
        return;
    }
    if (TruncatedPositiveArea(ShoelaceArea(source.vertices)) < 1.0)
        Note(report, problems, "\t" + Translate("The source polygon must enclose at least 1 m²."),
             place);
    else if (PolygonCrossesItself(source.vertices))
        Note(report, problems, "\t" + Translate("The source polygon must not cross itself."),
             place);
}

// The user's decline factors scale the source concentration: a negative one
// would make a negative concentration, one that is not a number a run of
// NaN.
bool DeclineFactorsAreFractions(const Source& source) {
    for (double factor : source.declineFactors)
        if (!(factor >= 0.0) || !std::isfinite(factor)) return false;
    return true;
}

std::string ContaminantName(const Project& project, int identifier) {
    const Contaminant* contaminant = project.FindContaminant(identifier);
    return contaminant ? contaminant->name : std::to_string(identifier);
}

std::string SourceReport(Project& project, const RunInputs& inputs, Source& source, int index,
                         Tested& tested, Problems problems) {
    const int level = project.simulationLevel;
    const ValidationProblem decline =
        Place(ValidationProblem::Entity::source, index, -1, -1, "declineFactors");
    std::string report;
    TestPolygon(report, problems, source, index);
    Test(project, report, problems, inputs.SourceInputs(source), tested);
    if (level != SimulationLevel::level3a && source.decliningSource == Source::userDefinedDecline &&
        source.declineFactors.size() != project.timeSlices.size())
        Note(report, problems,
             "\t" + Translate("The declining source needs one factor for each timeslice."),
             decline);
    if (level != SimulationLevel::level3a && source.decliningSource == Source::userDefinedDecline &&
        !DeclineFactorsAreFractions(source))
        Note(report, problems,
             "\t" + Translate("The declining source factors must be numbers of 0 or more."),
             decline);
    for (SourceContaminant& entry : source.inventory) {
        const std::string owner = ContaminantName(project, entry.contaminant);
        Test(project, report, problems, inputs.EntryInputs(source, entry), owner, tested);
        for (std::size_t p = 0; p < source.pathways.size(); ++p) {
            auto record = entry.pathwayProperties.find(static_cast<int>(p));
            if (record == entry.pathwayProperties.end()) continue;
            Test(project, report, problems, inputs.EntryPathwayInputs(entry, record->second),
                 owner + ", " + source.pathways[p].name, tested);
        }
    }
    for (std::size_t p = 0; p < source.pathways.size(); ++p)
        Test(project, report, problems, inputs.PathwayInputs(source, p), source.pathways[p].name,
             tested);
    Test(project, report, problems, inputs.UnsaturatedZoneInputs(source), tested);
    return report;
}

// A label shown with a colon ("Title:") names its field without it.
std::string FieldName(const char* label) {
    std::string name = Translate(label);
    if (!name.empty() && name.back() == ':') name.pop_back();
    return name;
}

// Texts longer than a project file holds. Forms and the JSON form refuse
// them as they come in; this catches any other way in (an older file, a
// script), before a run whose results could then not be saved. The entities
// are named by position, since an over-long name is no way to name one.
void TestTexts(const Project& project, std::string& report, Problems problems) {
    using E = ValidationProblem::Entity;
    ValidationProblem place = Place(E::project);
    const auto test = [&](const std::string& field, const std::string& text) {
        if (!TextFits(text))
            Note(report, problems, TextTooLongMessage(field, StoredTextBytes(text)), place);
    };
    place.field = "title";
    const ProjectDetails& details = project.details;
    test(FieldName(TranslatableText("Title:")), details.title);
    place.field = "clientName";
    test(FieldName(TranslatableText("Client Name:")), details.clientName);
    place.field = "projectNumber";
    test(FieldName(TranslatableText("Project Number:")), details.projectNumber);
    place.field = "preparedBy";
    test(FieldName(TranslatableText("Prepared By:")), details.preparedBy);
    place.field = "comment";
    test(FieldName(TranslatableText("Comment:")), details.comment);
    place = Place(E::simulation, -1, -1, -1, "backgroundMapFile");
    test(Translate("Background Map"), project.sitePlan.backgroundMapFile);
    for (std::size_t s = 0; s < project.sources.size(); ++s) {
        const Source& source = project.sources[s];
        place = Place(E::source, int(s), -1, -1, "sourceName");
        test(FormatText(TranslateFormat("Name of source %d"), {static_cast<long long>(s + 1)}),
             source.name);
        for (std::size_t p = 0; p < source.pathways.size(); ++p) {
            place = Place(E::pathway, int(s), int(p), -1, "pathwayName");
            test(FormatText(TranslateFormat("Name of unsaturated pathway %d of source %d"),
                            {static_cast<long long>(p + 1), static_cast<long long>(s + 1)}),
                 source.pathways[p].name);
        }
    }
    for (std::size_t r = 0; r < project.receptors.size(); ++r) {
        place = Place(E::receptor, -1, int(r), -1, "name");
        test(FormatText(TranslateFormat("Name of receptor %d"), {static_cast<long long>(r + 1)}),
             project.receptors[r].name);
    }
    for (std::size_t c = 0; c < project.contaminants.size(); ++c) {
        place = Place(E::contaminant, -1, int(c), -1, "contaminantName");
        test(FormatText(TranslateFormat("Name of contaminant %d"), {static_cast<long long>(c + 1)}),
             project.contaminants[c].name);
    }
}

bool ValidateInto(Project& project, std::string& report, Problems problems) {
    using E = ValidationProblem::Entity;
    report.clear();
    TestTexts(project, report, problems);
    project.SyncAllInventories();
    const RunInputs inputs(project);
    Tested tested;

    for (Contaminant& contaminant : project.contaminants)
        if (inputs.KocNeeded(contaminant))
            Test(project, report, problems, {&contaminant.koc}, contaminant.name, tested);

    // The chains' structure (a parent that is missing, a cycle, a chain too
    // long) and, where chains act, a daughter left out at a source; then
    // each daughter's yield as an input of the run.
    for (const ValidationProblem& problem : DecayChain::LocatedProblems(project))
        Note(report, problems, problem.text, problem);
    for (Contaminant& contaminant : project.contaminants)
        Test(project, report, problems, inputs.ChainInputs(contaminant), contaminant.name, tested);

    const ValidationProblem slices = Place(E::simulation, -1, -1, -1, "timeSlices");
    if (project.timeSlices.empty())
        Note(report, problems, Translate("At least one timeslice is required."), slices);
    if (project.timeSlices.size() > static_cast<std::size_t>(Project::maximumTimeSlices))
        Note(report, problems, Translate("At most 100 timeslices are allowed."), slices);
    if (project.receptors.size() > static_cast<std::size_t>(Project::maximumReceptors))
        Note(report, problems, Translate("At most 100 receptors are allowed."), Place(E::receptor));
    if (project.sources.empty())
        Note(report, problems, Translate("At least one source is required"),
             Place(E::project, -1, -1, -1, "sourceCount"));
    for (std::size_t s = 0; s < project.sources.size(); ++s) {
        Source& source = project.sources[s];
        const std::string sourceReport =
            SourceReport(project, inputs, source, int(s), tested, problems);
        if (!sourceReport.empty()) NewLine(report, source.name + ":\n" + sourceReport);
    }
    if (project.simulationLevel > SimulationLevel::level2 && project.receptors.empty())
        Note(report, problems, Translate("At least one receptor is required."), Place(E::receptor));
    for (std::size_t r = 0; r < project.receptors.size(); ++r) {
        const Receptor& receptor = project.receptors[r];
        if (PlanCoordinateInRange(receptor.x) && PlanCoordinateInRange(receptor.y)) continue;
        const std::string message =
            Translate("Coordinates must be numbers within 1000000000 m of the plan's origin.");
        NewLine(report, receptor.name + ":\n\t" + message);
        if (problems) {
            ValidationProblem place = Place(E::receptor, -1, int(r), -1, "x");
            place.text = receptor.name + ": " + message;
            problems->push_back(place);
        }
    }
    if (!std::isfinite(project.aquifer.flowDirection)) {
        const std::string message =
            Translate("The aquifer flow direction must be a number of degrees.");
        NewLine(report, Translate("Aquifer Pathway:") + "\n\t" + message);
        if (problems) {
            ValidationProblem place = Place(E::aquifer, -1, -1, -1, "flowDirection");
            place.text = message;
            problems->push_back(place);
        }
    }
    if (inputs.AquiferComputed()) {
        std::string aquiferReport;
        Test(project, aquiferReport, problems, inputs.AquiferInputs(), tested);
        if (!aquiferReport.empty())
            NewLine(report, Translate("Aquifer Pathway:") + "\n" + aquiferReport);
        for (Contaminant* contaminant : inputs.ContaminantsInAquifer())
            Test(project, report, problems, inputs.ContaminantAquiferInputs(*contaminant),
                 contaminant->name, tested);
    }
    return report.empty();
}

} // namespace

bool Project::Validate(std::string& report) { return ValidateInto(*this, report, nullptr); }

bool Project::Validate(std::string& report, std::vector<ValidationProblem>& problems) {
    problems.clear();
    return ValidateInto(*this, report, &problems);
}

} // namespace varnex
