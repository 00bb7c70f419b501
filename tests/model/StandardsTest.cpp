// Reading the standards list and data files, and applying a standard set.

#include <cmath>
#include <gtest/gtest.h>
#include <utility>

#include "base/Exception.h"
#include "model/Project.h"
#include "model/StandardsFiles.h"
#include "support/ScriptedRandomSource.h"
#include "support/TempDirectory.h"

namespace varnex {
namespace {

// A whole number of ug/l or ng/l converts to the double nearest its value
// in mg/l, to the bit, so that the standard is the number a user would type:
// 700 ug/l is 0.7 mg/l (700 x 0.001 would give 0.7000000000000001).
TEST(StandardsDataLine, WholeMicrogramsAreTheNearestMilligrams) {
    const std::pair<const char*, double> cases[] = {
        {"Toluene, 2, 700, ug/l, y, o", 0.7}, {"Benzene, 1, 1, ug/l, y, o", 0.001},
        {"Lead, 110, 3, ug/l, y, i", 0.003},  {"Nickel, 109, 20, ug/l, y, i", 0.02},
        {"PFOA, 60, 7, ng/l, y, o", 7e-06},   {"Xylenes, 4, 500, ug/l, y, o", 0.5},
    };
    for (const auto& [text, mgPerL] : cases) {
        const auto line = ParseStandardsDataLine(text);
        ASSERT_TRUE(line.has_value()) << text;
        EXPECT_EQ(line->standardMgPerL, mgPerL) << text;
    }
}

TEST(StandardsDataLine, FieldsUnitsFlagsAndKinds) {
    struct Case {
        const char* line;
        const char* name;
        int identifier;
        double mgPerL;
        int flag;
        bool organic;
    } cases[] = {
        {"Benzene, 1, 1.0, ug/l, y, o", "Benzene", 1, 0.001, 1, true},
        {"Arsenic, 101, 10, ug/l, y, i", "Arsenic", 101, 0.01, 1, false},
        {"Nitrate, 120, 50, mg/l, n, i", "Nitrate", 120, 50, 0, false},
        {"PFOA, 60, 4.0, ng/l, y, o", "PFOA", 60, 4e-06, 1, true},
        {"\"1,2-Dichloroethane\" , 12, 3.0, ug/l, y, o", "1,2-Dichloroethane", 12, 0.003, 1, true},
        {"\"Benzo(a)pyrene\", 20, 0.01, ug/l, yes, organic", "Benzo(a)pyrene", 20, 1e-05, 1, true},
        // Further tokens are ignored; a Windows line end is tolerated.
        {"Lead, 110, 5, ug/l, y, i, extra tokens\r", "Lead", 110, 0.005, 1, false},
        {"Toluene, 2, 700, Ug/l, N, I", "Toluene", 2, 700, 0, true},
        {"Toluene, 2, 700, ug/l, y, o", "Toluene", 2, 0.7, 1, true},
    };
    for (const Case& c : cases) {
        const auto line = ParseStandardsDataLine(c.line);
        ASSERT_TRUE(line.has_value()) << c.line;
        EXPECT_EQ(line->name, c.name);
        EXPECT_EQ(line->identifier, c.identifier);
        EXPECT_NEAR(line->standardMgPerL, c.mgPerL, 1e-15 + 1e-12 * c.mgPerL) << c.line;
        EXPECT_EQ(line->flag, c.flag) << c.line;
        EXPECT_EQ(line->organic, c.organic) << c.line;
    }
}

TEST(StandardsDataLine, LinesLackingTheirFieldsAreSkipped) {
    for (const char* line :
         {"", "   ", "Benzene", "Benzene, 1, 1.0, ug/l, y", "Benzene, x, 1.0, ug/l, y, o",
          "\"Unterminated, 1, 1.0, ug/l, y, o", "\"\" , 1, 1.0, ug/l, y, o", ", 1, 1.0, ug/l, y, o",
          "Benzene, 1, abc, ug/l, y, o"})
        EXPECT_FALSE(ParseStandardsDataLine(line).has_value()) << line;
}

TEST(StandardsListLine, NameAndFileBetweenQuotes) {
    const auto entry = ParseStandardsListLine("\"EU Directive\" \"wqs_eu.dat\"");
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->name, "EU Directive");
    EXPECT_EQ(entry->fileName, "wqs_eu.dat");
    EXPECT_FALSE(ParseStandardsListLine("\"EU Directive\" wqs_eu.dat").has_value());
    EXPECT_FALSE(ParseStandardsListLine("").has_value());
}

class StandardsFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ResetProgramState();
        test::WriteFileBytes(dir.File("Regs.dat"),
                             "\"Set A\" \"a.dat\"\nnot a set line\n\"Set B\" \"b.dat\"\n");
        test::WriteFileBytes(
            dir.File("a.dat"),
            "Benzene, 1, 1.0, ug/l, y, o\nArsenic, 101, 10, ug/l, n, i\nbroken line\n");
        test::WriteFileBytes(dir.File("b.dat"),
                             "Benzol, 1, 5, ug/l, y, i\nCyanide, 130, 0.2, mg/l, y, i\n");
    }
    test::TempDirectory dir;
};

