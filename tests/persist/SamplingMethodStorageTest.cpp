// The sampling method is a setting of the project: the JSON form and the
// project file keep it, a project that samples plainly is written as it was
// before the choice existed (no key), and a method a reader does not know
// is a problem in the JSON form but the default in a project file (whose
// trailing block later programs may extend).

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

class SamplingMethodStorage : public test::ProgramStateTest {};

TEST_F(SamplingMethodStorage, TheJsonFormKeepsTheMethodAndWritesNothingForTheDefault) {
    Project project = test::ValidLevel1Project();
    const std::string plain = WriteProjectJson(project);
    EXPECT_EQ(plain.find("samplingMethod"), std::string::npos);

    project.samplingMethod = SamplingMethod::latinHypercube;
    const std::string stratified = WriteProjectJson(project);
    EXPECT_NE(stratified.find("\"samplingMethod\": \"Latin Hypercube\""), std::string::npos);
    Project read;
    std::vector<std::string> problems;
    ASSERT_TRUE(ReadProjectJson(stratified, read, problems));
    EXPECT_EQ(read.samplingMethod, SamplingMethod::latinHypercube);
    EXPECT_EQ(WriteProjectJson(read), stratified);

    ASSERT_TRUE(ReadProjectJson(plain, read, problems));
    EXPECT_EQ(read.samplingMethod, SamplingMethod::monteCarlo);
}

TEST_F(SamplingMethodStorage, AnUnknownMethodInTheJsonFormIsNamed) {
    Project project = test::ValidLevel1Project();
    project.samplingMethod = SamplingMethod::latinHypercube;
    for (const char* wrong : {"\"latin hypercube\"", "\"LHS\"", "2", "null"}) {
        SCOPED_TRACE(wrong);
        std::string text = WriteProjectJson(project);
        const std::string key = "\"samplingMethod\": \"Latin Hypercube\"";
        text.replace(text.find(key), key.size(), std::string("\"samplingMethod\": ") + wrong);
        Project read;
        std::vector<std::string> problems;
        EXPECT_FALSE(ReadProjectJson(text, read, problems));
        ASSERT_EQ(problems.size(), 1u);
        EXPECT_EQ(problems[0].rfind("/samplingMethod: expected \"Monte Carlo\" or \"Latin "
                                    "Hypercube\", found ",
                                    0),
                  0u)
            << problems[0];
    }
}

TEST_F(SamplingMethodStorage, TheProjectFileKeepsTheMethodInItsTrailingBlock) {
    test::TempDirectory folder;
    Project project = test::ValidLevel1Project();
    std::string error;
    const std::string plainPath = folder.File("plain.vnx");
    ASSERT_TRUE(SaveProject(project, plainPath, false, error)) << error;
    const std::string plainBytes = test::ReadFileBytes(plainPath);
    EXPECT_EQ(plainBytes.find("Sampling Method"), std::string::npos);

    project.samplingMethod = SamplingMethod::latinHypercube;
    const std::string path = folder.File("stratified.vnx");
    ASSERT_TRUE(SaveProject(project, path, false, error)) << error;
    Project read;
    ASSERT_TRUE(LoadProject(path, read, error)) << error;
    EXPECT_EQ(read.samplingMethod, SamplingMethod::latinHypercube);

    // A later program's method: the file is still read, sampling plainly.
    std::string bytes = test::ReadFileBytes(path);
    const std::size_t at = bytes.rfind("Latin Hypercube");
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, 15, "Sobol Sequence!");
    ProjectLoadOptions accept;
    accept.acceptDamaged = true; // the checksum no longer matches, knowingly
    ProjectLoadOutcome outcome;
    Project later;
    ASSERT_TRUE(LoadProjectFromBytes(bytes, later, error, path, accept, outcome)) << error;
    EXPECT_EQ(later.samplingMethod, SamplingMethod::monteCarlo);
}

} // namespace
} // namespace varnex
