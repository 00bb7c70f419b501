#include <filesystem>
#include <gtest/gtest.h>

#include "settings/Preferences.h"
#include "settings/SolverSettings.h"
#include "support/TempDirectory.h"

namespace varnex {
namespace {

TEST(SolverSettings, TheChoiceSurvivesTheSessionAndAnythingElseIsFast) {
    test::TempDirectory folder;
    Preferences preferences(folder.File("preferences.ini"));

    SolverSettings settings;
    settings.kernel = SolverKernel::reference;
    settings.Read(preferences); // no preference file yet
    EXPECT_EQ(settings.kernel, SolverKernel::fast);

    settings.kernel = SolverKernel::reference;
    ASSERT_TRUE(settings.Write(preferences));
    SolverSettings later;
    later.Read(preferences);
    EXPECT_EQ(later.kernel, SolverKernel::reference);
    // Stored where the other program settings are.
    EXPECT_EQ(preferences.GetDWord("Settings", "Solver Kernel"), 1u);
    settings.kernel = SolverKernel::exact;
    ASSERT_TRUE(settings.Write(preferences));
    later.Read(preferences);
    EXPECT_EQ(later.kernel, SolverKernel::exact);
    EXPECT_EQ(preferences.GetDWord("Settings", "Solver Kernel"), 2u);

    // A value written by hand that means nothing is the default.
    preferences.SetDWord("Settings", "Solver Kernel", 7);
    later.Read(preferences);
    EXPECT_EQ(later.kernel, SolverKernel::fast);
    preferences.SetString("Settings", "Solver Kernel", "reference");
    later.Read(preferences);
    EXPECT_EQ(later.kernel, SolverKernel::fast);
}

TEST(SolverSettings, AFailedWriteIsReported) {
    test::TempDirectory folder;
    // The preference file's folder is a file: nothing can be written there.
    test::WriteFileBytes(folder.File("blocker"), "x");
    Preferences preferences(folder.File("blocker") + "/preferences.ini");
    SolverSettings settings;
    settings.kernel = SolverKernel::reference;
    EXPECT_FALSE(settings.Write(preferences));
}

TEST(SolverKernel, NamesReadBack) {
    for (SolverKernel kernel : {SolverKernel::fast, SolverKernel::reference, SolverKernel::exact})
        EXPECT_EQ(ParseSolverKernel(SolverKernelName(kernel)), kernel);
    EXPECT_EQ(ParseSolverKernel("Fast"), std::nullopt);
    EXPECT_EQ(ParseSolverKernel(""), std::nullopt);
}

} // namespace
} // namespace varnex
