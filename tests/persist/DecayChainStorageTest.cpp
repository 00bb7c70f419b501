// Decay chains in both file forms: the JSON form names the parent and
// writes the yield like any input; the project file keeps both, and the
// yield's samples with results, in its trailing block, exactly. Expected
// values are the ones the test puts in, or texts written out by hand.

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "model/Project.h"
#include "persist/DecayChainSettings.h"
#include "persist/ProjectFile.h"
#include "persist/ProjectFileComparison.h"
#include "persist/ProjectJson.h"
#include "persist/ProjectJsonEdit.h"
#include "stochastic/IterationCount.h"
#include "support/ScriptedRandomSource.h"
#include "support/TempDirectory.h"

namespace varnex {
namespace {

class DecayChainStorageTest : public ::testing::Test {
protected:
    // The gasworks example (level 3, degradation everywhere) with the chain
    // Benzene -> Toluene -> Ethylbenzene -> Xylenes (total), four members;
    // the yields are of three kinds of distribution, with values that need
    // all 17 digits.
    void SetUp() override {
        test::ResetProgramState();
        std::vector<std::string> problems;
        ASSERT_TRUE(LoadProjectJsonFile(std::string(VARNEX_SOURCE_DIR) +
                                            "/examples/level3-gasworks-chalk.json",
                                        project, problems));
        Link(1, 2, "SINGLE(0.79233425)");
        Link(2, 3, "TRIANGULAR(0.1,0.35,0.9)");
        Link(3, 4, "NORMAL(0.7,0.05)");
        // Not a double a user types: the text must still carry it exactly.
        Named(4).yield.distribution.mean = 1.0 / 3.0;
    }
    void TearDown() override { test::ResetProgramState(); }

    Contaminant& Named(int identifier) {
        for (Contaminant& c : project.contaminants)
            if (c.identifier == identifier) return c;
        throw std::logic_error("no contaminant " + std::to_string(identifier));
    }
    void Link(int parent, int daughter, const std::string& yield) {
        Named(daughter).parentIdentifier = parent;
        ASSERT_TRUE(Named(daughter).yield.distribution.Parse(yield)) << yield;
    }
    // Every field a distribution stores, compared exactly.
    static void ExpectSameYield(const StochasticParameter& expected,
                                const StochasticParameter& actual) {
        const Distribution& e = expected.distribution;
        const Distribution& a = actual.distribution;
        EXPECT_EQ(a.type, e.type);
        for (auto field :
             {&Distribution::singleValue, &Distribution::minimum, &Distribution::likely,
              &Distribution::maximum, &Distribution::mean, &Distribution::standardDeviation,
              &Distribution::bias, &Distribution::probability, &Distribution::rate,
              &Distribution::minLimit, &Distribution::maxLimit})
            EXPECT_EQ(a.*field, e.*field) << e.Format(17);
        EXPECT_EQ(a.trials, e.trials);
        EXPECT_EQ(actual.Label(), "Yield [mg/mg]");
    }

