// What the reader says about documents that are not valid projects: every
// bad, unknown or missing field is one problem naming its JSON pointer, all
// of them are reported together, hostile text never crashes the reader, and
// a refused document leaves a reset project with its standard sets intact.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "model/Project.h"
#include "persist/ProjectFile.h"
#include "persist/ProjectJson.h"
#include "stochastic/IterationCount.h"
#include "support/ProgramStateTest.h"
#include "support/ScriptedRandomSource.h"
#include "support/TempDirectory.h"

namespace varnex {
namespace {

using Json = nlohmann::ordered_json;

// A small valid project that every case spoils in one place.
const char* const baseDocument = R"json({
  "format": "varnex-project", "formatVersion": 1, "iterations": 500, "timeSlices": [10, 100],
  "simulationLevel": 3,
  "aquifer": {"thickness": "TRIANGULAR(4,6,8)"},
  "contaminants": [{"name": "Benzene", "identifier": 1, "koc": "66"}],
  "sources": [{
    "name": "Tank", "vertices": [[0, 0], [10, 0], [10, 5]], "fillColour": 2,
    "pathways": [{"name": "Sand", "thickness": "2"}],
    "inventory": [{"contaminant": 1, "active": true, "concentration": "5",
                   "pathwayProperties": [{"uzHalfLife": "1"}]}]
  }],
  "receptors": [{"name": "Well", "x": 200, "y": 0}],
  "correlations": [{"name": "c", "reference": "/aquifer/thickness",
                    "correlated": "/contaminants/0/koc", "value": 0.5}]
})json";

std::vector<std::string> Problems(const std::string& text, Project& project) {
    std::vector<std::string> problems;
    const bool read = ReadProjectJson(text, project, problems);
    EXPECT_EQ(read, problems.empty());
    return problems;
}

std::vector<std::string> Problems(const std::string& text) {
    Project project;
    return Problems(text, project);
}

struct Spoiled {
    const char* pointer; // where the value is put (or, with remove, taken away)
    const char* value;   // JSON text
    const char* problem; // the one expected problem, from its start
    bool remove = false;
};

void PrintTo(const Spoiled& c, std::ostream* out) { *out << c.pointer << " = " << c.value; }

class ProjectJsonProblemsTest : public test::ProgramStateTest {};

class ProjectJsonSpoiledFieldTest : public ProjectJsonProblemsTest,
                                    public ::testing::WithParamInterface<Spoiled> {};

TEST_F(ProjectJsonProblemsTest, BaseDocumentIsValid) {
    Project project;
    EXPECT_TRUE(Problems(baseDocument, project).empty());
    EXPECT_EQ(project.correlations.Count(), 1u);
}

TEST_P(ProjectJsonSpoiledFieldTest, GivesOneProblemAtItsPath) {
    const Spoiled& c = GetParam();
    Json document = Json::parse(baseDocument);
    const Json::json_pointer pointer(c.pointer);
    if (c.remove)
        document[pointer.parent_pointer()].erase(pointer.back());
    else
        document[pointer] = Json::parse(c.value);
    const std::vector<std::string> problems = Problems(document.dump());
    ASSERT_EQ(problems.size(), 1u) << ::testing::PrintToString(problems);
    EXPECT_EQ(problems[0].substr(0, std::string(c.problem).size()), c.problem) << problems[0];
}

// Texts longer than one string of a project file holds (16383 bytes): a
// comment pasted from a report, a name of characters that take three bytes
// (in UTF-8, since Windows-1252 has no byte for them), and a name one byte
// over.
const std::string twentyThousandCharacters = "\"" + std::string(20000, 'c') + "\"";
std::string Repeated(const std::string& piece, int times) {
    std::string text;
    for (int k = 0; k < times; ++k) text += piece;
    return text;
}
const std::string euros = "\"" + Repeated("\u6c34", 5500) + "\"";
const std::string oneByteOver = "\"" + std::string(16384, 'n') + "\"";

