// Saving never loses the file it replaces: a save that fails at any point
// leaves the old file byte for byte, no temporary file behind, and the
// project and program-wide values as they were. A new project's
// placeholder name is never a file name.

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "archive/FileVersion.h"
#include "base/OutputTransaction.h"
#include "model/Project.h"
#include "persist/ProjectFile.h"
#include "persist/ProjectJson.h"
#include "settings/Translate.h"
#include "support/ScriptedRandomSource.h"
#include "support/TempDirectory.h"

namespace varnex {
namespace {

namespace fs = std::filesystem;

class ProjectFileSaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ResetProgramState();
        std::vector<std::string> problems;
        ASSERT_TRUE(LoadProjectJsonFile(std::string(VARNEX_SOURCE_DIR) +
                                            "/examples/level3-gasworks-chalk.json",
                                        project_, problems));
    }
    void TearDown() override { test::ResetProgramState(); }

    std::vector<std::string> FolderEntries() const { return test::FileNamesIn(folder_.Path()); }

    // An existing file the failed save must not touch.
    std::string OldFile() {
        const std::string path = folder_.File("kept.vnx");
        test::WriteFileBytes(path, "the old file's bytes");
        return path;
    }

    Project project_;
    test::TempDirectory folder_;
};

TEST_F(ProjectFileSaveTest, ReplacesTheOldFileAndKeepsItsPermissions) {
    const std::string path = OldFile();
    ::chmod(path.c_str(), 0600);
    std::string error;
    ASSERT_TRUE(SaveProject(project_, path, false, error)) << error;
    EXPECT_NE(test::ReadFileBytes(path), "the old file's bytes");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"kept.vnx"});
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(project_.filePath, path);
    EXPECT_FALSE(project_.dateSaved.empty());
}

// A write that fails half way: the file size limit stops the temporary file
// (as a full disk would). Run in a child, since the limit is per process.
TEST_F(ProjectFileSaveTest, WriteFailingHalfWayLeavesTheOldFile) {
    const std::string path = OldFile();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{512, 512};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        project_.filePath = "before.vnx";
        ActiveFileVersion() = FileVersion{2, 0, 7, 0, false};
        SetResultsSaved(true);
        std::string error;
        const bool saved = SaveProject(project_, path, false, error);
        const bool unchanged = project_.filePath == "before.vnx" && project_.dateSaved.empty() &&
                               ActiveFileVersion().Compare(FileVersion{2, 0, 7, 0, false}) == 0 &&
                               ResultsSaved();
        // The message, and on its own line the system's reason (EFBIG).
        const bool reported = error == "Failed to write to file " + path + "\nFile too large";
        ::_exit(saved ? 1 : !unchanged ? 2 : !reported ? 3 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: saved, 2: state changed, 3: wrong message";
    EXPECT_EQ(test::ReadFileBytes(path), "the old file's bytes");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"kept.vnx"});
}

TEST_F(ProjectFileSaveTest, FolderThatCannotHoldTheFileIsReported) {
    const std::string notAFolder = OldFile();
    const std::string path = notAFolder + "/project.vnx";
    std::string error;
    EXPECT_FALSE(SaveProject(project_, path, false, error));
    // The message as it always was, then why, in the system's words
    // (ENOTDIR), so the user knows what to put right.
    EXPECT_EQ(error, "Failed to write to file " + path + "\nNot a directory");
    EXPECT_EQ(test::ReadFileBytes(notAFolder), "the old file's bytes");

    // A folder without write permission (ineffective when run as root).
    const fs::path locked = folder_.Path() / "locked";
    fs::create_directory(locked);
    const std::string inLocked = (locked / "p.vnx").string();
    test::WriteFileBytes(inLocked, "locked bytes");
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    const bool saved = SaveProject(project_, inLocked, false, error);
    fs::permissions(locked, fs::perms::owner_all);
    if (::geteuid() != 0) {
        EXPECT_FALSE(saved);
        EXPECT_EQ(error, "Failed to write to file " + inLocked + "\nPermission denied");
        EXPECT_EQ(test::ReadFileBytes(inLocked), "locked bytes");
    }
    const std::vector<std::string> names = test::FileNamesIn(locked);
    if (::geteuid() != 0) {
        EXPECT_EQ(names, std::vector<std::string>{"p.vnx"});
    }
}

TEST_F(ProjectFileSaveTest, PlaceholderNameIsNoFileName) {
    const fs::path here = fs::current_path();
    fs::current_path(folder_.Path());
    for (const std::string& name : {std::string(), std::string("unnamed"), Translate("unnamed")}) {
        project_.filePath = name;
        std::string error;
        EXPECT_FALSE(SaveProject(project_, "", false, error));
        EXPECT_EQ(error, "The project has no file name yet: choose one to save it");
        EXPECT_FALSE(SaveProject(project_, name, false, error));
        EXPECT_EQ(project_.filePath, name);
    }
    EXPECT_TRUE(FolderEntries().empty());
    // The project's own path is used when none is given.
    project_.filePath = folder_.File("own.vnx");
    std::string error;
    EXPECT_TRUE(SaveProject(project_, "", false, error)) << error;
    EXPECT_TRUE(fs::exists(folder_.File("own.vnx")));
    fs::current_path(here);
}

TEST_F(ProjectFileSaveTest, WrittenIntoATransactionTheBytesAreThoseOfAPlainSave) {
    std::string error;
    ProjectSaveOptions options;
    options.dateSaved = "2026-12-09 09:00:00";
    // The save fills the staged file only: the target keeps its old bytes,
    // and no temporary of the save's own appears, until the commit; a
    // transaction dropped leaves the folder as it was.
    const std::string kept = OldFile();
    {
        OutputTransaction outputs;
        ASSERT_TRUE(outputs.Stage(kept, options.writeTo, error)) << error;
        ASSERT_TRUE(SaveProject(project_, kept, options, error)) << error;
        EXPECT_EQ(test::ReadFileBytes(kept), "the old file's bytes");
        EXPECT_EQ(FolderEntries().size(), 2u);
        EXPECT_EQ(project_.filePath, kept);
    }
    EXPECT_EQ(test::ReadFileBytes(kept), "the old file's bytes");
    EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"kept.vnx"}));

    OutputTransaction outputs;
    ASSERT_TRUE(outputs.Stage(kept, options.writeTo, error)) << error;
    ASSERT_TRUE(SaveProject(project_, kept, options, error)) << error;
    ASSERT_TRUE(outputs.Commit(error)) << error;
    const std::string committed = test::ReadFileBytes(kept);
    options.writeTo.clear();
    ASSERT_TRUE(SaveProject(project_, kept, options, error)) << error;
    EXPECT_TRUE(test::ReadFileBytes(kept) == committed)
        << "a transaction's save differs from a plain one";
    EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"kept.vnx"}));
}

} // namespace
} // namespace varnex
