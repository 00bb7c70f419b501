// The bytes on disk: value encodings, the run-length code and where flushes
// fall. Project files written by earlier releases must stay readable and new
// ones readable by them, so these are compared byte for byte.
#include <bit>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <initializer_list>
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

std::string Repeated(std::size_t count, int value) {
    return std::string(count, static_cast<char>(value));
}

// Puts raw bytes (an even number) as little-endian shorts, so that the
// uncompressed stream is exactly these bytes.
void PutRawBytes(CompFile& file, const std::string& raw) {
    ASSERT_EQ(raw.size() % 2, 0u);
    for (std::size_t i = 0; i < raw.size(); i += 2) {
        const auto low = static_cast<unsigned char>(raw[i]);
        const auto high = static_cast<unsigned char>(raw[i + 1]);
        file.WriteShort(static_cast<std::int16_t>(static_cast<std::uint16_t>(low | high << 8)));
    }
}

std::string WrittenBytes(const std::function<void(CompFile&)>& put,
                         std::uint32_t bufferSize = CompFile::defaultBufferSize) {
    TempDirectory directory;
    const std::string path = directory.File("archive.vnx");
    CompFile file;
    EXPECT_TRUE(file.Open(path, "wb", bufferSize));
    put(file);
    file.Close();
    return ReadFileBytes(path);
}

struct RunLengthCase {
    const char* name;
    std::string raw;
    std::string packed;
};

// Expected packets worked out by hand from the code: a run is taken whenever
// a packet starts at a pair of equal bytes; a literal absorbs pairs until it
// holds four bytes; either kind holds at most 127 bytes.
const std::vector<RunLengthCase>& RunLengthCases() {
    static const std::vector<RunLengthCase> cases = {
        {"PairIsARun", Repeated(2, 7), Bytes({2, 7})},
        {"SixteenEqualBytes", Repeated(16, 7), Bytes({16, 7})},
        {"RunsSplitAt127", Repeated(300, 9), Bytes({127, 9, 127, 9, 46, 9})},
        {"ByteLeftAfterFullRunIsALiteral", Repeated(128, 9), Bytes({127, 9, 129, 9})},
        // 1 2 3 4 5 becomes one literal; the trailing zeros start a run.
        {"DistinctBytesAreALiteral", Bytes({1, 2, 3, 4, 5, 0, 0, 0}),
         Bytes({133, 1, 2, 3, 4, 5, 3, 0})},
        {"LiteralOfFourThenRun", Bytes({'A', 'B', 'B', 'B', 'B', 'B'}),
         Bytes({132, 'A', 'B', 'B', 'B', 2, 'B'})},
        {"ShortLiteralAbsorbsPair", Bytes({1, 2, 2, 3, 4, 5, 6, 6}),
         Bytes({134, 1, 2, 2, 3, 4, 5, 2, 6})},
        {"ShortLiteralAbsorbsFinalPair", Bytes({1, 2, 3, 3}), Bytes({132, 1, 2, 3, 3})},
        {"RunThenLiteral", Bytes({1, 1, 2, 3}), Bytes({2, 1, 130, 2, 3})},
        {"NothingPutWritesNothing", "", ""},
    };
    return cases;
}

class RunLengthEncoding : public testing::TestWithParam<RunLengthCase> {};

TEST_P(RunLengthEncoding, WritesExactPackets) {
    const RunLengthCase& c = GetParam();
    EXPECT_EQ(WrittenBytes([&](CompFile& file) { PutRawBytes(file, c.raw); }), c.packed);
}

TEST_P(RunLengthEncoding, PacketsDecodeToTheRawBytes) {
    const RunLengthCase& c = GetParam();
    TempDirectory directory;
    const std::string path = directory.File("planted.vnx");
    WriteFileBytes(path, c.packed);
    CompFile file;
    ASSERT_TRUE(file.Open(path, "rb"));
    std::string raw;
    for (std::size_t i = 0; i < c.raw.size(); i += 2) {
        const auto value = static_cast<std::uint16_t>(file.ReadShort());
        raw += static_cast<char>(value & 0xFF);
        raw += static_cast<char>(value >> 8);
    }
    EXPECT_EQ(raw, c.raw);
    EXPECT_THROW(file.ReadShort(), CompFileException);
}