INSTANTIATE_TEST_SUITE_P(
    ProjectJson, ProjectJsonSpoiledFieldTest,
    ::testing::Values(
        // Wrong types.
        Spoiled{"/simulationLevel", R"("3")",
                "/simulationLevel: expected an integer, found string \"3\""},
        Spoiled{"/sources/0/fillColour", "2.0",
                "/sources/0/fillColour: expected an integer, found number 2.0"},
        Spoiled{"/processes", "[]", "/processes: expected an object, found array"},
        Spoiled{"/receptors/0/visible", "1", "/receptors/0/visible: expected true or false"},
        Spoiled{"/receptors/0/x", "null", "/receptors/0/x: expected a number, found null"},
        Spoiled{"/details/title", "7", "/details/title: expected a string"},
        Spoiled{"/sources/0/vertices/1", "[1, 2, 3]",
                "/sources/0/vertices/1: expected a point [x, y]"},
        Spoiled{"/sources/0/vertices/2/1", R"("5")", "/sources/0/vertices/2/1: expected a number"},
        Spoiled{"/aquifer/thickness", "6",
                "/aquifer/thickness: expected a distribution text, null or an object"},
        Spoiled{"/receptors", "{}", "/receptors: expected an array, found object"},
        // Unknown and missing keys.
        Spoiled{"/sources/0/thicknes", R"("2")", "/sources/0/thicknes: unknown key"},
        Spoiled{"/aquifer/thickness", R"({"distribution": "2", "minimum": 1})",
                "/aquifer/thickness/minimum: unknown key"},
        Spoiled{"/a~0b~1c", "1", "/a~0b~1c: unknown key"},
        Spoiled{"/sources/0/name", "", "/sources/0/name: missing required key", true},
        Spoiled{"/contaminants/1", R"({"name": "X"})",
                "/contaminants/1/identifier: missing required key"},
        Spoiled{"/sources/0/inventory/0/contaminant", "",
                "/sources/0/inventory/0/contaminant: missing", true},
        Spoiled{"/format", "", "/format: missing required key", true},
        Spoiled{"/aquifer/thickness", R"({"minLimit": 1})",
                "/aquifer/thickness/distribution: missing required key"},
        // Distribution texts that do not say what they are.
        Spoiled{"/aquifer/thickness", R"j("TRIANGULAR(1,2)")j",
                "/aquifer/thickness: string \"TRIANGULAR(1,2)\" cannot be read: Thickness [m] - "},
        Spoiled{"/sources/0/pathways/0/thickness", R"j("TRIANGLE(1,2,3)")j",
                "/sources/0/pathways/0/thickness: "},
        Spoiled{"/contaminants/0/koc", R"j({"distribution": "NORMAL(nan,1)"})j",
                "/contaminants/0/koc/distribution: "},
        Spoiled{"/contaminants/0/koc", R"("")", "/contaminants/0/koc: empty distribution text"},
        // Texts a project file cannot hold.
        Spoiled{
            "/details/comment", twentyThousandCharacters.c_str(),
            "/details/comment: the text is 20000 bytes long, but a project file holds at most 16383 bytes of "
            "text in one field"},
        Spoiled{"/sources/0/name", euros.c_str(), "/sources/0/name: the text is 16500 bytes long"},
        Spoiled{"/receptors/0/name", oneByteOver.c_str(),
                "/receptors/0/name: the text is 16384 bytes long"},
        // Out of range.
        Spoiled{"/simulationLevel", "5",
                "/simulationLevel: must be an integer from 1 to 4, found number 5"},
        Spoiled{"/standardSelection", "-1", "/standardSelection: must be an integer from 0 to 4"},
        Spoiled{"/iterations", "10001", "/iterations: must be an integer from 0 to 10000"},
        Spoiled{"/sources/0/fillColour", "0",
                "/sources/0/fillColour: must be an integer from 1 to 7"},
        Spoiled{"/sources/0/hatchStyle", "70000",
                "/sources/0/hatchStyle: must be an integer from 1 to 7"},
        Spoiled{"/sources/0/decliningSource", "3",
                "/sources/0/decliningSource: must be an integer from 0 to 2"},
        Spoiled{"/sources/0/centreDefinition", "-1",
                "/sources/0/centreDefinition: must be an integer from 0 to 2"},
        Spoiled{"/sources/0/pathways/0/flowModel", "2",
                "/sources/0/pathways/0/flowModel: must be an integer from 0"},
        // Integers beyond every integer type must not wrap into range.
        Spoiled{"/sources/0/drainageSystem", "4294967296",
                "/sources/0/drainageSystem: must be an integer from"},
        Spoiled{"/sources/0/drainageSystem", "18446744073709551615",
                "/sources/0/drainageSystem: must be"},
        Spoiled{"/sources/0/drainageSystem", "-9223372036854775808",
                "/sources/0/drainageSystem: must be"},
        Spoiled{"/contaminants/1", R"({"name": "X", "identifier": 0})",
                "/contaminants/1/identifier: must be an integer from 1"},
        Spoiled{"/timeSlices", "[100, 10]",
                "/timeSlices/1: time slices must be in ascending order"},
        Spoiled{"/timeSlices", "[0.5]", "/timeSlices/0: must be from 1 to 1000000 years"},
        Spoiled{"/timeSlices", "[]", "/timeSlices: at least one time slice is required"},
        // References and the model's own rules.
        Spoiled{"/sources/0/attachedReceptor", "1",
                "/sources/0/attachedReceptor: there is no receptor 1"},
        Spoiled{"/sources/0/inventory/0/contaminant", "2",
                "/sources/0/inventory/0/contaminant: no contaminant"},
        Spoiled{"/sources/0/inventory/1", R"({"contaminant": 1})",
                "/sources/0/inventory/1/contaminant: a second entry"},
        Spoiled{"/sources/0/inventory/0/pathwayProperties/1", "{}",
                "/sources/0/inventory/0/pathwayProperties/1: the source has no pathway 1"},
        Spoiled{"/sources/0/declineFactors", "[1]",
                "/sources/0/declineFactors: decline factors belong only"},
        Spoiled{"/sources/0/pathways", "[]", "/sources/0/pathways: a source needs at least one"},
        Spoiled{"/sources/1", R"({"name": "Tank"})",
                "/sources/1/name: duplicate source name \"Tank\" (also /sources/0/name)"},
        Spoiled{"/receptors/1", R"({"name": "Well"})",
                "/receptors/1/name: duplicate receptor name"},
        Spoiled{"/contaminants/1", R"({"name": "Benzene", "identifier": 2})",
                "/contaminants/1/name: duplicate"},
        Spoiled{"/contaminants/1", R"({"name": "Toluene", "identifier": 1})",
                "/contaminants/1/identifier: duplicate"},
        // Correlations.
        Spoiled{
            "/correlations/0/reference", R"("/aquifer/thicknes")",
            "/correlations/0/reference: string \"/aquifer/thicknes\" does not name a stochastic input"},
        Spoiled{"/correlations/0/reference", R"("/sources/0/pathways/0")",
                "/correlations/0/reference: "},
        Spoiled{"/correlations/0/reference", R"("aquifer/thickness")",
                "/correlations/0/reference: string \"aquifer/thickness\" is not a JSON pointer"},
        Spoiled{"/correlations/0/correlated", R"("/aquifer/thickness")",
                "/correlations/0/correlated: an input cannot be correlated with itself"},
        Spoiled{"/correlations/0/value", "1.5", "/correlations/0/value: must be from -1 to 1"},
        Spoiled{
            "/correlations/1",
            R"({"reference": "/aquifer/thickness", "correlated": "/aquifer/foc", "value": 0})",
            "/correlations/1/reference: this input is already the reference of /correlations/0"},
        // The format itself.
        Spoiled{"/format", R"("varnex")",
                "/format: expected \"varnex-project\", found string \"varnex\""},
        Spoiled{"/formatVersion", "2",
                "/formatVersion: version 2 is newer than this program reads (1)"}));

