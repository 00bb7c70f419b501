// Values read back exactly as put, whatever buffer sizes the writer and the
// reader use.
#include <bit>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>
#include <variant>
#include <vector>

#include "archive/CompFile.h"
#include "support/TempDirectory.h"

namespace varnex {
namespace {

using test::TempDirectory;

using Value = std::variant<bool, std::int16_t, std::int32_t, double, std::string>;

void Put(CompFile& file, const Value& value) {
    std::visit(
        [&](const auto& v) {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, bool>)
                file.WriteBool(v);
            else if constexpr (std::is_same_v<T, std::int16_t>)
                file.WriteShort(v);
            else if constexpr (std::is_same_v<T, std::int32_t>)
                file.WriteInt(v);
            else if constexpr (std::is_same_v<T, double>)
                file.WriteDouble(v);
            else
                file.WriteString(v);
        },
        value);
}

void Get(CompFile& file, bool& v, bool byReference) {
    byReference ? void(file.ReadBool(v)) : void(v = file.ReadBool());
}
void Get(CompFile& file, std::int16_t& v, bool byReference) {
    byReference ? void(file.ReadShort(v)) : void(v = file.ReadShort());
}
void Get(CompFile& file, std::int32_t& v, bool byReference) {
    byReference ? void(file.ReadInt(v)) : void(v = file.ReadInt());
}
void Get(CompFile& file, double& v, bool byReference) {
    byReference ? void(file.ReadDouble(v)) : void(v = file.ReadDouble());
}
void Get(CompFile& file, std::string& v, bool byReference) {
    byReference ? void(file.ReadString(v)) : void(v = file.ReadString());
}

// Gets a value of the same kind as `like`, through the reference or the
// value-returning form.
Value Get(CompFile& file, const Value& like, bool byReference) {
    return std::visit(
        [&](const auto& v) -> Value {
            std::decay_t<decltype(v)> got{};
            Get(file, got, byReference);
            return got;
        },
        like);
}

// Doubles compare by bit pattern, so that -0.0 and NaN payloads count.
bool SameValue(const Value& a, const Value& b) {
    if (a.index() != b.index()) return false;
    if (const double* x = std::get_if<double>(&a))
        return std::bit_cast<std::uint64_t>(*x) ==
               std::bit_cast<std::uint64_t>(std::get<double>(b));
    return a == b;
}

void WriteAll(const std::string& path, const std::vector<Value>& values, std::uint32_t bufferSize) {
    CompFile file;
    ASSERT_TRUE(file.Open(path, "wb", bufferSize));
    for (const Value& value : values) Put(file, value);
    file.Close();
}

void ExpectReadsBack(const std::string& path, const std::vector<Value>& values,
                     std::uint32_t bufferSize) {
    CompFile file;
    ASSERT_TRUE(file.Open(path, "rb", bufferSize));
    for (std::size_t i = 0; i < values.size(); ++i) {
        const Value got = Get(file, values[i], i % 2 == 0);
        ASSERT_TRUE(SameValue(got, values[i])) << "value " << i;
    }
    EXPECT_THROW(file.ReadShort(), CompFileException) << "data beyond the values put";
}

std::string EightBitText() {
    std::string text;
    for (int c = 1; c < 256; ++c) text += static_cast<char>(c);
    return text;
}

const std::vector<Value>& ExtremeValues() {
    using limits16 = std::numeric_limits<std::int16_t>;
    using limits32 = std::numeric_limits<std::int32_t>;
    using limitsD = std::numeric_limits<double>;
    static const std::vector<Value> values = {
        true,
        false,
        true,
        std::int16_t{0},
        std::int16_t{-1},
        limits16::min(),
        limits16::max(),
        std::int32_t{0},
        std::int32_t{-1},
        limits32::min(),
        limits32::max(),
        std::int32_t{1001},
        0.0,
        -0.0,
        1.0,
        -2.5e-300,
        limitsD::denorm_min(),
        -limitsD::denorm_min(),
        limitsD::min(),
        limitsD::max(),
        limitsD::lowest(),
        limitsD::infinity(),
        -limitsD::infinity(),
        limitsD::epsilon(),
        std::bit_cast<double>(0x7FF8000000000123ull),
        std::bit_cast<double>(0xFFF8000000000000ull),
        std::string(),
        std::string("Thickness [m]"),
        std::string(""),
        std::string("x"),
        std::string(5000, 'z'),
        EightBitText(),
        std::string("Gr\xfc\xdf"
                    "e \xb5g/l"),
    };
    return values;
}

TEST(CompFileRoundTrip, ExtremeValuesOfEveryType) {
    TempDirectory directory;
    const std::string path = directory.File("extremes.vnx");
    WriteAll(path, ExtremeValues(), CompFile::defaultBufferSize);
    ExpectReadsBack(path, ExtremeValues(), CompFile::defaultBufferSize);
}

TEST(CompFileRoundTrip, NonZeroShortReadsAsTrue) {
    TempDirectory directory;
    const std::string path = directory.File("bools.vnx");
    {
        CompFile file;
        ASSERT_TRUE(file.Open(path, "wb"));
        file.WriteShort(2).WriteShort(256).WriteShort(-1).WriteShort(0);
        file.Close();
    }
    CompFile file;
    ASSERT_TRUE(file.Open(path, "rb"));
    EXPECT_TRUE(file.ReadBool());
    EXPECT_TRUE(file.ReadBool());
    EXPECT_TRUE(file.ReadBool());
    EXPECT_FALSE(file.ReadBool());
}

TEST(CompFileRoundTrip, ReadStringReplacesPreviousContents) {
    TempDirectory directory;
    const std::string path = directory.File("strings.vnx");
    {
        CompFile file;
        ASSERT_TRUE(file.Open(path, "wb"));
        file.WriteString("").WriteString("ab");
        file.Close();
    }
    CompFile file;
    ASSERT_TRUE(file.Open(path, "rb"));
    std::string text = "left over";
    file.ReadString(text);
    EXPECT_EQ(text, "");
    file.ReadString(text);
    EXPECT_EQ(text, "ab");
}

// Something like a project file: labels, type codes, distribution arguments,
// runs of equal samples and zero results, with strings of up to 200 bytes.
std::vector<Value> ProjectLikeValues(std::size_t count) {
    std::mt19937 random(20240521);
    std::uniform_int_distribution<int> kind(0, 9);
    std::uniform_real_distribution<double> sample(0.0, 1000.0);
    std::vector<Value> values;
    while (values.size() < count) {
        switch (kind(random)) {
        case 0: values.emplace_back(random() % 2 == 0); break;
        case 1: values.emplace_back(static_cast<std::int16_t>(random())); break;
        case 2: values.emplace_back(static_cast<std::int32_t>(random() % 12)); break;
        case 3:
            values.emplace_back(
                std::string(random() % 201, static_cast<char>('a' + random() % 26)));
            break;
        case 4: {
            const std::size_t zeros = random() % 300;
            for (std::size_t i = 0; i < zeros; ++i) values.emplace_back(0.0);
            break;
        }
        case 5: {
            const double repeated = sample(random);
            for (int i = 0; i < 40; ++i) values.emplace_back(repeated);
            break;
        }
        default: values.emplace_back(sample(random)); break;
        }
    }
    return values;
}

struct BufferSizes {
    std::uint32_t write;
    std::uint32_t read;
};

class CompFileBufferSizes : public testing::TestWithParam<BufferSizes> {};

// Reading with a smaller buffer than the writer's makes fills stop at packet
// boundaries that fall inside the writer's flushes; a packet that does not fit
// waits for the next fill, and the values must not change. A reader buffer of
// at least the longest value plus one packet (201 + 127) always makes progress.
TEST_P(CompFileBufferSizes, ValuesAreIndependentOfBufferSizes) {
    const std::vector<Value> values = ProjectLikeValues(20000);
    TempDirectory directory;
    const std::string path = directory.File("project.vnx");
    WriteAll(path, values, GetParam().write);
    ExpectReadsBack(path, values, GetParam().read);
}

INSTANTIATE_TEST_SUITE_P(CompFile, CompFileBufferSizes,
                         testing::Values(BufferSizes{16384, 16384}, BufferSizes{16384, 1000},
                                         BufferSizes{16384, 331}, BufferSizes{1000, 16384},
                                         BufferSizes{331, 331}, BufferSizes{331, 16384}),
                         [](const auto& info) {
                             return "Write" + std::to_string(info.param.write) + "Read" +
                                    std::to_string(info.param.read);
                         });

// 150 zero shorts make the run packets 127, 127 and 46; a 200-byte reader can
// decode only the first of them in its first fill.
TEST(CompFileBufferSizesAtPackets, RunThatDoesNotFitWaitsForTheNextFill) {
    std::vector<Value> values = {std::int32_t{7}};
    for (int i = 0; i < 150; ++i) values.emplace_back(std::int16_t{0});
    values.emplace_back(std::int32_t{9});
    TempDirectory directory;
    const std::string path = directory.File("runs.vnx");
    WriteAll(path, values, CompFile::defaultBufferSize);
    ExpectReadsBack(path, values, 200);
}

} // namespace
} // namespace varnex
