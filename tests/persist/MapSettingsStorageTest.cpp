// The site plan's coordinate system and the plume map's choices are settings
// of the project: the JSON form and the project file's trailing block keep
// them, a project that uses none is written byte for byte as before, and a
// reader of the file's layout alone, which stops before the block, gets the
// same project but for these settings.

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "model/Project.h"
#include "persist/ProjectFile.h"
#include "persist/ProjectJson.h"
#include "support/ModelBuilders.h"
#include "support/ProgramStateTest.h"
#include "support/TempDirectory.h"

namespace varnex {
namespace {

class MapSettingsStorage : public test::ProgramStateTest {
protected:
    static Project WithMapSettings() {
        Project project = test::ValidLevel1Project();
        SetMapSettings(project);
        return project;
    }
    static void SetMapSettings(Project& project) {
        project.coordinateSystemEpsg = 27700;
        project.plumeMap.kind = PlumeMapKind::probability;
        project.plumeMap.quantity = PlumeMapQuantity::percentile;
        project.plumeMap.shownPercentile = 90;
        project.plumeMap.percentiles = {10, 50, 90};
    }

    static void ExpectSameMapSettings(const Project& read, const Project& written) {
        EXPECT_EQ(read.coordinateSystemEpsg, written.coordinateSystemEpsg);
        EXPECT_TRUE(read.plumeMap == written.plumeMap);
    }

    // The document with one member of the map settings replaced.
    static std::string Replaced(std::string text, const std::string& from, const std::string& to) {
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos) text.replace(at, from.size(), to);
        return text;
    }

    test::TempDirectory folder_;
};

TEST_F(MapSettingsStorage, TheJsonFormKeepsThemAndWritesNothingForTheDefaults) {
    const Project plain = test::ValidLevel1Project();
    const std::string plainText = WriteProjectJson(plain);
    EXPECT_EQ(plainText.find("coordinateSystem"), std::string::npos);
    EXPECT_EQ(plainText.find("plumeMap"), std::string::npos);

    const Project project = WithMapSettings();
    const std::string text = WriteProjectJson(project);
    EXPECT_NE(text.find("\"coordinateSystem\": \"EPSG:27700\""), std::string::npos) << text;
    Project read;
    std::vector<std::string> problems;
    ASSERT_TRUE(ReadProjectJson(text, read, problems)) << problems[0];
    ExpectSameMapSettings(read, project);
    EXPECT_EQ(WriteProjectJson(read), text);

    // Every member of "plumeMap" may be left out, keeping its default.
    const std::string partial = Replaced(
        plainText, "\"receptors\":", "\"plumeMap\": {\"kind\": \"probability\"}, \"receptors\":");
    ASSERT_TRUE(ReadProjectJson(partial, read, problems)) << problems[0];
    PlumeMapChoices expected;
    expected.kind = PlumeMapKind::probability;
    EXPECT_TRUE(read.plumeMap == expected);
    EXPECT_EQ(read.coordinateSystemEpsg, 0);
}

TEST_F(MapSettingsStorage, BadValuesInTheJsonFormAreNamedEachByItsPath) {
    const std::string text = WriteProjectJson(WithMapSettings());
    struct Case {
        std::string from, to, problem;
    };
    const std::vector<Case> cases{
        {"\"EPSG:27700\"", "\"27700\"", "/coordinateSystem: expected \"EPSG:\""},
        {"\"EPSG:27700\"", "\"EPSG:-5\"", "/coordinateSystem: expected \"EPSG:\""},
        {"\"EPSG:27700\"", "\"EPSG:27700x\"", "/coordinateSystem: expected \"EPSG:\""},
        {"\"EPSG:27700\"", "27700", "/coordinateSystem: expected \"EPSG:\""},
        {"\"probability\"", "\"chance\"", "/plumeMap/kind: expected"},
        {"\"percentile\"", "\"median\"", "/plumeMap/quantity: expected"},
        {"\"shownPercentile\": 90", "\"shownPercentile\": 95",
         "/plumeMap/shownPercentile: expected one of the percentile levels computed (10,50,90)"},
        {"\"shownPercentile\": 90", "\"shownPercentile\": 100", "/plumeMap/shownPercentile:"},
        {"\"plumeMap\": {", "\"plumeMap\": {\"colour\": 1, ", "/plumeMap/colour: unknown key"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.to);
        Project read;
        std::vector<std::string> problems;
        EXPECT_FALSE(ReadProjectJson(Replaced(text, c.from, c.to), read, problems));
        ASSERT_EQ(problems.size(), 1u);
        EXPECT_EQ(problems[0].rfind(c.problem, 0), 0u) << problems[0];
    }
    // Two bad members of one object: both are named in one reading.
    std::string twice = Replaced(text, "\"probability\"", "3");
    twice = Replaced(twice, "\"percentiles\": [", "\"percentiles\": [0, ");
    Project read;
    std::vector<std::string> problems;
    EXPECT_FALSE(ReadProjectJson(twice, read, problems));
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].rfind("/plumeMap/kind:", 0), 0u) << problems[0];
    EXPECT_EQ(problems[1].rfind("/plumeMap/percentiles/0:", 0), 0u) << problems[1];
}

