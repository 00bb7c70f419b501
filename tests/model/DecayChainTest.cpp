// Decay chains in the model: what validation says about a chain (each
// message written out by hand from the chain drawn in the test), which
// parent a form may offer, the yield as an input of the run, and removing a
// parent.

#include <gtest/gtest.h>

#include "model/DecayChain.h"
#include "model/Project.h"
#include "model/RunInputs.h"
#include "stochastic/ParameterIdentity.h"
#include "support/ModelBuilders.h"
#include "support/ScriptedRandomSource.h"

namespace varnex {
namespace {

using test::SetInput;

// The valid level 1 project (source "Tank", benzene 1 active) with the
// chlorinated ethenes PCE 11, TCE 12, DCE 13, VC 14, ethene 15 added, each
// active at the tank with a leachate concentration, none with a parent yet.
class DecayChainTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ResetProgramState();
        project = test::ValidLevel1Project();
        const char* names[] = {"PCE", "TCE", "DCE", "VC", "Ethene"};
        for (int i = 0; i < 5; ++i)
            project.contaminants.push_back(test::MakeContaminant(11 + i, names[i], true));
        project.SyncAllInventories();
        const int leachate = project.sources[0].inventory.at(0).measuredAs;
        for (SourceContaminant& entry : project.sources[0].inventory) {
            entry.active = true;
            entry.measuredAs = leachate;
            SetInput(entry.concentration, "SINGLE(1)");
        }
    }
    void TearDown() override { test::ResetProgramState(); }

    Contaminant& Named(const std::string& name) {
        for (Contaminant& c : project.contaminants)
            if (c.name == name) return c;
        throw std::logic_error(name);
    }
    // `daughter` is formed from `parent` with the yield SINGLE(0.5).
    void Link(const std::string& parent, const std::string& daughter) {
        Named(daughter).parentIdentifier = Named(parent).identifier;
        SetInput(Named(daughter).yield, "SINGLE(0.5)");
    }
    std::size_t IndexOf(const std::string& name) { return &Named(name) - &project.contaminants[0]; }
    SourceContaminant& EntryOf(const std::string& name) {
        for (SourceContaminant& entry : project.sources[0].inventory)
            if (entry.contaminant == Named(name).identifier) return entry;
        throw std::logic_error(name);
    }
    std::vector<std::string> Texts() { return DecayChain::Problems(project); }

    Project project;
};

TEST_F(DecayChainTest, AProjectWithoutParentsHasNoChainProblemsAndValidatesAsBefore) {
    EXPECT_FALSE(DecayChain::AnyParent(project));
    EXPECT_TRUE(Texts().empty());
    std::string report;
    EXPECT_TRUE(project.Validate(report)) << report;
    // A chain of four members, PCE to VC, is allowed.
    Link("PCE", "TCE");
    Link("TCE", "DCE");
    Link("DCE", "VC");
    EXPECT_TRUE(Texts().empty());
    EXPECT_EQ(
        DecayChain::Lineage(project, IndexOf("VC")),
        (std::vector<std::size_t>{IndexOf("PCE"), IndexOf("TCE"), IndexOf("DCE"), IndexOf("VC")}));
}

TEST_F(DecayChainTest, StructuralProblemsNameTheirContaminants) {
    // A parent that names nothing.
    Named("Benzene").parentIdentifier = 77;
    // A cycle TCE -> DCE -> VC -> TCE, listed from its first member in the
    // project (TCE), parent before daughter.
    Link("TCE", "DCE");
    Link("DCE", "VC");
    Link("VC", "TCE");
    const std::vector<std::string> texts = Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], "The parent of Benzene is not a contaminant of the project "
                        "(identifier 77).");
    EXPECT_EQ(texts[1], "The decay chain TCE, DCE, VC, TCE is a cycle: a contaminant cannot be "
                        "formed from itself.");
    // A contaminant that is its own parent is a cycle of one.
    project = Project();
    SetUp();
    Link("PCE", "PCE");
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_EQ(Texts()[0], "The decay chain PCE, PCE is a cycle: a contaminant cannot be formed "
                          "from itself.");
}

TEST_F(DecayChainTest, AChainTooLongIsNamedOnceRootFirst) {
    Link("PCE", "TCE");
    Link("TCE", "DCE");
    Link("DCE", "VC");
    Link("VC", "Ethene");
    // A second branch of three members from TCE is within the limit.
    Link("TCE", "Benzene");
    const std::vector<std::string> texts = Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0],
              "The decay chain PCE, TCE, DCE, VC, Ethene has 5 members; at most 4 are allowed.");
    // The report and the problem list carry it, placed at the last member.
    std::string report;
    std::vector<ValidationProblem> problems;
    EXPECT_FALSE(project.Validate(report, problems));
    EXPECT_NE(report.find(texts[0]), std::string::npos) << report;
    ASSERT_FALSE(problems.empty());
    EXPECT_EQ(problems[0].entity, ValidationProblem::Entity::contaminant);
    EXPECT_EQ(problems[0].index, static_cast<int>(IndexOf("Ethene")));
    EXPECT_EQ(problems[0].field, "parent");
}

