// A save that fails at any one system call (each write, the flush and
// close, the flush to disk, the rename) leaves the file it was replacing
// byte for byte, no temporary file beside it, the project as it was, and
// reports the failure. A fault after the rename (the folder's flush) comes
// too late to matter: the new file is complete and the save succeeded.
// The same holds for the preference file.

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "archive/CompFileException.h"
#include "base/Exception.h"
#include "model/Project.h"
#include "persist/ProjectFile.h"
#include "persist/ProjectJson.h"
#include "settings/Preferences.h"
#include "stochastic/IterationCount.h"
#include "support/FailingFileSystemCalls.h"
#include "support/ScriptedRandomSource.h"
#include "support/TempDirectory.h"
#include "transport/TransportRunSupport.h"

namespace varnex {
namespace {

namespace fs = std::filesystem;
using Operation = test::FailingFileSystemCalls::Operation;

class SaveFaultInjection : public ::testing::Test {
protected:
    void SetUp() override {
        test::ResetProgramState();
        std::vector<std::string> problems;
        ASSERT_TRUE(LoadProjectJsonFile(std::string(VARNEX_SOURCE_DIR) +
                                            "/examples/level3-gasworks-chalk.json",
                                        project_, problems));
        // With results the file spans many buffers, so there are many
        // writes to fail, the last one shorter than the others.
        SetIterationCount(60);
        ASSERT_TRUE(test::RunProject(project_).succeeded);
        target_ = folder_.File("gasworks.vnx");
        options_.withResults = true;
        options_.dateSaved = "2026-12-08 10:00:00";
        // The file the failed saves must not touch: the same project saved
        // earlier under another title.
        Project older = project_;
        older.details.title = "Gasworks, first draft";
        std::string error;
        ASSERT_TRUE(SaveProject(older, target_, options_, error)) << error;
        oldBytes_ = test::ReadFileBytes(target_);
    }
    void TearDown() override { test::ResetProgramState(); }