INSTANTIATE_TEST_SUITE_P(CompFile, RunLengthEncoding, testing::ValuesIn(RunLengthCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CompFileRunLength, LiteralsStopAt127Bytes) {
    std::string raw;
    for (int i = 0; i < 254; ++i) raw += static_cast<char>(i);
    std::string packed = Bytes({255}) + raw.substr(0, 127) + Bytes({255}) + raw.substr(127);
    EXPECT_EQ(WrittenBytes([&](CompFile& file) { PutRawBytes(file, raw); }), packed);
}

struct EncodingCase {
    const char* name;
    std::function<void(CompFile&)> put;
    std::string packed;
};

// Each value alone in the file, so the packets show its little-endian bytes.
const std::vector<EncodingCase>& EncodingCases() {
    static const std::vector<EncodingCase> cases = {
        {"TrueIsShortOne", [](CompFile& f) { f.WriteBool(true); }, Bytes({130, 1, 0})},
        {"FalseIsShortZero", [](CompFile& f) { f.WriteBool(false); }, Bytes({2, 0})},
        {"Short", [](CompFile& f) { f.WriteShort(0x0102); }, Bytes({130, 2, 1})},
        {"NegativeShort", [](CompFile& f) { f.WriteShort(-2); }, Bytes({130, 0xFE, 0xFF})},
        {"Int", [](CompFile& f) { f.WriteInt(0x01020304); }, Bytes({132, 4, 3, 2, 1})},
        {"MinusOneInt", [](CompFile& f) { f.WriteInt(-1); }, Bytes({4, 0xFF})},
        // 1.0 is 0x3FF0000000000000.
        {"Double", [](CompFile& f) { f.WriteDouble(1.0); }, Bytes({6, 0, 130, 0xF0, 0x3F})},
        {"NegativeZero", [](CompFile& f) { f.WriteDouble(-0.0); }, Bytes({7, 0, 129, 0x80})},
        {"EmptyStringIsLengthOnly", [](CompFile& f) { f.WriteString(""); }, Bytes({4, 0})},
        {"StringIsLengthTextAndZero", [](CompFile& f) { f.WriteString("ab"); },
         Bytes({135, 2, 0, 0, 0, 'a', 'b', 0})},
        {"StringEndsAtEmbeddedZero", [](CompFile& f) { f.WriteString(std::string("ab\0cd", 5)); },
         Bytes({135, 2, 0, 0, 0, 'a', 'b', 0})},
        {"PutsChain", [](CompFile& f) { f.WriteShort(3).WriteShort(3); }, Bytes({132, 3, 0, 3, 0})},
    };
    return cases;
}

class ValueEncoding : public testing::TestWithParam<EncodingCase> {};

TEST_P(ValueEncoding, WritesLittleEndianBytes) {
    EXPECT_EQ(WrittenBytes(GetParam().put), GetParam().packed);
}

INSTANTIATE_TEST_SUITE_P(CompFile, ValueEncoding, testing::ValuesIn(EncodingCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CompFileStrings, EmptyStringConsumesExactlyFourBytes) {
    TempDirectory directory;
    const std::string path = directory.File("planted.vnx");
    // Length 0, then the int 0x04030201 straight after it.
    WriteFileBytes(path, Bytes({4, 0, 132, 1, 2, 3, 4}));
    CompFile file;
    ASSERT_TRUE(file.Open(path, "rb"));
    EXPECT_EQ(file.ReadString(), "");
    EXPECT_EQ(file.ReadInt(), 0x04030201);
}

// A value that would cross the end of the buffer is flushed ahead of it, so
// each flush's packets hold whole values. Every byte here is 0x33, so the
// run packets show the size of each flush of the 10-byte buffer.
TEST(CompFileFlushes, ValueNeverStraddlesAFlush) {
    const std::int32_t int33 = 0x33333333;
    const double double33 = std::bit_cast<double>(0x3333333333333333ull);
    const std::int16_t short33 = 0x3333;
    const std::string packed = WrittenBytes(
        [&](CompFile& f) {
            f.WriteInt(int33).WriteInt(int33); // 8 bytes
            f.WriteInt(int33);                 // 2 left: flush of 8
            f.WriteDouble(double33);           // 6 left: flush of 4
            f.WriteShort(short33);             // fills the buffer exactly
            f.WriteShort(short33);             // none left: flush of 10
        },                                     // Close: flush of 2
        10);
    EXPECT_EQ(packed, Bytes({8, 0x33, 4, 0x33, 10, 0x33, 2, 0x33}));
}

// The length and the text are checked separately: the length may end one
// flush and the text start the next.
TEST(CompFileFlushes, StringTextMayStartTheNextFlush) {
    const std::string packed = WrittenBytes(
        [](CompFile& f) {
            f.WriteInt(0);
            f.WriteString("abcd"); // length fits (8 bytes), text + zero does not
        },
        10);
    EXPECT_EQ(packed, Bytes({4, 0, 132, 4, 0, 0, 0, 133, 'a', 'b', 'c', 'd', 0}));
}

TEST(CompFileFlushes, SmallBufferStreamDecodesToTheSameValues) {
    TempDirectory directory;
    const std::string path = directory.File("small.vnx");
    {
        CompFile file;
        ASSERT_TRUE(file.Open(path, "wb", 10));
        file.WriteInt(0).WriteString("abcd").WriteDouble(2.5).WriteShort(-7).WriteString("xy");
        file.Close();
    }
    for (std::uint32_t readBuffer : {10u, 16384u}) {
        SCOPED_TRACE(readBuffer);
        CompFile file;
        ASSERT_TRUE(file.Open(path, "rb", readBuffer));
        EXPECT_EQ(file.ReadInt(), 0);
        EXPECT_EQ(file.ReadString(), "abcd");
        EXPECT_EQ(file.ReadDouble(), 2.5);
        EXPECT_EQ(file.ReadShort(), -7);
        EXPECT_EQ(file.ReadString(), "xy");
        EXPECT_THROW(file.ReadShort(), CompFileException);
    }
}

// The decoder sees one continuous stream, so packets written by a second
// session onto the end of the file read as if written in one.
TEST(CompFileFlushes, AppendedPacketsContinueTheStream) {
    TempDirectory directory;
    const std::string path = directory.File("appended.vnx");
    {
        CompFile file;
        ASSERT_TRUE(file.Open(path, "wb"));
        file.WriteInt(11).WriteString("first");
        file.Close();
    }
    {
        CompFile file;
        ASSERT_TRUE(file.Open(path, "a"));
        file.WriteString("second").WriteDouble(0.25);
        file.Close();
    }
    CompFile file;
    ASSERT_TRUE(file.Open(path, "r"));
    EXPECT_EQ(file.ReadInt(), 11);
    EXPECT_EQ(file.ReadString(), "first");
    EXPECT_EQ(file.ReadString(), "second");
    EXPECT_EQ(file.ReadDouble(), 0.25);
}

} // namespace
} // namespace varnex
