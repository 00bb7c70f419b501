// The result vector: sizing to the iteration count, Prepare and At, its
// summary statistics, and its storage in the archive.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <gtest/gtest.h>
#include <limits>
#include <new>
#include <numeric>
#include <random>
#include <stdexcept>
#include <sys/resource.h>
#include <vector>

#include "archive/CompFile.h"
#include "archive/CompFileException.h"
#include "results/ResultVector.h"
#include "stochastic/IterationCount.h"
#include "support/Expectations.h"
#include "support/ScriptedRandomSource.h"
#include "support/TempDirectory.h"
namespace varnex {
namespace {

using test::TempDirectory;

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

using test::VectorOf;

std::vector<double> Percentiles(const ResultVector& vector) {
    std::vector<double> values;
    for (int j = 0; j < ResultVector::percentileCount; ++j)
        values.push_back(vector.PercentileValue(j));
    return values;
}

class ResultVectorTest : public ::testing::Test {
protected:
    void SetUp() override { test::ResetProgramState(); }
};

// --- Sizing ------------------------------------------------------------------

TEST_F(ResultVectorTest, ConstructionTakesNoMemoryUntilPrepared) {
    SetIterationCount(5);
    ResultVector unlabelled;
    ResultVector labelled("Soil Mass");
    EXPECT_EQ(unlabelled.Size(), 0u);
    for (ResultVector* v : {&unlabelled, &labelled}) {
        v->Prepare(0, true); // sized to the iteration count
        EXPECT_EQ(v->Values(), std::vector<double>(5, 0.0));
        for (int j = 0; j < ResultVector::percentileCount; ++j)
            EXPECT_EQ(v->PercentileValue(j), 0.0);
    }
    EXPECT_EQ(labelled.Label(), "Soil Mass");
    EXPECT_EQ(unlabelled.Label(), "");

    // The levels of the statistics view: 5 % ... 95 %.
    const std::vector<int> levels{5, 10, 25, 50, 75, 90, 95};
    for (int j = 0; j < ResultVector::percentileCount; ++j)
        EXPECT_EQ(labelled.PercentileLevel(j), levels[j]);
    EXPECT_THROW((void)labelled.PercentileLevel(7), std::out_of_range);

    // A damaged, negative iteration count sizes nothing instead of wrapping.
    SetIterationCount(-3);
    unlabelled.Prepare(0, true);
    EXPECT_EQ(unlabelled.Size(), 0u);
}

TEST_F(ResultVectorTest, PrepareResizesKeepingLeadingValuesOrZeroes) {
    SetIterationCount(4);
    ResultVector vector;
    vector.Prepare(0, true);
    for (std::size_t i = 0; i < 4; ++i) vector.At(i) = double(i + 1);

    vector.Prepare(6, false); // grow: keep 1..4, add zeros
    EXPECT_EQ(vector.Values(), (std::vector<double>{1, 2, 3, 4, 0, 0}));
    vector.Prepare(2, false); // shrink: keep the leading values
    EXPECT_EQ(vector.Values(), (std::vector<double>{1, 2}));
    vector.Prepare(0, false); // 0 means the iteration count N
    EXPECT_EQ(vector.Values(), (std::vector<double>{1, 2, 0, 0}));
    vector.Prepare(3, true);
    EXPECT_EQ(vector.Values(), std::vector<double>(3, 0.0));

    // N changed after creation: a new run's preparation follows it.
    SetIterationCount(7);
    vector.At(0) = 9;
    vector.Prepare(0, true);
    EXPECT_EQ(vector.Values(), std::vector<double>(7, 0.0));
}

TEST_F(ResultVectorTest, AtIsBoundsChecked) {
    SetIterationCount(3);
    ResultVector vector;
    EXPECT_THROW(vector.At(0), std::out_of_range); // not prepared yet
    vector.Prepare(0, true);
    vector.At(2) = 4.5;
    const ResultVector& constant = vector;
    EXPECT_EQ(constant.At(2), 4.5);
    EXPECT_THROW(vector.At(3), std::out_of_range);
    EXPECT_THROW((void)constant.At(3), std::out_of_range);
    EXPECT_THROW(vector.At(std::numeric_limits<std::size_t>::max()), std::out_of_range);
}

// --- Statistics --------------------------------------------------------------

TEST_F(ResultVectorTest, StatisticsOfSmallHandWorkedSets) {
    // {3, 1, 2}: mean 2, sample variance ((1 + 0 + 1) / 2) = 1; percentile
    // indices ceil(3p/100) - 1 = 0, 0, 0, 1, 2, 2, 2.
    ResultVector three = VectorOf({3, 1, 2});
    three.ComputeStatistics();
    EXPECT_EQ(three.Minimum(), 1);
    EXPECT_EQ(three.Maximum(), 3);
    EXPECT_EQ(three.Mean(), 2);
    EXPECT_EQ(three.Sum(), 6);
    EXPECT_EQ(three.Variance(), 1);
    EXPECT_EQ(three.StandardDeviation(), 1);
    EXPECT_EQ(Percentiles(three), (std::vector<double>{1, 1, 1, 2, 3, 3, 3}));
    // The values themselves are not reordered by the sort.
    EXPECT_EQ(three.Values(), (std::vector<double>{3, 1, 2}));

    // One value: everything is that value, and there is no spread.
    ResultVector one = VectorOf({7});
    one.ComputeStatistics();
    EXPECT_EQ(one.Minimum(), 7);
    EXPECT_EQ(one.Maximum(), 7);
    EXPECT_EQ(one.Mean(), 7);
    EXPECT_EQ(one.Variance(), 0);
    EXPECT_EQ(one.StandardDeviation(), 0);
    EXPECT_EQ(Percentiles(one), std::vector<double>(7, 7.0));

    // {2, 4, 4, 4, 5, 5, 7, 9}: mean 5, squared deviations sum to 32, so the
    // sample variance is 32 / 7 (the population one would be 4).
    ResultVector eight = VectorOf({9, 4, 2, 5, 4, 7, 4, 5});
    eight.ComputeStatistics();
    EXPECT_EQ(eight.Mean(), 5);
    EXPECT_DOUBLE_EQ(eight.Variance(), 32.0 / 7.0);
    EXPECT_DOUBLE_EQ(eight.StandardDeviation(), std::sqrt(32.0 / 7.0));
}

// Finite values near the top of the double range: the sums behind the mean
// and variance overflow, and before, a mean of "inf" was shown for four
// values of 5e307. The statistics of a set are those worked by hand.
TEST_F(ResultVectorTest, StatisticsOfHugeValuesDoNotOverflow) {
    ResultVector equal = VectorOf({5e307, 5e307, 5e307, 5e307});
    equal.ComputeStatistics();
    EXPECT_EQ(equal.Mean(), 5e307);
    EXPECT_EQ(equal.Variance(), 0.0);
    EXPECT_EQ(equal.StandardDeviation(), 0.0);
    EXPECT_TRUE(equal.StatisticsRepresentable());

    // {1e300, 1e300, 4e300}: mean 2e300, deviations -1, -1, 2 (x 1e300):
    // the sum of squares overflows, the mean does not.
    ResultVector spread = VectorOf({1e300, 4e300, 1e300});
    spread.ComputeStatistics();
    EXPECT_DOUBLE_EQ(spread.Mean(), 2e300);
    EXPECT_EQ(spread.Maximum(), 4e300);
    // Its variance, 3e600, no double holds: said so, never shown as inf.
    EXPECT_FALSE(spread.StatisticsRepresentable());

    // {-1e308, 1e308, 1e308}: the sum passes the range on the way.
    ResultVector signs = VectorOf({1e308, -1e308, 1e308});
    signs.ComputeStatistics();
    EXPECT_DOUBLE_EQ(signs.Mean(), 1e308 / 3.0);

    ResultVector ordinary = VectorOf({3, 1, 2});
    ordinary.ComputeStatistics();
    EXPECT_TRUE(ordinary.StatisticsRepresentable());
}

TEST_F(ResultVectorTest, PercentilesUseNearestRankIndices) {
    // Values equal to their sorted index, shuffled, so each percentile value
    // is the index the nearest-rank rule picks. Expected indices are the
    // worked examples ceil(n p / 100) - 1 for n = 10 and n = 1000 (the median
    // of an even count is the lower one).
    std::mt19937 shuffle(42);
    struct Case {
        std::size_t n;
        std::vector<double> indices;
    };
    for (const Case& c :
         {Case{10, {0, 0, 2, 4, 7, 8, 9}}, Case{1000, {49, 99, 249, 499, 749, 899, 949}}}) {
        std::vector<double> values(c.n);
        std::iota(values.begin(), values.end(), 0.0);
        std::shuffle(values.begin(), values.end(), shuffle);
        ResultVector vector = VectorOf(values);
        vector.ComputeStatistics();
        EXPECT_EQ(Percentiles(vector), c.indices) << "n = " << c.n;
        EXPECT_EQ(vector.Minimum(), 0);
        EXPECT_EQ(vector.Maximum(), double(c.n - 1));
    }
}

TEST_F(ResultVectorTest, ZerosCountLikeAnyOtherValue) {
    // Six iterations without breakthrough and four of 10 mg/l: mean 4,
    // median (index 4) 0, 75 % (index 7) 10.
    ResultVector vector = VectorOf({0, 10, 0, 0, 10, 0, 10, 0, 0, 10});
    vector.ComputeStatistics();
    EXPECT_EQ(vector.Mean(), 4);
    EXPECT_EQ(vector.PercentileValue(3), 0);
    EXPECT_EQ(vector.PercentileValue(4), 10);
}

TEST_F(ResultVectorTest, EmptyVectorClearsEveryStatisticOfAnEarlierRun) {
    ResultVector vector = VectorOf({3, 1, 2});
    vector.ComputeStatistics();
    SetIterationCount(0); // a project without iterations
    vector.Prepare(0, true);
    ASSERT_EQ(vector.Size(), 0u);
    vector.ComputeStatistics();
    EXPECT_EQ(vector.Minimum(), 0);
    EXPECT_EQ(vector.Maximum(), 0);
    EXPECT_EQ(vector.Mean(), 0);
    EXPECT_EQ(vector.Sum(), 0);
    EXPECT_EQ(vector.Variance(), 0);
    EXPECT_EQ(vector.StandardDeviation(), 0);
    EXPECT_EQ(Percentiles(vector), std::vector<double>(7, 0.0));
}

TEST_F(ResultVectorTest, SumRunsFromTheSmallestValueUp) {
    // Ascending: 1 + 1 = 2, then 2 + 1e16 is exact (doubles near 1e16 are 2
    // apart). In the stored order 1e16 + 1 rounds back to 1e16 (a tie, to
    // even) twice and the 2 is lost.
    ResultVector vector = VectorOf({1e16, 1, 1});
    vector.ComputeStatistics();
    EXPECT_EQ(vector.Sum(), 1e16 + 2);
}

TEST_F(ResultVectorTest, VarianceIsTheOnePassFormulaWithItsRounding) {
    // Seven values of 0.7: the exact variance is 0, but
    // (n * sum(x^2) - sum^2) / (n (n - 1)) evaluated step by step in IEEE
    // double (worked out separately) is -2.5376526277146434e-16. It is kept,
    // and the SD is the root of its magnitude rather than NaN.
    ResultVector equal = VectorOf(std::vector<double>(7, 0.7));
    equal.ComputeStatistics();
    EXPECT_EQ(equal.Variance(), -2.5376526277146434e-16);
    EXPECT_EQ(equal.StandardDeviation(), std::sqrt(2.5376526277146434e-16));
    EXPECT_EQ(equal.Minimum(), 0.7);
    EXPECT_EQ(equal.Maximum(), 0.7);

    // The formula's cancellation: {1e8 + 1, 1e8 + 2, 1e8 + 3} has variance 1
    // but the one-pass evaluation in double gives exactly 0 (again worked out
    // step by step). A two-pass algorithm would give 1.
    ResultVector offset = VectorOf({1e8 + 3, 1e8 + 1, 1e8 + 2});
    offset.ComputeStatistics();
    EXPECT_EQ(offset.Variance(), 0.0);
    EXPECT_EQ(offset.Mean(), 1e8 + 2);
}

TEST_F(ResultVectorTest, InfinitiesAndNaNGiveDefinedExtremes) {
    // NaN sorts after everything, so the maximum flags it; the minimum is the
    // smallest number. Infinities are ordinary extremes.
    ResultVector withNaN = VectorOf({2, nan, -inf, 1, nan, inf});
    withNaN.ComputeStatistics();
    EXPECT_EQ(withNaN.Minimum(), -inf);
    EXPECT_TRUE(std::isnan(withNaN.Maximum()));
    // n = 6: indices 0, 0, 1, 2, 4, 5, 5 of (-inf, 1, 2, inf, NaN, NaN).
    EXPECT_EQ(withNaN.PercentileValue(0), -inf);
    EXPECT_EQ(withNaN.PercentileValue(2), 1);
    EXPECT_EQ(withNaN.PercentileValue(3), 2);
    EXPECT_TRUE(std::isnan(withNaN.PercentileValue(4)));

    ResultVector infinite = VectorOf({inf, 3, -inf});
    infinite.ComputeStatistics();
    EXPECT_EQ(infinite.Minimum(), -inf);
    EXPECT_EQ(infinite.Maximum(), inf);
    EXPECT_EQ(infinite.PercentileValue(3), 3);
    EXPECT_TRUE(std::isnan(infinite.Mean())); // -inf + inf
}

// --- Storage -----------------------------------------------------------------

bool SameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

TEST_F(ResultVectorTest, WriteThenReadRestoresValuesAndStatistics) {
    TempDirectory dir;
    const std::string path = dir.File("results.bin");
    const std::vector<double> values{3,    -0.0, 1, 2, std::numeric_limits<double>::denorm_min(),
                                     5e300};
    {
        CompFile out;
        ASSERT_TRUE(out.Open(path, "wb"));
        VectorOf(values).Write(out);
        VectorOf({}).Write(out);
        VectorOf({8}).Write(out);
        out.Close();
    }
    {
        // The layout: a 32-bit count, then the doubles, nothing else.
        CompFile in;
        ASSERT_TRUE(in.Open(path, "rb"));
        EXPECT_EQ(in.ReadInt(), 6);
        for (const double v : values) EXPECT_TRUE(SameBits(in.ReadDouble(), v));
        EXPECT_EQ(in.ReadInt(), 0);
        EXPECT_EQ(in.ReadInt(), 1);
        EXPECT_EQ(in.ReadDouble(), 8);
    }
    SetIterationCount(2);
    CompFile in;
    ASSERT_TRUE(in.Open(path, "rb"));
    ResultVector first("label kept");
    first.Read(in);
    ASSERT_EQ(first.Size(), values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        EXPECT_TRUE(SameBits(first.At(i), values[i])) << i;
    EXPECT_EQ(first.Label(), "label kept");
    // Statistics recomputed on reading, not left at construction's zeros.
    EXPECT_EQ(first.Minimum(), -0.0);
    EXPECT_EQ(first.Maximum(), 5e300);
    EXPECT_EQ(first.PercentileValue(3), 1); // n = 6: index 2 of (-0, tiny, 1, 2, 3, 5e300)
    EXPECT_DOUBLE_EQ(first.Mean(), 5e300 / 6);

    ResultVector empty = VectorOf({3, 1, 2});
    empty.ComputeStatistics();
    empty.Read(in);
    EXPECT_EQ(empty.Size(), 0u);
    EXPECT_EQ(Percentiles(empty), std::vector<double>(7, 0.0));

    ResultVector single;
    single.Read(in);
    EXPECT_EQ(single.Values(), std::vector<double>{8});
    EXPECT_EQ(single.Mean(), 8);
}

TEST_F(ResultVectorTest, DamagedCountsAreReadErrorsThatLeaveTheVectorAlone) {
    TempDirectory dir;
    struct Case {
        const char* name;
        std::int32_t count;
        int valuesPresent;
    };
    // A negative count; a count beyond the values that follow; a count of
    // 2^31 - 1 with nothing behind it.
    for (const Case& c : {Case{"negative", -1, 0}, Case{"short", 5, 2},
                          Case{"huge", std::numeric_limits<std::int32_t>::max(), 0}}) {
        const std::string path = dir.File(std::string(c.name) + ".bin");
        {
            CompFile out;
            ASSERT_TRUE(out.Open(path, "wb"));
            out.WriteInt(c.count);
            for (int i = 0; i < c.valuesPresent; ++i) out.WriteDouble(i + 0.5);
            out.Close();
        }
        CompFile in;
        ASSERT_TRUE(in.Open(path, "rb"));
        ResultVector vector = VectorOf({4, 6});
        vector.ComputeStatistics();
        try {
            vector.Read(in);
            ADD_FAILURE() << c.name << ": no exception";
        } catch (const CompFileException& e) {
            EXPECT_EQ(e.ErrorCode(), CompFileException::readFailed) << c.name;
            EXPECT_NE(e.Message().find(path), std::string::npos) << c.name << ": " << e.Message();
        }
        EXPECT_EQ(vector.Values(), (std::vector<double>{4, 6})) << c.name;
        EXPECT_EQ(vector.Mean(), 5) << c.name;
    }
}

#if !defined(VARNEX_ADDRESS_SANITIZER)
// Runs in the death test's child: reads the vector under a 1 GiB address-space
// limit and returns 0 when that ends in the archive's read error.
int ReadUnderAddressSpaceLimit(const std::string& path) {
    const rlim_t limit = rlim_t{1} << 30;
    const rlimit bounded{limit, limit};
    if (setrlimit(RLIMIT_AS, &bounded) != 0) return 3;
    CompFile in;
    if (!in.Open(path, "rb")) return 4;
    ResultVector vector;
    try {
        vector.Read(in);
    } catch (const CompFileException& e) {
        return e.ErrorCode() == CompFileException::readFailed ? 0 : 5;
    } catch (const std::bad_alloc&) {
        return 6;
    }
    return 7;
}

// A count of 2^31 - 1 with one value behind it must end in the read error,
// not in std::bad_alloc from reserving 16 GiB for values that are not there.
// (Not under AddressSanitizer, whose shadow memory needs far more address
// space than the limit allows.)
TEST_F(ResultVectorTest, HugeCountDoesNotReserveItsMemoryUpFront) {
    TempDirectory dir;
    const std::string path = dir.File("huge.bin");
    {
        CompFile out;
        ASSERT_TRUE(out.Open(path, "wb"));
        out.WriteInt(std::numeric_limits<std::int32_t>::max());
        out.WriteDouble(1.5);
        out.Close();
    }
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::_Exit(ReadUnderAddressSpaceLimit(path)), ::testing::ExitedWithCode(0), "");
}
#endif

} // namespace
} // namespace varnex