    Project project_;
    test::TempDirectory folder_;
    std::string target_;
    std::string oldBytes_;
    ProjectSaveOptions options_;
};

TEST_F(SaveFaultInjection, EveryFailingCallOfAProjectSaveLeavesTheOldFile) {
    // A fault-free save through the counting calls tells how many calls of
    // each kind a save makes, and what the new file holds.
    // The project itself is saved every time: a copy would not carry the
    // samples, whose absence would change the bytes.
    test::FailingFileSystemCalls counting;
    options_.fileSystem = &counting;
    std::string error;
    // The file records its own path, so the counting save goes to the
    // target itself, which then gets its old bytes back.
    ASSERT_TRUE(SaveProject(project_, target_, options_, error)) << error;
    const std::string savedDate = project_.dateSaved;
    const std::string newBytes = test::ReadFileBytes(target_);
    test::WriteFileBytes(target_, oldBytes_);
    ASSERT_TRUE(newBytes != oldBytes_);
    ASSERT_GT(counting.Calls(Operation::write), 3) << "the save should span several buffers";
    ASSERT_EQ(counting.Calls(Operation::flushAndClose), 1);
    ASSERT_EQ(counting.Calls(Operation::rename), 1);
    // The temporary file, then the folder that holds the renamed file.
    ASSERT_EQ(counting.Calls(Operation::sync), 2);
    ASSERT_EQ(counting.Calls(Operation::closeDescriptor), 2);

    const std::vector<std::string> entriesBefore = test::FileNamesIn(folder_.Path());
    int faults = 0;
    for (Operation operation : {Operation::write, Operation::flushAndClose, Operation::sync,
                                Operation::closeDescriptor, Operation::rename}) {
        for (int n = 1; n <= counting.Calls(operation); ++n) {
            SCOPED_TRACE(std::string(test::OperationName(operation)) + " #" + std::to_string(n));
            // The second sync and close are the folder's, after the rename.
            const bool afterRename =
                (operation == Operation::sync || operation == Operation::closeDescriptor) && n == 2;
            test::FailingFileSystemCalls failing;
            failing.FailAt(operation, n);
            options_.fileSystem = &failing;
            project_.filePath = "elsewhere.vnx";
            project_.dateSaved = "before";
            const bool saved = SaveProject(project_, target_, options_, error);
            ++faults;
            if (afterRename) {
                EXPECT_TRUE(saved) << error;
                EXPECT_TRUE(test::ReadFileBytes(target_) == newBytes)
                    << "the new file is not the one saved";
                test::WriteFileBytes(target_, oldBytes_);
            } else {
                EXPECT_FALSE(saved);
                // The message, then the reason the failing call gave: the
                // fake fails a write as a full disk, the rest as I/O errors
                // (the C library's texts for ENOSPC and EIO).
                const char* reason = operation == Operation::write ? "No space left on device"
                                                                   : "Input/output error";
                EXPECT_EQ(error,
                          CompFileException(CompFileException::writeFailed, target_).Message() +
                              "\n" + reason);
                EXPECT_TRUE(test::ReadFileBytes(target_) == oldBytes_)
                    << "the old file was changed";
                EXPECT_EQ(project_.filePath, "elsewhere.vnx")
                    << "a failed save must not rename the project";
                EXPECT_EQ(project_.dateSaved, "before");
            }
            EXPECT_EQ(test::FileNamesIn(folder_.Path()), entriesBefore)
                << "a temporary file was left behind";
        }
    }
    EXPECT_GT(faults, 8);

    // The project in memory survived every fault: it still saves in full.
    options_.fileSystem = nullptr;
    EXPECT_EQ(savedDate, options_.dateSaved);
    ASSERT_TRUE(SaveProject(project_, target_, options_, error)) << error;
    EXPECT_TRUE(test::ReadFileBytes(target_) == newBytes) << "the new file is not the one saved";
}

TEST_F(SaveFaultInjection, EveryFailingCallOfAPreferenceWriteLeavesTheOldFile) {
    const std::string path = folder_.File("preferences.ini");
    Preferences preferences(path);
    preferences.SetString("Settings", "Language", "Deutsch");
    preferences.SetDWord("PDF editing", "Auto Complete", 1);
    const std::string before = test::ReadFileBytes(path);

    test::FailingFileSystemCalls counting;
    preferences.UseFileSystemCalls(counting);
    preferences.SetString("Settings", "Language", "English");
    preferences.SetString("Settings", "Language", "Deutsch");
    ASSERT_EQ(test::ReadFileBytes(path), before);
    // Counted over two writes of the same size.
    const int writes = counting.Calls(Operation::writeDescriptor) / 2;
    const int syncs = counting.Calls(Operation::sync) / 2;
    const int closes = counting.Calls(Operation::closeDescriptor) / 2;
    ASSERT_GE(writes, 1);
    ASSERT_EQ(counting.Calls(Operation::rename), 2);

    const std::vector<std::string> entriesBefore = test::FileNamesIn(folder_.Path());
    struct Fault {
        Operation operation;
        int count;
    };
    for (const Fault& fault :
         {Fault{Operation::writeDescriptor, writes}, Fault{Operation::sync, syncs},
          Fault{Operation::closeDescriptor, closes}, Fault{Operation::rename, 1}}) {
        for (int n = 1; n <= fault.count; ++n) {
            SCOPED_TRACE(std::string(test::OperationName(fault.operation)) + " #" +
                         std::to_string(n));
            // The folder's sync and close come after the rename and only make
            // it durable; the file is already whole.
            const bool afterRename = fault.operation != Operation::writeDescriptor &&
                                     fault.operation != Operation::rename && n == fault.count &&
                                     n > 1;
            test::FailingFileSystemCalls failing;
            failing.FailAt(fault.operation, n);
            preferences.UseFileSystemCalls(failing);
            bool threw = false;
            try {
                preferences.SetString("Settings", "Language", "English");
            } catch (const Exception& error) {
                threw = true;
                EXPECT_EQ(error.Message(),
                          "Cannot set user preference for Software\\Kestrane\\Varnex\\2\\Settings");
            }
            if (afterRename) {
                EXPECT_FALSE(threw);
                EXPECT_EQ(preferences.GetString("Settings", "Language"), "English");
                test::WriteFileBytes(path, before);
            } else {
                EXPECT_TRUE(threw);
                EXPECT_EQ(test::ReadFileBytes(path), before);
            }
            EXPECT_EQ(test::FileNamesIn(folder_.Path()), entriesBefore)
                << "a temporary file was left behind";
        }
    }
}

} // namespace
} // namespace varnex
