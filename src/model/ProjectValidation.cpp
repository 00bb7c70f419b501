// The check of a whole project before a run. Every input the run will use
// (RunInputs) is tested; each invalid one adds a tab-indented line with its
// error text, grouped under the source it belongs to or under "Aquifer
// Pathway:". Inputs of contaminants, inventory entries and pathways name
// their owner, since several of them share a label.

#include <cmath>
#include <set>

#include "model/PlanGeometry.h"
#include "model/Project.h"
#include "model/RunInputs.h"
#include "model/TextLimit.h"
#include "base/TextFormat.h"
#include "settings/Translate.h"

namespace varnex {

namespace {

void NewLine(std::string& report, const std::string& text) {
    if (!report.empty()) report += "\n";
    report += text;
}

// Inputs already tested (a contaminant's koc may be needed for a source and
// for the aquifer) are reported once.
using Tested = std::set<const StochasticParameter*>;

void Test(std::string& report, const std::vector<StochasticParameter*>& inputs, Tested& tested) {
    for (StochasticParameter* input : inputs)
        if (tested.insert(input).second) input->AppendReport(report);
}

void Test(std::string& report, const std::vector<StochasticParameter*>& inputs, const std::string& owner,
          Tested& tested) {
    for (StochasticParameter* input : inputs)
        if (tested.insert(input).second) input->AppendReport(report, owner);
}

// A polygon needs three vertices and some area, or its centroid, area and
// infiltration would be undefined or zero.
void TestPolygon(std::string& report, const Source& source) {
    bool inRange = true;
    for (const PlanPoint& vertex : source.vertices)
        inRange = inRange && PlanCoordinateInRange(vertex.x) && PlanCoordinateInRange(vertex.y);
    if (source.centreDefinition == Source::userDefinedCentre)
        inRange = inRange && PlanCoordinateInRange(source.centre.x) && PlanCoordinateInRange(source.centre.y);
    if (!inRange) {
        NewLine(report, "\t" + Translate("Coordinates must be numbers within 1000000000 m of the plan's origin."));
        return;
    }
    if (source.vertices.size() < 3) {
        NewLine(report, "\t" + Translate("At least three vertices are required."));
        return;
    }
    if (TruncatedPositiveArea(ShoelaceArea(source.vertices)) < 1.0)
        NewLine(report, "\t" + Translate("The source polygon must enclose at least 1 m²."));
    else if (PolygonCrossesItself(source.vertices))
        NewLine(report, "\t" + Translate("The source polygon must not cross itself."));
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

std::string SourceReport(Project& project, const RunInputs& inputs, Source& source, Tested& tested) {
    const int level = project.simulationLevel;
    std::string report;
    TestPolygon(report, source);
    Test(report, inputs.SourceInputs(source), tested);
    if (level != SimulationLevel::level3a && source.decliningSource == Source::userDefinedDecline &&
        source.declineFactors.size() != project.timeSlices.size())
        NewLine(report, "\t" + Translate("The declining source needs one factor for each timeslice."));
    if (level != SimulationLevel::level3a && source.decliningSource == Source::userDefinedDecline &&
        !DeclineFactorsAreFractions(source))
        NewLine(report, "\t" + Translate("The declining source factors must be numbers of 0 or more."));
    for (SourceContaminant& entry : source.inventory) {
        const std::string owner = ContaminantName(project, entry.contaminant);
        Test(report, inputs.EntryInputs(source, entry), owner, tested);
        for (std::size_t p = 0; p < source.pathways.size(); ++p) {
            auto record = entry.pathwayProperties.find(static_cast<int>(p));
            if (record == entry.pathwayProperties.end()) continue;
            Test(report, inputs.EntryPathwayInputs(entry, record->second),
                 owner + ", " + source.pathways[p].name, tested);
        }
    }
    for (std::size_t p = 0; p < source.pathways.size(); ++p)
        Test(report, inputs.PathwayInputs(source, p), source.pathways[p].name, tested);
    Test(report, inputs.UnsaturatedZoneInputs(source), tested);
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
void TestTexts(const Project& project, std::string& report) {
    const auto test = [&report](const std::string& field, const std::string& text) {
        if (!TextFits(text)) NewLine(report, TextTooLongMessage(field, StoredTextBytes(text)));
    };
    const ProjectDetails& details = project.details;
    test(FieldName(TranslatableText("Title:")), details.title);
    test(FieldName(TranslatableText("Client Name:")), details.clientName);
    test(FieldName(TranslatableText("Project Number:")), details.projectNumber);
    test(FieldName(TranslatableText("Prepared By:")), details.preparedBy);
    test(FieldName(TranslatableText("Comment:")), details.comment);
    test(Translate("Background Map"), project.sitePlan.backgroundMapFile);
    for (std::size_t s = 0; s < project.sources.size(); ++s) {
        const Source& source = project.sources[s];
        test(FormatText(TranslateFormat("Name of source %d"), {static_cast<long long>(s + 1)}), source.name);
        for (std::size_t p = 0; p < source.pathways.size(); ++p)
            test(FormatText(TranslateFormat("Name of unsaturated pathway %d of source %d"),
                            {static_cast<long long>(p + 1), static_cast<long long>(s + 1)}),
                 source.pathways[p].name);
    }
    for (std::size_t r = 0; r < project.receptors.size(); ++r)
        test(FormatText(TranslateFormat("Name of receptor %d"), {static_cast<long long>(r + 1)}),
             project.receptors[r].name);
    for (std::size_t c = 0; c < project.contaminants.size(); ++c)
        test(FormatText(TranslateFormat("Name of contaminant %d"), {static_cast<long long>(c + 1)}),
             project.contaminants[c].name);
}

} // namespace

bool Project::Validate(std::string& report) {
    report.clear();
    TestTexts(*this, report);
    SyncAllInventories();
    const RunInputs inputs(*this);
    Tested tested;

    for (Contaminant& contaminant : contaminants)
        if (inputs.KocNeeded(contaminant)) Test(report, {&contaminant.koc}, contaminant.name, tested);

    if (timeSlices.empty()) NewLine(report, Translate("At least one timeslice is required."));
    if (timeSlices.size() > static_cast<std::size_t>(maximumTimeSlices))
        NewLine(report, Translate("At most 100 timeslices are allowed."));
    if (receptors.size() > static_cast<std::size_t>(maximumReceptors))
        NewLine(report, Translate("At most 100 receptors are allowed."));
    if (sources.empty()) NewLine(report, Translate("At least one source is required"));
    for (Source& source : sources) {
        const std::string sourceReport = SourceReport(*this, inputs, source, tested);
        if (!sourceReport.empty()) NewLine(report, source.name + ":\n" + sourceReport);
    }
    if (simulationLevel > SimulationLevel::level2 && receptors.empty())
        NewLine(report, Translate("At least one receptor is required."));
    for (const Receptor& receptor : receptors)
        if (!PlanCoordinateInRange(receptor.x) || !PlanCoordinateInRange(receptor.y))
            NewLine(report, receptor.name + ":\n\t" +
                                Translate("Coordinates must be numbers within 1000000000 m of the plan's origin."));
    if (!std::isfinite(aquifer.flowDirection))
        NewLine(report, Translate("Aquifer Pathway:") + "\n\t" + Translate("The aquifer flow direction must be a number of degrees."));
    if (inputs.AquiferComputed()) {
        std::string aquiferReport;
        Test(aquiferReport, inputs.AquiferInputs(), tested);
        if (!aquiferReport.empty()) NewLine(report, Translate("Aquifer Pathway:") + "\n" + aquiferReport);
        for (Contaminant* contaminant : inputs.ContaminantsInAquifer())
            Test(report, inputs.ContaminantAquiferInputs(*contaminant), contaminant->name, tested);
    }
    return report.empty();
}

} // namespace varnex
