// The outputs of one command are replaced together or not at all: a fault
// in any one system call, a transaction dropped without committing, or a
// signal handler clearing the temporaries, leaves every old file byte for
// byte, no new file where there was none, and nothing else in the folder.

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "base/OutputTransaction.h"
#include "base/PendingTemporaries.h"
#include "support/FailingFileSystemCalls.h"
#include "support/TempDirectory.h"

namespace varnex {
namespace {

namespace fs = std::filesystem;
using Operation = test::FailingFileSystemCalls::Operation;
using test::ReadFileBytes;

// Two outputs replacing old files and one new, the new one first, so that
// a late failure must also take a file away again.
class ThreeOutputs {
public:
    ThreeOutputs() {
        test::WriteFileBytes(dir_.File("a.json"), "old a\n");
        test::WriteFileBytes(dir_.File("b.csv"), "old b\n");
        ::chmod(dir_.File("b.csv").c_str(), 0600);
    }
    bool Write(FileSystemCalls& calls, std::string& error) {
        OutputTransaction outputs(calls);
        return outputs.Add(dir_.File("c.json"), "new c\n", error) &&
               outputs.Add(dir_.File("a.json"), "new a\n", error) &&
               outputs.Add(dir_.File("b.csv"), "new b\n", error) && outputs.Commit(error);
    }
    bool AllOld() const {
        return ReadFileBytes(dir_.File("a.json")) == "old a\n" &&
               ReadFileBytes(dir_.File("b.csv")) == "old b\n" && !fs::exists(dir_.File("c.json"));
    }
    bool AllNew() const {
        return ReadFileBytes(dir_.File("a.json")) == "new a\n" &&
               ReadFileBytes(dir_.File("b.csv")) == "new b\n" &&
               ReadFileBytes(dir_.File("c.json")) == "new c\n";
    }
    std::vector<std::string> Entries() const { return test::FileNamesIn(dir_.Path()); }
    mode_t ModeOf(const std::string& name) const {
        struct stat info {};
        ::stat(dir_.File(name).c_str(), &info);
        return info.st_mode & 07777;
    }

private:
    test::TempDirectory dir_;
};

TEST(OutputTransaction, AFaultInAnyCallReplacesEveryFileOrNone) {
    test::FailingFileSystemCalls counting;
    {
        ThreeOutputs outputs;
        std::string error;
        ASSERT_TRUE(outputs.Write(counting, error)) << error;
        EXPECT_TRUE(outputs.AllNew());
        // A user who made a file private keeps it private.
        EXPECT_EQ(outputs.ModeOf("b.csv"), 0600u);
    }
    for (const Operation operation : {Operation::writeDescriptor, Operation::sync,
                                      Operation::closeDescriptor, Operation::rename}) {
        for (int n = 1; n <= counting.Calls(operation); ++n) {
            SCOPED_TRACE(std::string(test::OperationName(operation)) + " " + std::to_string(n));
            ThreeOutputs outputs;
            test::FailingFileSystemCalls failing;
            failing.FailAt(operation, n);
            std::string error;
            const bool written = outputs.Write(failing, error);
            // Only the folder's flush comes after the renames, too late to
            // undo a complete commit.
            if (written) {
                EXPECT_TRUE(outputs.AllNew());
            } else {
                EXPECT_TRUE(outputs.AllOld());
                EXPECT_EQ(error.rfind("cannot write ", 0), 0u) << error;
            }
            const std::vector<std::string> expected =
                written ? std::vector<std::string>{"a.json", "b.csv", "c.json"}
                        : std::vector<std::string>{"a.json", "b.csv"};
            EXPECT_EQ(outputs.Entries(), expected);
        }
    }
    EXPECT_GE(counting.Calls(Operation::rename), 3);
}

TEST(OutputTransaction, DroppedOrClearedBySignalItLeavesNoTemporary) {
    test::TempDirectory dir;
    test::WriteFileBytes(dir.File("site.vnx"), "old project\n");
    {
        OutputTransaction outputs;
        std::string error, writePath;
        ASSERT_TRUE(outputs.Add(dir.File("stats.json"), "new\n", error)) << error;
        ASSERT_TRUE(outputs.Stage(dir.File("site.vnx"), writePath, error)) << error;
        test::WriteFileBytes(writePath, "part of a project");
        EXPECT_TRUE(PendingTemporaries::Writing());
        EXPECT_EQ(test::FileNamesIn(dir.Path()).size(), 3u);
        // What the stop handler does before it ends the program.
        PendingTemporaries::RemoveAll();
        EXPECT_EQ(test::FileNamesIn(dir.Path()), (std::vector<std::string>{"site.vnx"}));
        // Named twice, the same file would be renamed over twice.
        EXPECT_FALSE(outputs.Add(dir.File("./stats.json"), "again\n", error));
        EXPECT_NE(error.find("named for two outputs"), std::string::npos) << error;
    }
    {
        OutputTransaction outputs;
        std::string error;
        ASSERT_TRUE(outputs.Add(dir.File("site.vnx"), "new project\n", error)) << error;
    }
    EXPECT_FALSE(PendingTemporaries::Writing());
    EXPECT_EQ(test::FileNamesIn(dir.Path()), (std::vector<std::string>{"site.vnx"}));
    EXPECT_EQ(ReadFileBytes(dir.File("site.vnx")), "old project\n");
}

} // namespace
} // namespace varnex
