// Editing a project through its JSON form by pointer, as scripts and
// scenario tables do: each kind of place takes its own kind of value, an
// input's text must be a distribution, and a refusal says why and leaves
// the project as it was.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "model/Project.h"
#include "persist/ProjectJson.h"
#include "persist/ProjectJsonEdit.h"
#include "support/ProgramStateTest.h"

namespace varnex {
namespace {

class ProjectJsonEdit : public test::ProgramStateTest {};

Project Gasworks() {
    Project project;
    std::vector<std::string> problems;
    EXPECT_TRUE(LoadProjectJsonFile(VARNEX_SOURCE_DIR "/examples/level3-gasworks-chalk.json",
                                    project, problems));
    return project;
}

nlohmann::json At(const Project& project, const std::string& pointer) {
    return nlohmann::json::parse(WriteProjectJson(project))[nlohmann::json::json_pointer(pointer)];
}

TEST_F(ProjectJsonEdit, CellsAreTypedAsTheyAreWritten) {
    using Kind = JsonEditValue::Kind;
    const struct {
        const char* cell;
        Kind kind;
    } cases[] = {
        {"250", Kind::integer},   {"-3", Kind::integer},     {"2.5", Kind::number},
        {"1e-4", Kind::number},   {"250.", Kind::number},    {"TRUE", Kind::truth},
        {" false ", Kind::truth}, {"SINGLE(2)", Kind::text}, {"", Kind::text},
        {"1,2", Kind::text},      {"12 m", Kind::text},
    };
    for (const auto& c : cases) EXPECT_EQ(JsonEditValue::OfCell(c.cell).kind, c.kind) << c.cell;
    EXPECT_EQ(JsonEditValue::OfCell(" 1e-4").text, "1e-4");
    EXPECT_EQ(JsonEditValue::OfCell("-3").integer, -3);
}

TEST_F(ProjectJsonEdit, EachPlaceTakesItsKindOfValue) {
    Project project = Gasworks();
    ASSERT_TRUE(EditProjectJson(project, "/sources/0/infiltration",
                                JsonEditValue::Text("TRIANGULAR(100,250,400)")));
    EXPECT_EQ(At(project, "/sources/0/infiltration"), "TRIANGULAR(100,250,400)");
    // A number for an input is its single value, as written.
    ASSERT_TRUE(
        EditProjectJson(project, "/aquifer/hydraulicGradient", JsonEditValue::OfCell("0.002")));
    EXPECT_EQ(At(project, "/aquifer/hydraulicGradient"), "SINGLE(0.002)");
    ASSERT_TRUE(EditProjectJson(project, "/sources/1/name", JsonEditValue::Text("Yard (west)")));
    EXPECT_EQ(project.sources[1].name, "Yard (west)");
    ASSERT_TRUE(
        EditProjectJson(project, "/processes/biodegradationAquifer", JsonEditValue::Truth(false)));
    EXPECT_FALSE(project.processes.biodegradationAquifer);
    ASSERT_TRUE(EditProjectJson(project, "/sources/0/timeOffset", JsonEditValue::OfCell("5")));
    EXPECT_EQ(project.sources[0].timeOffset, 5.0);
}

TEST_F(ProjectJsonEdit, RefusalsSayWhyAndChangeNothing) {
    const struct {
        const char* pointer;
        JsonEditValue value;
        JsonEditProblem problem;
        const char* words;
    } cases[] = {
        {"/aquifer/hydraulicConductivity", JsonEditValue::Text("LOGUNIFORM(5e-4,5e-5)"),
         JsonEditProblem::invalid, "Minimum greater than maximum"},
        {"/aquifer/hydraulicConductivity", JsonEditValue::Text("NORMAL(1"),
         JsonEditProblem::invalid, "\"/aquifer/hydraulicConductivity\""},
        {"/sources/9/infiltration", JsonEditValue::Text("SINGLE(1)"), JsonEditProblem::namesNothing,
         "names nothing"},
        {"sources/0", JsonEditValue::Text("x"), JsonEditProblem::notAPointer, "not a JSON pointer"},
        {"", JsonEditValue::Text("x"), JsonEditProblem::namesNothing, "names nothing"},
        {"/sources/0/name", JsonEditValue::OfCell("3"), JsonEditProblem::wrongType, "takes a text"},
        {"/iterations", JsonEditValue::OfCell("2.5"), JsonEditProblem::wrongType, "whole number"},
        {"/processes/biodegradationAquifer", JsonEditValue::OfCell("1"), JsonEditProblem::wrongType,
         "true or false"},
        {"/sources/0/vertices", JsonEditValue::OfCell("1"), JsonEditProblem::wrongType,
         "list or an object"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pointer);
        Project project = Gasworks();
        const std::string before = WriteProjectJson(project);
        const JsonEditResult result = EditProjectJson(project, c.pointer, c.value);
        EXPECT_EQ(result.problem, c.problem);
        EXPECT_NE(result.message.find(c.words), std::string::npos) << result.message;
        EXPECT_TRUE(WriteProjectJson(project) == before) << "the project changed";
    }
}

} // namespace
} // namespace varnex
