// Damaged, truncated and short files: every failure is a read failure (code
// 2), never a crash, a hang or bytes invented past the end of the data. The
// sanitizer build runs these under AddressSanitizer.
#include <cstdint>
#include <gtest/gtest.h>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "archive/CompFile.h"
#include "support/TempDirectory.h"

namespace varnex {
namespace {

using test::Bytes;
using test::ReadFileBytes;
using test::TempDirectory;
using test::WriteFileBytes;

enum class Kind { boolean, shortInt, integer, real, text };

// The values of a small project-like file and the order a loader gets them in.
const std::vector<Kind>& Script() {
    static const std::vector<Kind> script = [] {
        std::vector<Kind> kinds = {Kind::integer, Kind::text, Kind::boolean, Kind::shortInt};
        for (int i = 0; i < 40; ++i) kinds.push_back(Kind::real);
        for (int i = 0; i < 6; ++i)
            kinds.insert(kinds.end(), {Kind::text, Kind::integer, Kind::real});
        return kinds;
    }();
    return script;
}

void WriteScriptFile(const std::string& path, std::uint32_t bufferSize) {
    CompFile file;
    ASSERT_TRUE(file.Open(path, "wb", bufferSize));
    int i = 0;
    for (Kind kind : Script()) {
        ++i;
        switch (kind) {
        case Kind::boolean: file.WriteBool(true); break;
        case Kind::shortInt: file.WriteShort(static_cast<std::int16_t>(-i)); break;
        case Kind::integer: file.WriteInt(i * 1000); break;
        case Kind::real: file.WriteDouble(i < 30 ? 0.0 : i * 0.1); break;
        case Kind::text: file.WriteString(i % 2 ? "Hydraulic conductivity [m/s]" : ""); break;
        }
    }
    file.Close();
}

// Opens the file and gets the whole script; the code of the first exception
// thrown, by Open or by a get, or nothing when every get succeeded.
std::optional<int> FailureCode(const std::string& path, const std::vector<Kind>& script,
                               std::uint32_t bufferSize = CompFile::defaultBufferSize) {
    try {
        CompFile file;
        if (!file.Open(path, "rb", bufferSize)) return -1;
        for (Kind kind : script) {
            switch (kind) {
            case Kind::boolean: file.ReadBool(); break;
            case Kind::shortInt: file.ReadShort(); break;
            case Kind::integer: file.ReadInt(); break;
            case Kind::real: file.ReadDouble(); break;
            case Kind::text: file.ReadString(); break;
            }
        }
        return std::nullopt;
    } catch (const CompFileException& error) {
        return error.ErrorCode();
    }
}

class TruncatedFile : public testing::TestWithParam<std::uint32_t> {};

// Every byte of the compressed stream carries data, so any cut leaves the
// script short of bytes, whether it ends inside a packet or between two.
TEST_P(TruncatedFile, EveryCutIsAReadFailure) {
    TempDirectory directory;
    const std::string whole = directory.File("whole.vnx");
    WriteScriptFile(whole, GetParam());
    const std::string bytes = ReadFileBytes(whole);
    ASSERT_FALSE(FailureCode(whole, Script(), GetParam()).has_value());

    const std::string cut = directory.File("cut.vnx");
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        WriteFileBytes(cut, bytes.substr(0, length));
        EXPECT_EQ(FailureCode(cut, Script(), GetParam()), 2) << "cut after " << length << " bytes";
    }
}

INSTANTIATE_TEST_SUITE_P(CompFile, TruncatedFile, testing::Values(16384u, 64u));

// A damaged byte may still decode to some values; what matters is that the
// reader either gets them or reports a read failure.
TEST(CorruptedFile, AnyDamagedByteReadsOrFailsCleanly) {
    TempDirectory directory;
    const std::string whole = directory.File("whole.vnx");
    WriteScriptFile(whole, 64);
    const std::string bytes = ReadFileBytes(whole);
    const std::string damaged = directory.File("damaged.vnx");
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        const auto original = static_cast<unsigned char>(bytes[at]);
        for (unsigned replacement : {0u, 1u, 2u, 127u, 128u, 129u, 255u, original ^ 0x80u}) {
            std::string changed = bytes;
            changed[at] = static_cast<char>(replacement);
            WriteFileBytes(damaged, changed);
            for (std::uint32_t bufferSize : {64u, 16384u}) {
                const std::optional<int> code = FailureCode(damaged, Script(), bufferSize);
                EXPECT_TRUE(!code || *code == 2)
                    << "byte " << at << " set to " << replacement << ": code " << *code;
            }
        }
    }
}

struct DamagedStream {
    const char* name;
    std::string bytes;
    std::vector<Kind> script;
};

