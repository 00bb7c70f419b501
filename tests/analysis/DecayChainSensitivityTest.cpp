// The sensitivity of a decay chain's daughters: their concentrations carry
// what their ancestors' decay formed, so the ranking lists the ancestors'
// inputs (named after the ancestor) and the yields down the chain, while
// the travel times, which no ancestor changes, and the parent's own results
// list nothing of the chain.

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "analysis/SensitivityAnalysis.h"
#include "model/Project.h"
#include "persist/ProjectJson.h"
#include "run/RunDriver.h"
#include "run/RunObserver.h"
#include "stochastic/IterationCount.h"
#include "support/ModelBuilders.h"
#include "support/ProgramStateTest.h"

namespace varnex {
namespace {

using namespace SensitivityResult;

class DecayChainSensitivityTest : public test::ProgramStateTest {
protected:
    // tests/transport/data/level3-chain.json as a chain PCE -> TCE -> DCE ->
    // VC, with the leachate, a yield and an aquifer half-life sampled.
    static Project ChainProject() {
        Project project;
        std::vector<std::string> problems;
        EXPECT_TRUE(LoadProjectJsonFile(std::string(VARNEX_SOURCE_DIR) +
                                            "/tests/transport/data/level3-chain.json",
                                        project, problems));
        SetIterationCount(60);
        for (std::size_t c = 1; c < project.contaminants.size(); ++c) {
            project.contaminants[c].parentIdentifier = project.contaminants[c - 1].identifier;
            test::SetInput(project.contaminants[c].yield, "UNIFORM(0.4,0.8)");
        }
        test::SetInput(project.sources[0].inventory[0].concentration, "UNIFORM(0.5,2)");
        test::SetInput(project.contaminants[1].halfLife, "UNIFORM(2,4)");
        test::SetInput(project.aquifer.hydraulicConductivity, "UNIFORM(0.00005,0.0002)");
        RunObserver observer;
        EXPECT_TRUE(RunSimulation(project, observer, RunOptions{1}));
        return project;
    }
};

std::vector<std::string> Labels(const std::vector<SensitivityEntry>& entries) {
    std::vector<std::string> labels;
    for (const SensitivityEntry& entry : entries) labels.push_back(entry.label);
    return labels;
}

bool Has(const std::vector<std::string>& labels, const std::string& label) {
    return std::find(labels.begin(), labels.end(), label) != labels.end();
}

bool AnyContains(const std::vector<std::string>& labels, const std::string& text) {
    return std::any_of(labels.begin(), labels.end(),
                       [&](const std::string& l) { return l.find(text) != std::string::npos; });
}

TEST_F(DecayChainSensitivityTest, DaughtersRankTheirAncestorsInputsAndTheYields) {
    Project project = ChainProject();
    SensitivitySelection selection;
    selection.source = 0;
    selection.receptor = 0;
    selection.timeSlice = 4;
    selection.result = receptorConcentration;
    selection.contaminant = 3; // vinyl chloride
    const std::vector<std::string> vc = Labels(ComputeEntries(project, selection));
    const std::string at = " - Borehole";
    EXPECT_TRUE(
        Has(vc, "Vinyl chloride - Tank - Tetrachloroethene: Source Concentration [mg/l]" + at));
    // Its own yield without a name, its ancestors' with theirs.
    EXPECT_TRUE(Has(vc, "Vinyl chloride - Tank - Yield [mg/mg]" + at));
    EXPECT_TRUE(Has(vc, "Vinyl chloride - Tank - Trichloroethene: Yield [mg/mg]" + at));
    EXPECT_TRUE(Has(vc, "Vinyl chloride - Tank - cis-1,2-Dichloroethene: Yield [mg/mg]" + at));
    EXPECT_TRUE(Has(vc, "Vinyl chloride - Tank - Trichloroethene: Aquifer Half Life [years]" + at));
    // A shared input of the site is listed once, under no contaminant.
    EXPECT_TRUE(Has(vc, "Vinyl chloride - Tank - Aquifer Hydraulic Conductivity [m/s]" + at));
    EXPECT_FALSE(AnyContains(vc, ": Aquifer Hydraulic Conductivity"));

    // At the base of the unsaturated zone as well: the parent's leachate.
    selection.result = baseOfUnsaturatedZoneConcentration;
    selection.receptor = SensitivitySelection::all;
    selection.contaminant = 1; // trichloroethene
    const std::vector<std::string> tce = Labels(ComputeEntries(project, selection));
    EXPECT_TRUE(AnyContains(tce, "Trichloroethene - Tank - Tetrachloroethene: Source "
                                 "Concentration [mg/l]"));
    EXPECT_TRUE(AnyContains(tce, "Trichloroethene - Tank - Yield [mg/mg]"));

    // The parent and the travel times know nothing of the chain.
    selection.result = receptorConcentration;
    selection.receptor = 0;
    selection.contaminant = 0;
    const std::vector<std::string> pce = Labels(ComputeEntries(project, selection));
    EXPECT_FALSE(AnyContains(pce, "Yield"));
    EXPECT_FALSE(AnyContains(pce, ": "));
    selection.result = receptorTravelTime;
    selection.contaminant = 3;
    const std::vector<std::string> travel = Labels(ComputeEntries(project, selection));
    EXPECT_FALSE(AnyContains(travel, "Yield"));
    EXPECT_FALSE(AnyContains(travel, "Tetrachloroethene: "));
}

} // namespace
} // namespace varnex