TEST_F(ProjectJsonProblemsTest, InputsLeftOutOfTheDocumentCanStillBeCorrelated) {
    Json document = Json::parse(baseDocument);
    document["correlations"][0]["correlated"] =
        "/sources/0/inventory/0/pathwayProperties/0/uzPartitionCoefficient";
    document["correlations"][0]["reference"] = "/aquifer/hydraulicGradient";
    Project project;
    EXPECT_TRUE(Problems(document.dump(), project).empty());
    const Correlation& record = project.correlations.Entries().begin()->second;
    EXPECT_EQ(record.referenceParameter, project.aquifer.hydraulicGradient.id);
}

// A document of thousands of bad values: the first hundred problems, then
// how many more there are (before, every one was listed: 1.7 GB of text
// for 20 million).
TEST_F(ProjectJsonProblemsTest, TheFirstHundredProblemsAreListedAndTheRestCounted) {
    Json document = Json::parse(baseDocument);
    for (int k = 0; k < 2500; ++k) document["details"]["unknown" + std::to_string(k)] = k;
    const std::vector<std::string> problems = Problems(document.dump());
    ASSERT_EQ(problems.size(), 101u);
    EXPECT_EQ(problems[0], "/details/unknown0: unknown key");
    EXPECT_EQ(problems[100], "... and 2400 more problems");
}