TEST_F(MapSettingsStorage, TheProjectFileKeepsThemAndDefaultsWriteTheSameBytes) {
    ProjectSaveOptions save;
    save.dateSaved = "2026-12-09 23:00:00";
    std::string error;
    // The choices set and set back: the file is the one of the project
    // before it had them.
    Project project = WithMapSettings();
    project.coordinateSystemEpsg = 0;
    project.plumeMap = PlumeMapChoices();
    const std::string samePath = folder_.File("same.vnx");
    ASSERT_TRUE(SaveProject(project, samePath, save, error)) << error;
    const std::string before = test::ReadFileBytes(samePath);
    SetMapSettings(project);
    ASSERT_TRUE(SaveProject(project, samePath, save, error)) << error;
    EXPECT_NE(test::ReadFileBytes(samePath), before);
    project.coordinateSystemEpsg = 0;
    project.plumeMap = PlumeMapChoices();
    ASSERT_TRUE(SaveProject(project, samePath, save, error)) << error;
    EXPECT_EQ(test::ReadFileBytes(samePath), before);

    project = WithMapSettings();
    const std::string path = folder_.File("map.vnx");
    ASSERT_TRUE(SaveProject(project, path, save, error)) << error;
    Project read;
    ProjectLoadOutcome outcome;
    ASSERT_TRUE(LoadProject(path, read, error, ProjectLoadOptions{}, outcome)) << error;
    EXPECT_EQ(outcome.integrity, FileIntegrity::intact);
    ExpectSameMapSettings(read, project);

    // Only the settings that differ from the default are written: the
    // kind alone.
    Project kindOnly = test::ValidLevel1Project();
    kindOnly.plumeMap.kind = PlumeMapKind::probability;
    const std::string kindPath = folder_.File("kind.vnx");
    ASSERT_TRUE(SaveProject(kindOnly, kindPath, save, error)) << error;
    const std::string kindBytes = test::ReadFileBytes(kindPath);
    EXPECT_NE(kindBytes.find("Plume Map"), std::string::npos);
    EXPECT_EQ(kindBytes.find("Plume Map Percentiles"), std::string::npos);
    EXPECT_EQ(kindBytes.find("Coordinate System"), std::string::npos);
    ASSERT_TRUE(LoadProject(kindPath, read, error)) << error;
    ExpectSameMapSettings(read, kindOnly);
}

// A reader of the layout alone stops after the standard selection: this
// program's reader does the same when the block's marker is not there, so
// the file with its marker bytes overwritten is what such a reader sees.
TEST_F(MapSettingsStorage, AReaderOfTheLayoutAloneGetsTheSameProjectButTheseSettings) {
    Project project = WithMapSettings();
    ProjectSaveOptions save;
    save.dateSaved = "2026-12-09 23:00:00";
    std::string error;
    const std::string path = folder_.File("map.vnx");
    ASSERT_TRUE(SaveProject(project, path, save, error)) << error;
    std::string bytes = test::ReadFileBytes(path);
    const std::size_t marker = bytes.rfind("VNXB");
    ASSERT_NE(marker, std::string::npos);
    bytes.replace(marker, 4, "none");
    Project layoutOnly;
    ProjectLoadOutcome outcome;
    ASSERT_TRUE(LoadProjectFromBytes(bytes, layoutOnly, error, path, ProjectLoadOptions{}, outcome))
        << error;
    EXPECT_EQ(outcome.integrity, FileIntegrity::unchecked);
    EXPECT_EQ(layoutOnly.coordinateSystemEpsg, 0);
    EXPECT_TRUE(layoutOnly.plumeMap.IsDefault());

    Project full;
    ASSERT_TRUE(LoadProject(path, full, error)) << error;
    full.coordinateSystemEpsg = 0;
    full.plumeMap = PlumeMapChoices();
    EXPECT_EQ(WriteProjectJson(layoutOnly), WriteProjectJson(full));
}

// Values a later program might write, or a damaged block: the file is read,
// each unreadable setting at its default, the others as stored.
TEST_F(MapSettingsStorage, UnreadableValuesInTheProjectFileAreTheDefaults) {
    Project project = WithMapSettings();
    // A code without repeated digits: the file's run-length coding leaves
    // its text as it is, to be found and changed here.
    project.coordinateSystemEpsg = 25832;
    std::string error;
    const std::string path = folder_.File("map.vnx");
    ASSERT_TRUE(SaveProject(project, path, false, error)) << error;
    std::string bytes = test::ReadFileBytes(path);
    for (const auto& [from, to] :
         std::vector<std::pair<std::string, std::string>>{{"EPSG:25832", "EPSG:2583x"},
                                                          {"10,50,90", "10,50,9x"},
                                                          {"percentile", "percentage"}}) {
        const std::size_t at = bytes.rfind(from);
        ASSERT_NE(at, std::string::npos) << from;
        bytes.replace(at, from.size(), to);
    }
    ProjectLoadOptions accept;
    accept.acceptDamaged = true; // the checksum no longer matches, knowingly
    ProjectLoadOutcome outcome;
    Project read;
    ASSERT_TRUE(LoadProjectFromBytes(bytes, read, error, path, accept, outcome)) << error;
    EXPECT_EQ(read.coordinateSystemEpsg, 0);
    EXPECT_EQ(read.plumeMap.quantity, PlumeMapQuantity::exceedance);
    EXPECT_EQ(read.plumeMap.percentiles, (std::vector<int>{50, 95}));
    EXPECT_EQ(read.plumeMap.kind, PlumeMapKind::probability);
    EXPECT_EQ(read.plumeMap.shownPercentile, 90);
}

} // namespace
} // namespace varnex
