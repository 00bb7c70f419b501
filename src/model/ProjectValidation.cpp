// The check of a whole project before a run. Every input the run will use
// (RunInputs) is tested; each invalid one adds a tab-indented line with its
// error text, grouped under the source it belongs to or under "Aquifer
// Pathway:". Inputs of contaminants, inventory entries and pathways name
// their owner, since several of them share a label.

#include <set>

#include "model/PlanGeometry.h"
#include "model/Project.h"
#include "model/RunInputs.h"
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
    if (source.vertices.size() < 3) {
        NewLine(report, "\t" + Translate("At least three vertices are required."));
        return;
    }
    if (TruncatedPositiveArea(ShoelaceArea(source.vertices)) < 1.0)
        NewLine(report, "\t" + Translate("The source polygon must enclose at least 1 m²."));
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

} // namespace

bool Project::Validate(std::string& report) {
    report.clear();
    SyncAllInventories();
    const RunInputs inputs(*this);
    Tested tested;

    for (Contaminant& contaminant : contaminants)
        if (inputs.KocNeeded(contaminant)) Test(report, {&contaminant.koc}, contaminant.name, tested);

    if (timeSlices.empty()) NewLine(report, Translate("At least one timeslice is required."));
    if (sources.empty()) NewLine(report, Translate("At least one source is required"));
    for (Source& source : sources) {
        const std::string sourceReport = SourceReport(*this, inputs, source, tested);
        if (!sourceReport.empty()) NewLine(report, source.name + ":\n" + sourceReport);
    }
    if (simulationLevel > SimulationLevel::level2 && receptors.empty())
        NewLine(report, Translate("At least one receptor is required."));
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