    Project project;
    test::TempDirectory folder;
};

TEST_F(DecayChainStorageTest, TheJsonFormNamesTheParentAndReadsItBack) {
    const std::string text = WriteProjectJson(project);
    const nlohmann::json document = nlohmann::json::parse(text);
    const nlohmann::json& toluene = document["contaminants"][1];
    EXPECT_EQ(toluene["parent"], "Benzene");
    EXPECT_EQ(toluene["yield"], "SINGLE(0.79233425)");
    // Benzene heads the chain: neither key, as before chains.
    EXPECT_FALSE(document["contaminants"][0].contains("parent"));
    EXPECT_FALSE(document["contaminants"][0].contains("yield"));
    EXPECT_FALSE(document["contaminants"][4].contains("parent"));

    Project read;
    std::vector<std::string> problems;
    ASSERT_TRUE(ReadProjectJson(text, read, problems)) << problems.front();
    for (int id : {2, 3, 4}) {
        const Contaminant* daughter = read.FindContaminant(id);
        ASSERT_NE(daughter, nullptr);
        EXPECT_EQ(daughter->parentIdentifier, id - 1);
        // The JSON form keeps 15 digits, which the yields typed have.
        if (id != 4) ExpectSameYield(Named(id).yield, daughter->yield);
    }
    EXPECT_EQ(read.FindContaminant(1)->parentIdentifier, Contaminant::noParent);
    // A parent listed after its daughter reads as well; written again, the
    // document is the same text.
    EXPECT_EQ(WriteProjectJson(read), text);
}

TEST_F(DecayChainStorageTest, TheJsonReaderReportsAParentItCannotFindWithTheOtherProblems) {
    nlohmann::json document = nlohmann::json::parse(WriteProjectJson(project));
    document["contaminants"][1]["parent"] = "Benzol";
    document["contaminants"][2]["parent"] = true;
    document["contaminants"][3]["parent"] = 999;
    document["contaminants"][3]["yield"] = "SINGEL(1)";
    document["receptors"][0]["x"] = "far";
    Project read;
    std::vector<std::string> problems;
    EXPECT_FALSE(ReadProjectJson(document.dump(), read, problems));
    const auto has = [&](const std::string& text) {
        for (const std::string& problem : problems)
            if (problem.find(text) != std::string::npos) return true;
        return false;
    };
    EXPECT_TRUE(has("/contaminants/1/parent: no contaminant is named \"Benzol\""));
    EXPECT_TRUE(has("/contaminants/2/parent: expected a contaminant's name or null, found "
                    "boolean true"));
    EXPECT_TRUE(has("/contaminants/3/parent: no contaminant has the identifier 999"));
    EXPECT_TRUE(has("/contaminants/3/yield"));
    EXPECT_TRUE(has("/receptors/0/x"));
    // Null is no parent.
    document = nlohmann::json::parse(WriteProjectJson(project));
    document["contaminants"][1]["parent"] = nullptr;
    ASSERT_TRUE(ReadProjectJson(document.dump(), read, problems));
    EXPECT_EQ(read.FindContaminant(2)->parentIdentifier, Contaminant::noParent);
}

TEST_F(DecayChainStorageTest, ScriptsSetTheParentAndTheYieldByPointer) {
    // Arsenic (index 4) has neither key until a script sets one; the yield
    // first, then the parent, or the other way round.
    ASSERT_TRUE(
        EditProjectJson(project, "/contaminants/4/yield", JsonEditValue::Number(0.5, "0.5")));
    EXPECT_EQ(Named(101).yield.Format(), "SINGLE(0.5)");
    const JsonEditResult set =
        EditProjectJson(project, "/contaminants/4/parent", JsonEditValue::Text("Xylenes (total)"));
    ASSERT_TRUE(set) << set.message;
    EXPECT_EQ(Named(101).parentIdentifier, 4);
    EXPECT_EQ(Named(101).yield.Format(), "SINGLE(0.5)");
    // An empty text is no parent.
    ASSERT_TRUE(EditProjectJson(project, "/contaminants/1/parent", JsonEditValue::Text("")));
    EXPECT_EQ(Named(2).parentIdentifier, Contaminant::noParent);
    // Refusals: a name no contaminant has, a yield that is no distribution, a
    // truth value for a parent.
    const JsonEditResult unknown =
        EditProjectJson(project, "/contaminants/2/parent", JsonEditValue::Text("Benzol"));
    EXPECT_EQ(unknown.problem, JsonEditProblem::invalid);
    EXPECT_NE(unknown.message.find("no contaminant is named \"Benzol\""), std::string::npos);
    EXPECT_EQ(
        EditProjectJson(project, "/contaminants/2/yield", JsonEditValue::Text("SINGEL(1)")).problem,
        JsonEditProblem::invalid);
    EXPECT_EQ(
        EditProjectJson(project, "/contaminants/2/parent", JsonEditValue::Truth(true)).problem,
        JsonEditProblem::wrongType);
    EXPECT_EQ(Named(3).parentIdentifier, 2);
    // Only contaminants the project has.
    EXPECT_EQ(
        EditProjectJson(project, "/contaminants/5/parent", JsonEditValue::Text("Benzene")).problem,
        JsonEditProblem::namesNothing);
}

TEST_F(DecayChainStorageTest, TheProjectFileKeepsAFourMemberChainAndTheYieldSamplesExactly) {
    // Results as a run leaves them for the yields: one sample per
    // iteration, values no short text would carry.
    const int n = IterationCount();
    ASSERT_GT(n, static_cast<int>(DecayChainSettings::samplesPerChunk) * 2);
    for (int id : {2, 3, 4}) {
        std::vector<double> samples;
        for (int i = 0; i < n; ++i)
            samples.push_back(std::nextafter(0.1 * id + i / 7.0, 1.0e9) *
                              (i % 5 == 0 ? 1e-300 : 1.0));
        Named(id).yield.SetSamples(std::move(samples));
    }
    project.resultsValid = true;
    const std::string path = folder.File("chain.vnx");
    std::string error;
    ASSERT_TRUE(SaveProject(project, path, true, error)) << error;

    Project loaded;
    ASSERT_TRUE(LoadProject(path, loaded, error)) << error;
    EXPECT_TRUE(loaded.resultsValid);
    for (int id : {2, 3, 4}) {
        SCOPED_TRACE(id);
        const Contaminant* daughter = loaded.FindContaminant(id);
        ASSERT_NE(daughter, nullptr);
        EXPECT_EQ(daughter->parentIdentifier, id - 1);
        ExpectSameYield(Named(id).yield, daughter->yield);
        EXPECT_EQ(daughter->yield.Samples(), Named(id).yield.Samples());
        // An identity of its own, none of the loaded inputs'.
        for (const Contaminant& other : loaded.contaminants)
            for (const auto& field : Contaminant::ParameterFields())
                EXPECT_NE((other.*field.member).id, daughter->yield.id);
    }
    EXPECT_EQ(loaded.FindContaminant(1)->parentIdentifier, Contaminant::noParent);
    test::ExpectSameStoredProject(project, loaded, true);

    // Saved without results the samples stay behind.
    ASSERT_TRUE(SaveProject(loaded, path, false, error)) << error;
    Project again;
    ASSERT_TRUE(LoadProject(path, again, error)) << error;
    EXPECT_EQ(again.FindContaminant(4)->parentIdentifier, 3);
    EXPECT_EQ(again.FindContaminant(4)->yield.SampleCount(), 0u);
}

TEST_F(DecayChainStorageTest, EveryKindOfYieldReadsBackAsTheSameDoubles) {
    const char* texts[] = {
        "SINGLE(0.1)",
        "UNIFORM(0.1,0.7000000000000001)",
        "LOGUNIFORM(0.01,0.9)",
        "TRIANGULAR(0.1,0.2,0.3)",
        "LOGTRIANGULAR(0.01,0.1,0.9)",
        "NORMAL(0.3,0.1)",
        "LOGNORMAL(0.3,0.1)",
        "POISSON(0.3)",
        "BINOMIAL(3,0.2)",
        "EXPONENTIAL(0.4)",
        "BOOLEAN(0.25)",
    };
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        Contaminant& daughter = Named(2);
        ASSERT_TRUE(daughter.yield.distribution.Parse(text)) << daughter.yield.ErrorText();
        // A third of each argument is no short decimal.
        for (auto field :
             {&Distribution::singleValue, &Distribution::minimum, &Distribution::likely,
              &Distribution::maximum, &Distribution::mean, &Distribution::standardDeviation,
              &Distribution::probability, &Distribution::rate})
            daughter.yield.distribution.*field /= 3.0;
        const std::vector<DecayChainSettings::Setting> settings =
            DecayChainSettings::Write(project, false);
        Project read = project;
        Contaminant* copy = nullptr;
        for (Contaminant& c : read.contaminants)
            if (c.identifier == 2) copy = &c;
        copy->yield = Contaminant().yield;
        copy->parentIdentifier = Contaminant::noParent;
        DecayChainSettings::Apply(settings, 0, read);
        EXPECT_EQ(copy->parentIdentifier, 1);
        // Only the fields the type uses are written.
        EXPECT_EQ(copy->yield.distribution.Format(17), daughter.yield.distribution.Format(17));
        EXPECT_EQ(copy->yield.distribution.type, daughter.yield.distribution.type);
    }
}

TEST_F(DecayChainStorageTest, SettingsThatDoNotReadArePassedOver) {
    const int n = 3;
    const std::vector<DecayChainSettings::Setting> settings = {
        {"Decay Chain Parent 2", "1"},
        {"Decay Chain Parent 77", "1"},  // no such contaminant
        {"Decay Chain Parent 3", "two"}, // not a number
        {"Decay Chain Yield 2", "SINGLE(0.5)"},
        {"Decay Chain Yield 3", "SINGEL(0.5)"}, // kept with its error for the check
        // Contaminant 2's samples complete; 4's miss chunk 0.
        {"Decay Chain Yield Samples 2 0", "0.25 0.5"},
        {"Decay Chain Yield Samples 2 1", "0.75"},
        {"Decay Chain Yield Samples 4 1", "0.1 0.2 0.3"},
    };
    Project read = project;
    for (Contaminant& c : read.contaminants) {
        c.parentIdentifier = Contaminant::noParent;
        c.yield = Contaminant().yield;
    }
    DecayChainSettings::Apply(settings, n, read);
    EXPECT_EQ(read.FindContaminant(2)->parentIdentifier, 1);
    EXPECT_EQ(read.FindContaminant(3)->parentIdentifier, Contaminant::noParent);
    EXPECT_EQ(read.FindContaminant(2)->yield.Samples(), (std::vector<double>{0.25, 0.5, 0.75}));
    EXPECT_EQ(read.FindContaminant(4)->yield.SampleCount(), 0u);
    Contaminant copy = *read.FindContaminant(3);
    EXPECT_FALSE(copy.yield.IsValid());
}

} // namespace
} // namespace varnex