// The longest text a project file holds is taken, and saved.
TEST_F(ProjectJsonProblemsTest, TheLongestTextAProjectFileHoldsIsTaken) {
    Json document = Json::parse(baseDocument);
    document["details"]["comment"] = std::string(16383, 'c');
    Project project;
    ASSERT_TRUE(Problems(document.dump(), project).empty());
    EXPECT_EQ(project.details.comment.size(), 16383u);
    test::TempDirectory folder;
    std::string error;
    ASSERT_TRUE(SaveProject(project, folder.File("long.vnx"), false, error)) << error;
    Project loaded;
    ASSERT_TRUE(LoadProject(folder.File("long.vnx"), loaded, error)) << error;
    EXPECT_EQ(loaded.details.comment, project.details.comment);
}

TEST_F(ProjectJsonProblemsTest, EveryProblemOfADocumentIsReported) {
    Json document = Json::parse(baseDocument);
    document["iterations"] = -1;
    document["sources"][0]["fillColour"] = 8;
    document["sources"][0]["pathways"][0]["thickness"] = "UNIFORM(2)";
    document["receptors"][0]["colour"] = "red";
    document["correlations"][0]["value"] = "high";
    const std::vector<std::string> problems = Problems(document.dump());
    ASSERT_EQ(problems.size(), 5u) << ::testing::PrintToString(problems);
    EXPECT_EQ(problems[0].rfind("/iterations: ", 0), 0u);
    EXPECT_EQ(problems[1].rfind("/sources/0/fillColour: ", 0), 0u);
    EXPECT_EQ(problems[2].rfind("/sources/0/pathways/0/thickness: ", 0), 0u);
    EXPECT_EQ(problems[3], "/receptors/0/colour: unknown key");
    EXPECT_EQ(problems[4].rfind("/correlations/0/value: expected a number", 0), 0u);
}

TEST_F(ProjectJsonProblemsTest, TextThatIsNotJsonNamesTheByte) {
    const std::vector<std::string> problems = Problems(R"({"format": "varnex-project",, })");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].rfind("byte 29: invalid JSON: ", 0), 0u) << problems[0];
    EXPECT_EQ(Problems("").size(), 1u);
    EXPECT_EQ(Problems("{\"format\": \"\xff\"}").size(), 1u); // not UTF-8
    EXPECT_EQ(Problems("[1] [2]").size(), 1u);
    // A number beyond double is a syntax problem, not an infinity.
    EXPECT_EQ(Problems(R"({"format": "varnex-project", "formatVersion": 1, "iterations": 1e400})"),
              std::vector<std::string>{"byte 68: invalid JSON: number overflow parsing '1e400'"});
    EXPECT_EQ(Problems("[1]"), std::vector<std::string>{"/: expected an object, found array"});
}