TEST_F(DecayChainTest, ADaughterLeftOutAtASourceIsAProblemOnlyWhereChainsAct) {
    Link("PCE", "TCE");
    EntryOf("TCE").active = false;
    // Level 1 forms no daughter: nothing to say.
    EXPECT_TRUE(Texts().empty());
    project.simulationLevel = SimulationLevel::level3;
    project.processes.biodegradationUz = false;
    project.processes.biodegradationAquifer = false;
    EXPECT_TRUE(Texts().empty());
    project.processes.biodegradationAquifer = true;
    std::vector<ValidationProblem> problems = DecayChain::LocatedProblems(project);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].text,
              "At source Tank, PCE is active but TCE, which it forms, is not: the TCE formed "
              "there would have no results. Make TCE active there too.");
    EXPECT_EQ(problems[0].entity, ValidationProblem::Entity::sourceEntry);
    EXPECT_EQ(problems[0].source, 0);
    EXPECT_EQ(&project.sources[0].inventory.at(std::size_t(problems[0].index)), &EntryOf("TCE"));
    // A parent not active there forms nothing there.
    EntryOf("PCE").active = false;
    EXPECT_TRUE(Texts().empty());
}

TEST_F(DecayChainTest, TheYieldIsAnInputOfTheRunOnlyWhereChainsAct) {
    Link("PCE", "TCE");
    Contaminant& tce = Named("TCE");
    RunInputs inputs(project);
    struct Case {
        int level;
        bool uz, aquifer, used;
    };
    // Degradation in the unsaturated zone counts at levels 2 and 3, in the
    // aquifer at levels 3 and 3a; level 1 never.
    const Case cases[] = {
        {SimulationLevel::level1, true, true, false},
        {SimulationLevel::level2, true, false, true},
        {SimulationLevel::level2, false, true, false},
        {SimulationLevel::level3, false, false, false},
        {SimulationLevel::level3, true, false, true},
        {SimulationLevel::level3, false, true, true},
        {SimulationLevel::level3a, true, false, false},
        {SimulationLevel::level3a, false, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.level << c.uz << c.aquifer);
        project.simulationLevel = c.level;
        project.processes.biodegradationUz = c.uz;
        project.processes.biodegradationAquifer = c.aquifer;
        const RunInputs at(project);
        EXPECT_EQ(at.ChainInputs(tce), c.used ? std::vector<StochasticParameter*>{&tce.yield}
                                              : std::vector<StochasticParameter*>{});
        EXPECT_TRUE(at.ChainInputs(Named("PCE")).empty());
        // Last of all the inputs, so that the others keep their order.
        const auto all = at.All();
        EXPECT_EQ(!all.empty() && all.back() == &tce.yield, c.used);
    }
}

TEST_F(DecayChainTest, AnInvalidYieldIsReportedWithTheOtherInputs) {
    project.simulationLevel = SimulationLevel::level3a;
    project.processes.biodegradationAquifer = true;
    Link("PCE", "TCE");
    SetInput(Named("TCE").yield, "SINGLE(0.79)");
    std::string report;
    std::vector<ValidationProblem> problems;
    project.Validate(report, problems);
    for (const ValidationProblem& problem : problems) EXPECT_NE(problem.field, "yield");
    // Undefined, then beyond the yield's limit of 10.
    Named("TCE").yield = Contaminant().yield;
    project.Validate(report, problems);
    EXPECT_NE(report.find("\tTCE Yield [mg/mg] - Data missing"), std::string::npos) << report;
    bool placed = false;
    for (const ValidationProblem& problem : problems)
        placed = placed || (problem.field == "yield" && problem.index == int(IndexOf("TCE")) &&
                            problem.entity == ValidationProblem::Entity::contaminant);
    EXPECT_TRUE(placed);
    Named("TCE").yield.distribution.Parse("SINGLE(12)");
    project.Validate(report);
    EXPECT_NE(report.find("TCE Yield [mg/mg]"), std::string::npos) << report;
    // Without the parent the yield is not an input at all.
    Named("TCE").parentIdentifier = Contaminant::noParent;
    project.Validate(report, problems);
    EXPECT_EQ(report.find("Yield"), std::string::npos) << report;
}