TEST_F(StandardsFilesTest, TheFirstSetNamingASpeciesDecidesItsNameAndKind) {
    Project project;
    project.LoadStandards(dir.Path().string());
    ASSERT_EQ(project.contaminants.size(), 3u);
    EXPECT_EQ(project.contaminants[0].name, "Benzene");
    EXPECT_TRUE(project.contaminants[0].henryFlag);
    EXPECT_EQ(project.contaminants[0].partitionFromKoc, 1);
    EXPECT_EQ(project.contaminants[1].name, "Arsenic");
    EXPECT_FALSE(project.contaminants[1].henryFlag);
    EXPECT_EQ(project.contaminants[1].partitionFromKoc, 0);
    EXPECT_EQ(project.contaminants[2].name, "Cyanide");
    ASSERT_EQ(project.standardSets.size(), 2u);
    EXPECT_EQ(project.standardSets[0].name, "Set A");
    EXPECT_EQ(project.standardSets[0].records.size(), 2u);
    EXPECT_EQ(project.standardSets[1].records.size(), 2u);
}

TEST_F(StandardsFilesTest, ApplyingEachSelection) {
    Project project;
    project.LoadStandards(dir.Path().string());
    project.standardSelection = 1;
    project.ApplyStandards();
    EXPECT_EQ(project.contaminants[0].standardStatus, 1);
    EXPECT_DOUBLE_EQ(project.contaminants[0].standard, 0.001);
    EXPECT_EQ(project.contaminants[1].standardStatus, 0); // marked "n"
    EXPECT_EQ(project.contaminants[2].standardStatus, 2); // not in set A
    project.standardSelection = 2;
    project.ApplyStandards();
    EXPECT_DOUBLE_EQ(project.contaminants[0].standard, 0.005);
    EXPECT_EQ(project.contaminants[1].standardStatus, 2);
    EXPECT_DOUBLE_EQ(project.contaminants[2].standard, 0.2);
    project.contaminants[0].standard = 0.123; // the user's own value
    project.standardSelection = Project::userDefinedStandardSelection;
    project.ApplyStandards();
    EXPECT_EQ(project.contaminants[0].standardStatus, 0);
    EXPECT_EQ(project.contaminants[0].standard, 0.123);
    project.standardSelection = Project::noStandardSelection;
    project.ApplyStandards();
    for (const Contaminant& c : project.contaminants) EXPECT_EQ(c.standardStatus, 2);
}

TEST_F(StandardsFilesTest, MissingFilesRaiseTheShownError) {
    std::filesystem::remove(dir.File("b.dat"));
    Project project;
    try {
        project.LoadStandards(dir.Path().string());
        FAIL() << "no error raised";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Cannot open wqs file.");
        EXPECT_TRUE(e.Display());
    }
    test::TempDirectory empty;
    EXPECT_THROW(project.LoadStandards(empty.Path().string()), Exception);
}

TEST(ShippedStandards, ThreeSetsOfRealStandards) {
    test::ResetProgramState();
    Project project;
    project.LoadStandards(VARNEX_SOURCE_DIR "/data/Info");
    ASSERT_EQ(project.standardSets.size(), 3u);
    for (const StandardSet& set : project.standardSets)
        EXPECT_GE(set.records.size(), 30u) << set.name;
    // Benzene: 1 ug/l in the EU directive, 10 ug/l WHO, 0.005 mg/l EPA MCL.
    const Contaminant* benzene = nullptr;
    for (const Contaminant& c : project.contaminants)
        if (c.name == "Benzene") benzene = &c;
    ASSERT_NE(benzene, nullptr);
    const double expected[] = {0.001, 0.01, 0.005};
    for (int set = 0; set < 3; ++set) {
        const WaterQualityStandard* record =
            project.standardSets[static_cast<std::size_t>(set)].Find(benzene->identifier);
        ASSERT_NE(record, nullptr);
        EXPECT_NEAR(record->standard, expected[set], 1e-12);
    }
}

} // namespace
} // namespace varnex