TEST_F(ProjectJsonProblemsTest, DeepNestingIsRefusedBeforeParsing) {
    EXPECT_EQ(Problems(std::string(100000, '[')),
              std::vector<std::string>{"byte 65: the document is nested deeper than 64 levels"});
    // Brackets inside strings are text, not nesting.
    Json document = Json::parse(baseDocument);
    document["details"] = {{"comment", std::string(1000, '[') + "\\\"{"}};
    EXPECT_TRUE(Problems(document.dump()).empty());
    // At the limit the document is parsed and judged like any other.
    std::string deep = R"({"format": "varnex-project", "formatVersion": 1, "details": )";
    deep += std::string(62, '[') + std::string(62, ']') + "}";
    EXPECT_EQ(Problems(deep),
              std::vector<std::string>{"/details: expected an object, found array"});
}

TEST_F(ProjectJsonProblemsTest, DocumentsAskingForTooLargeAModelAreRefusedBeforeItIsMade) {
    // Each pathway costs one record per contaminant: the first source's one
    // pathway and the second's 25,000 need 50,002 records, asked for by 75 kB
    // of text.
    Json document = Json::parse(R"({"format": "varnex-project", "formatVersion": 1,
        "contaminants": [{"name": "A", "identifier": 1}, {"name": "B", "identifier": 2}],
        "sources": [{"name": "S"}, {"name": "T"}]})");
    document["sources"][1]["pathways"] = Json(std::vector<Json>(25000, Json::object()));
    EXPECT_EQ(Problems(document.dump()),
              std::vector<std::string>{
                  "/sources/1/pathways: the project would need more than 50000 records of "
                  "pathway properties (pathways times contaminants, over all sources)"});
}

TEST_F(ProjectJsonProblemsTest, DuplicateKeysAreProblemsAtTheirPath) {
    const std::string text = R"({"format": "varnex-project", "formatVersion": 1,
        "sources": [{"name": "A"}, {"name": "B", "fillColour": 2, "fillColour": 3}], "iterations": 5, "iterations": 6})";
    EXPECT_EQ(Problems(text),
              (std::vector<std::string>{
                  "/sources/1/fillColour: duplicate key (only one value of a key can be read)",
                  "/iterations: duplicate key (only one value of a key can be read)"}));
}

TEST_F(ProjectJsonProblemsTest, RefusedDocumentLeavesAResetProjectWithItsStandardSets) {
    Project project;
    project.standardSets.resize(3);
    project.standardSets[1].name = "WHO";
    project.simulationLevel = 2;
    project.sources.emplace_back();
    SetIterationCount(42);
    Json document = Json::parse(baseDocument);
    document["sources"][0]["fillColour"] = 9;
    EXPECT_EQ(Problems(document.dump(), project).size(), 1u);
    EXPECT_TRUE(project.sources.empty());
    EXPECT_TRUE(project.contaminants.empty());
    EXPECT_EQ(project.simulationLevel, 1);
    EXPECT_EQ(IterationCount(), defaultIterationCount);
    ASSERT_EQ(project.standardSets.size(), 3u);
    EXPECT_EQ(project.standardSets[1].name, "WHO");

    EXPECT_TRUE(Problems(baseDocument, project).empty());
    EXPECT_EQ(project.standardSets[1].name, "WHO");
    EXPECT_EQ(IterationCount(), 500);
}

TEST_F(ProjectJsonProblemsTest, UnreadableFileIsOneProblemNamingIt) {
    test::TempDirectory directory;
    Project project;
    std::vector<std::string> problems;
    const std::string missing = directory.File("missing.json");
    EXPECT_FALSE(LoadProjectJsonFile(missing, project, problems));
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].rfind(missing + ": cannot be read", 0), 0u) << problems[0];
    EXPECT_FALSE(LoadProjectJsonFile(directory.Path().string(), project, problems));
    EXPECT_EQ(problems.size(), 1u);
}

} // namespace
} // namespace varnex
