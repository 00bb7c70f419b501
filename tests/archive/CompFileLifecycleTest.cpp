// Opening, closing and destroying archives, write failures, and the texts of
// the archive's errors.
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "archive/CompFile.h"
#include "support/TempDirectory.h"

namespace varnex {
namespace {

using test::ReadFileBytes;
using test::TempDirectory;
using test::WriteFileBytes;

// Runs `action` and returns the exception it throws, failing the test if it
// throws none.
template <typename Action>
CompFileException Thrown(Action action) {
    try {
        action();
    } catch (const CompFileException& error) {
        return error;
    }
    ADD_FAILURE() << "no CompFileException";
    return CompFileException(-1, "");
}

struct MessageCase {
    int code;
    const char* message;
};

TEST(CompFileExceptionText, PrefixByCodeThenFileName) {
    const std::vector<MessageCase> cases = {
        {0, "Failed to allocate memeory for file C:\\p.vnx"},
        {2, "Failed to read from file C:\\p.vnx"},
        {3, "Failed to write to file C:\\p.vnx"},
        {1, "Unknown error in file C:\\p.vnx"},
        {7, "Unknown error in file C:\\p.vnx"},
    };
    for (const MessageCase& c : cases) {
        const CompFileException error(c.code, "C:\\p.vnx");
        EXPECT_EQ(error.ErrorCode(), c.code);
        EXPECT_EQ(error.Message(), c.message);
        EXPECT_STREQ(error.what(), c.message);
    }
}

TEST(CompFileOpen, MissingFileForReadingReturnsFalse) {
    TempDirectory directory;
    CompFile file;
    EXPECT_FALSE(file.Open(directory.File("missing.vnx"), "rb"));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_FALSE(file.Open(directory.File("no/such/folder.vnx"), "wb"));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(Thrown([&] { file.ReadInt(); }).ErrorCode(), 2);
}

TEST(CompFileOpen, UnreadableFileFailsToOpenAndIsLeftClosed) {
    TempDirectory directory;
    CompFile file;
    // A folder opens as a stream on this platform but cannot be read.
    const CompFileException error = Thrown([&] { file.Open(directory.Path().string(), "rb"); });
    EXPECT_EQ(error.Message(), "Failed to read from file " + directory.Path().string());
    EXPECT_FALSE(file.IsOpen());
}

// Puts need a writer and gets a reader; neither may touch a closed archive.
// Misuse is an error like any other: a writer it happened on is discarded.
TEST(CompFileOpen, ValuesNeedAnArchiveOpenInTheirDirection) {
    TempDirectory directory;
    const std::string path = directory.File("a.vnx");
    CompFile file;
    EXPECT_EQ(Thrown([&] { file.WriteInt(1); }).ErrorCode(), 3);
    EXPECT_EQ(Thrown([&] { file.ReadInt(); }).ErrorCode(), 2);
    EXPECT_NO_THROW(file.Close());

    ASSERT_TRUE(file.Open(path, "wb"));
    file.WriteInt(1);
    EXPECT_EQ(Thrown([&] { file.ReadInt(); }).ErrorCode(), 2);
    file.Close();
    EXPECT_FALSE(std::filesystem::exists(path));

    WriteFileBytes(path, "");
    ASSERT_TRUE(file.Open(path, "rb"));
    EXPECT_EQ(Thrown([&] { file.WriteInt(1); }).ErrorCode(), 3);
    file.Close();
    EXPECT_TRUE(std::filesystem::exists(path)) << "a reader never removes its file";
}

TEST(CompFileOpen, CloseRestoresTheDefaultBufferSize) {
    TempDirectory directory;
    const std::string path = directory.File("a.vnx");
    const std::string text(100, 't');
    CompFile file;
    ASSERT_TRUE(file.Open(path, "wb", 16));
    file.Close();
    ASSERT_TRUE(file.Open(path, "wb"));
    EXPECT_NO_THROW(file.WriteString(text));
    file.Close();
    ASSERT_TRUE(file.Open(path, "rb"));
    EXPECT_EQ(file.ReadString(), text);
}

TEST(CompFileOpen, OpeningAgainClosesThePreviousFile) {
    TempDirectory directory;
    CompFile file;
    ASSERT_TRUE(file.Open(directory.File("first.vnx"), "wb"));
    file.WriteInt(5);
    ASSERT_TRUE(file.Open(directory.File("second.vnx"), "wb"));
    EXPECT_EQ(file.FileName(), directory.File("second.vnx"));
    file.Close();
    ASSERT_TRUE(file.Open(directory.File("first.vnx"), "rb"));
    EXPECT_EQ(file.ReadInt(), 5);
}

TEST(CompFileWriter, StringUpToTheBufferSizeFits) {
    TempDirectory directory;
    const std::string path = directory.File("a.vnx");
    {
        CompFile file;
        ASSERT_TRUE(file.Open(path, "wb", 16));
        file.WriteString(std::string(15, 'f')); // text and terminator: 16 bytes
        file.Close();
    }
    CompFile file;
    ASSERT_TRUE(file.Open(path, "rb", 16));
    EXPECT_EQ(file.ReadString(), std::string(15, 'f'));
}

// A failed save must not leave a file that looks like a project but holds
// only part of it.
TEST(CompFileWriter, FailedWriterLeavesNoFile) {
    TempDirectory directory;
    const std::string path = directory.File("a.vnx");
    {
        CompFile file;
        ASSERT_TRUE(file.Open(path, "wb", 16));
        for (int i = 0; i < 100; ++i) file.WriteInt(i); // several flushes reach the disk
        EXPECT_EQ(Thrown([&] { file.WriteString(std::string(16, 'f')); }).Message(),
                  "Failed to write to file " + path);
        EXPECT_EQ(Thrown([&] { file.WriteInt(1); }).ErrorCode(), 3) << "no puts after a failure";
        ASSERT_TRUE(std::filesystem::exists(path));
    }
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(CompFileWriter, CloseAfterAFailureDiscardsWithoutThrowing) {
    TempDirectory directory;
    const std::string path = directory.File("a.vnx");
    CompFile file;
    ASSERT_TRUE(file.Open(path, "wb", 16));
    file.WriteInt(1);
    EXPECT_THROW(file.WriteString(std::string(20, 'x')), CompFileException);
    EXPECT_NO_THROW(file.Close());
    EXPECT_FALSE(file.IsOpen());
    EXPECT_FALSE(std::filesystem::exists(path));
}

// Appending must not lose what the file held before the failed session.
TEST(CompFileWriter, FailedAppendKeepsTheEarlierContents) {
    TempDirectory directory;
    const std::string path = directory.File("a.vnx");
    WriteFileBytes(path, std::string("\x02\x07", 2));
    {
        CompFile file;
        ASSERT_TRUE(file.Open(path, "ab", 16));
        EXPECT_THROW(file.WriteString(std::string(20, 'x')), CompFileException);
    }
    EXPECT_EQ(ReadFileBytes(path), std::string("\x02\x07", 2));
}

TEST(CompFileWriter, DestructorFlushesAHealthyWriter) {
    TempDirectory directory;
    const std::string path = directory.File("a.vnx");
    {
        CompFile file;
        ASSERT_TRUE(file.Open(path, "wb"));
        file.WriteDouble(3.5).WriteString("kept");
    }
    CompFile file;
    ASSERT_TRUE(file.Open(path, "rb"));
    EXPECT_EQ(file.ReadDouble(), 3.5);
    EXPECT_EQ(file.ReadString(), "kept");
}

// /dev/full accepts the bytes into the C library's buffer and fails when
// they are handed to the system: only the results of fflush and fclose show it.
TEST(CompFileWriter, FullDiskFailsOnClose) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    CompFile file;
    ASSERT_TRUE(file.Open("/dev/full", "wb"));
    file.WriteInt(1);
    const CompFileException error = Thrown([&] { file.Close(); });
    EXPECT_EQ(error.ErrorCode(), 3);
    EXPECT_EQ(error.Message(), "Failed to write to file /dev/full");
    EXPECT_FALSE(file.IsOpen());
    EXPECT_TRUE(std::filesystem::exists("/dev/full")) << "only regular files are removed";
}

TEST(CompFileWriter, FullDiskFailsWhileWritingMuchData) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    CompFile file;
    ASSERT_TRUE(file.Open("/dev/full", "wb"));
    const CompFileException error = Thrown([&] {
        for (int i = 0; i < 1000000; ++i) file.WriteInt(i);
    });
    EXPECT_EQ(error.ErrorCode(), 3);
}

TEST(CompFileWriter, DestructorSwallowsAFailingFlush) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    EXPECT_NO_THROW({
        CompFile file;
        EXPECT_TRUE(file.Open("/dev/full", "wb"));
        file.WriteInt(1);
    });
}

} // namespace
} // namespace varnex