// Streams that only damage can produce, with the values a reader expects.
const std::vector<DamagedStream>& DamagedStreams() {
    static const std::vector<DamagedStream> cases = {
        // A packet of no bytes: the encoder never writes one.
        {"ZeroLengthRun", Bytes({0, 7}), {Kind::shortInt}},
        {"ZeroLengthRunAfterData", Bytes({2, 1, 0, 7, 2, 1}), {Kind::shortInt, Kind::shortInt}},
        {"ZeroLengthLiteral", Bytes({128}), {Kind::shortInt}},
        {"RunWithoutItsByte", Bytes({4}), {Kind::integer}},
        {"LiteralCutShort", Bytes({133, 1, 2}), {Kind::integer}},
        {"LiteralLongerThanTheFile", Bytes({255, 1, 2, 3, 4}), {Kind::integer}},
        {"ValueCutShort", Bytes({130, 1, 2}), {Kind::integer}},
        {"NegativeStringLength", Bytes({4, 0xFF}), {Kind::text}},
        {"StringLongerThanTheBuffer", Bytes({132, 0xFF, 0xFF, 0xFF, 0x7F}), {Kind::text}},
        {"StringLengthBeyondTheData", Bytes({135, 9, 0, 0, 0, 'a', 'b', 0}), {Kind::text}},
        {"StringWithoutTerminator", Bytes({135, 2, 0, 0, 0, 'a', 'b', 'c'}), {Kind::text}},
    };
    return cases;
}

class DamagedStreamTest : public testing::TestWithParam<DamagedStream> {};

TEST_P(DamagedStreamTest, IsAReadFailure) {
    TempDirectory directory;
    const std::string path = directory.File("damaged.vnx");
    WriteFileBytes(path, GetParam().bytes);
    EXPECT_EQ(FailureCode(path, GetParam().script), 2);
}

INSTANTIATE_TEST_SUITE_P(CompFile, DamagedStreamTest, testing::ValuesIn(DamagedStreams()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DamagedStreamTolerated, RunOfOneIsOneByte) {
    TempDirectory directory;
    const std::string path = directory.File("runs.vnx");
    WriteFileBytes(path, Bytes({1, 0x34, 1, 0x12}));
    CompFile file;
    ASSERT_TRUE(file.Open(path, "rb"));
    EXPECT_EQ(file.ReadShort(), 0x1234);
}

// The counted characters are the string, zero bytes among them included; only
// the byte after them must be the terminator.
TEST(DamagedStreamTolerated, ZeroInsideCountedTextIsKept) {
    TempDirectory directory;
    const std::string path = directory.File("text.vnx");
    WriteFileBytes(path, Bytes({136, 3, 0, 0, 0, 'a', 0, 'c', 0, 130, 5, 0}));
    CompFile file;
    ASSERT_TRUE(file.Open(path, "rb"));
    EXPECT_EQ(file.ReadString(), std::string("a\0c", 3));
    EXPECT_EQ(file.ReadShort(), 5);
}

// With nothing more in the file a get fails instead of yielding zeros from
// the end of the buffer.
TEST(ShortFile, GetsPastTheEndAreReadFailures) {
    TempDirectory directory;
    const std::string path = directory.File("short.vnx");
    {
        CompFile file;
        ASSERT_TRUE(file.Open(path, "wb"));
        file.WriteInt(42).WriteShort(3);
        file.Close();
    }
    CompFile file;
    ASSERT_TRUE(file.Open(path, "rb"));
    EXPECT_EQ(file.ReadInt(), 42);
    try {
        file.ReadDouble(); // 2 bytes left, 8 wanted
        FAIL() << "read past the end";
    } catch (const CompFileException& error) {
        EXPECT_EQ(error.ErrorCode(), 2);
        EXPECT_EQ(error.Message(), "Failed to read from file " + path);
    }
    EXPECT_EQ(file.ReadShort(), 3) << "a failed get consumes nothing";
    EXPECT_THROW(file.ReadBool(), CompFileException);
    EXPECT_THROW(file.ReadString(), CompFileException);
}

TEST(ShortFile, EmptyFileOpensAndItsFirstGetFails) {
    TempDirectory directory;
    const std::string path = directory.File("empty.vnx");
    WriteFileBytes(path, "");
    EXPECT_EQ(FailureCode(path, {}), std::nullopt);
    EXPECT_EQ(FailureCode(path, {Kind::boolean}), 2);
}

TEST(ShortFile, StringLongerThanTheReadersBufferIsAReadFailure) {
    TempDirectory directory;
    const std::string path = directory.File("long.vnx");
    {
        CompFile file;
        ASSERT_TRUE(file.Open(path, "wb"));
        file.WriteString(std::string(100, 'q'));
        file.Close();
    }
    EXPECT_EQ(FailureCode(path, {Kind::text}, 100), 2) << "text and terminator need 101 bytes";
    EXPECT_FALSE(FailureCode(path, {Kind::text}, 101).has_value());
}

} // namespace
} // namespace varnex