TEST_F(DecayChainTest, AFormRefusesAParentThatMakesACycleOrAChainTooLong) {
    Link("PCE", "TCE");
    Link("TCE", "DCE");
    EXPECT_EQ(DecayChain::ParentRefusal(project, IndexOf("DCE"), Contaminant::noParent), "");
    EXPECT_EQ(DecayChain::ParentRefusal(project, IndexOf("VC"), Named("DCE").identifier), "");
    EXPECT_EQ(DecayChain::ParentRefusal(project, IndexOf("PCE"), Named("PCE").identifier),
              "PCE cannot be its own parent.");
    EXPECT_EQ(DecayChain::ParentRefusal(project, IndexOf("PCE"), Named("DCE").identifier),
              "DCE cannot be the parent of PCE: it is formed from PCE, which would make a "
              "cycle.");
    // VC under DCE makes four; with ethene already below VC, five.
    Link("VC", "Ethene");
    EXPECT_EQ(DecayChain::ParentRefusal(project, IndexOf("VC"), Named("DCE").identifier),
              "With DCE as the parent of VC, the decay chain would have 5 members; at most 4 "
              "are allowed.");
}

TEST_F(DecayChainTest, RemovingAParentLeavesItsDaughtersWithoutOne) {
    // User species (identifiers above the standards') may be removed.
    for (Contaminant& c : project.contaminants)
        c.identifier += Contaminant::largestStandardIdentifier;
    project.SyncAllInventories();
    Link("PCE", "TCE");
    Link("PCE", "DCE");
    Link("TCE", "VC");
    EXPECT_EQ(DecayChain::Daughters(project, IndexOf("PCE")),
              (std::vector<std::size_t>{IndexOf("TCE"), IndexOf("DCE")}));
    std::string error;
    ASSERT_TRUE(project.RemoveContaminant(IndexOf("PCE"), error)) << error;
    EXPECT_EQ(Named("TCE").parentIdentifier, Contaminant::noParent);
    EXPECT_EQ(Named("DCE").parentIdentifier, Contaminant::noParent);
    EXPECT_EQ(Named("VC").parentIdentifier, Named("TCE").identifier);
    // The yield stays for the next parent chosen.
    EXPECT_EQ(Named("TCE").yield.Format(), "SINGLE(0.5)");
    EXPECT_TRUE(Texts().empty());
}

TEST_F(DecayChainTest, CopiesKeepTheParentAndTheYield) {
    Link("PCE", "TCE");
    const Project copy = project;
    const Contaminant& tce = copy.contaminants[IndexOf("TCE")];
    EXPECT_EQ(tce.parentIdentifier, Named("PCE").identifier);
    EXPECT_EQ(tce.yield.Format(), "SINGLE(0.5)");
    EXPECT_EQ(tce.yield.id, Named("TCE").yield.id);
    EXPECT_EQ(tce.yield.Label(), "Yield [mg/mg]");
}

// Identity numbers are saved with every input, so a contaminant must draw
// exactly the numbers it drew before it had a yield: one per input of its
// table. A yield takes one only when used, and then one of its own.
TEST_F(DecayChainTest, AYieldDrawsNoIdentityUntilItIsUsed) {
    const std::int32_t before = ParameterIdCounter();
    Contaminant made;
    EXPECT_EQ(ParameterIdCounter() - before,
              static_cast<std::int32_t>(Contaminant::ParameterFields().size()));
    EXPECT_EQ(made.yield.id, Contaminant::unnumbered);
    EXPECT_EQ(made.yield.Label(), "Yield [mg/mg]");
    EXPECT_EQ(made.yield.distribution.maxLimit, 10.0);

    // Two daughters used by a run have yields told apart.
    project.simulationLevel = SimulationLevel::level3a;
    project.processes.biodegradationAquifer = true;
    Link("PCE", "TCE");
    Link("PCE", "DCE");
    EXPECT_EQ(Named("TCE").yield.id, Contaminant::unnumbered);
    const std::vector<StochasticParameter*> inputs = RunInputs(project).All();
    const std::int32_t tce = Named("TCE").yield.id, dce = Named("DCE").yield.id;
    EXPECT_NE(tce, Contaminant::unnumbered);
    EXPECT_NE(dce, Contaminant::unnumbered);
    EXPECT_NE(tce, dce);
    for (const StochasticParameter* input : inputs) {
        if (input != &Named("TCE").yield) {
            EXPECT_NE(input->id, tce) << input->Label();
        }
    }
    // Once numbered, it keeps its number.
    RunInputs(project).All();
    EXPECT_EQ(Named("TCE").yield.id, tce);
}

} // namespace
} // namespace varnex
