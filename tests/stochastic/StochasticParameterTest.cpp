// Identity, copying, sampling, reports, the samples dump and the stored
// record of stochastic parameters.

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <stdexcept>
#include <vector>

#include "archive/CompFile.h"
#include "archive/FileVersion.h"
#include "stochastic/DistributionError.h"
#include "stochastic/IterationCount.h"
#include "stochastic/ParameterIdentity.h"
#include "stochastic/RandomStream.h"
#include "stochastic/StochasticParameter.h"
#include "support/ProgramStateTest.h"
#include "support/ScriptedRandomSource.h"
#include "support/TempDirectory.h"

namespace varnex {
namespace {

class StochasticParameterTest : public test::ProgramStateTest {};

StochasticParameter WithSamples(const char* text, int n) {
    StochasticParameter p;
    EXPECT_TRUE(p.distribution.Parse(text));
    SetIterationCount(n);
    p.SampleAll(false);
    return p;
}

TEST_F(StochasticParameterTest, IdentityNumbers) {
    StochasticParameter first;
    StochasticParameter second;
    EXPECT_EQ(first.id, 1);
    EXPECT_EQ(second.id, 2);
    StochasticParameter copy(first);
    EXPECT_EQ(copy.id, first.id);
    copy.Renumber();
    EXPECT_EQ(copy.id, 3);
    StochasticParameter third;
    EXPECT_EQ(third.id, 4);
    // Raising only ever moves the counter up.
    RaiseParameterIdCounter(2);
    EXPECT_EQ(StochasticParameter().id, 5);
    RaiseParameterIdCounter(500);
    EXPECT_EQ(StochasticParameter().id, 501);
}

TEST_F(StochasticParameterTest, CopyKeepsEverythingButTheSamples) {
    StochasticParameter source = WithSamples("TRIANGULAR(1,2,3)", 4);
    source.SetLabel("Thickness [m]");
    source.distribution.unitFactor = 0.001;
    source.distribution.minLimit = 0.5;
    source.auxFlag = true;
    source.auxValue = 42;
    StochasticParameter copy(source);
    EXPECT_EQ(copy.Label(), "Thickness [m]");
    EXPECT_EQ(copy.distribution.unitFactor, 0.001);
    EXPECT_EQ(copy.distribution.minLimit, 0.5);
    EXPECT_EQ(copy.distribution.sample, source.distribution.sample);
    EXPECT_TRUE(copy.IsEqual(source));
    EXPECT_TRUE(copy.auxFlag);
    EXPECT_EQ(copy.auxValue, 42);
    EXPECT_EQ(copy.SampleCount(), 0u);
}

TEST_F(StochasticParameterTest, AssignmentKeepsTheTargetsSamples) {
    StochasticParameter target = WithSamples("SINGLE(7)", 3);
    StochasticParameter source = WithSamples("SINGLE(2)", 5);
    target = source;
    EXPECT_EQ(target.id, source.id);
    EXPECT_EQ(target.Format(), "SINGLE(2)");
    EXPECT_EQ(target.Samples(), (std::vector<double>{7, 7, 7}));
    StochasticParameter& alias = target;
    target = alias;
    EXPECT_EQ(target.Samples(), (std::vector<double>{7, 7, 7}));
}

TEST_F(StochasticParameterTest, MovingAnInputTakesItsSamplesAlong) {
    // Entities live in growing sequences; relocating them must not lose the
    // samples of the last run.
    std::vector<StochasticParameter> inputs;
    inputs.push_back(WithSamples("SINGLE(3)", 2));
    for (int i = 0; i < 100; ++i) inputs.emplace_back();
    EXPECT_EQ(inputs.front().Samples(), (std::vector<double>{3, 3}));
    inputs.erase(inputs.begin() + 1);
    EXPECT_EQ(inputs.front().Samples(), (std::vector<double>{3, 3}));
}

TEST_F(StochasticParameterTest, SampleAllFollowsTheIterationCount) {
    StochasticParameter p;
    ASSERT_TRUE(p.distribution.Parse("SINGLE(2)"));
    SetIterationCount(0);
    p.SampleAll(false);
    EXPECT_EQ(p.SampleCount(), 0u);
    SetIterationCount(-4);
    p.SampleAll(false);
    EXPECT_EQ(p.SampleCount(), 0u);
    SetIterationCount(3);
    p.SampleAll(false);
    EXPECT_EQ(p.Samples(), (std::vector<double>{2, 2, 2}));
}

TEST_F(StochasticParameterTest, DrawsOfOneInputAreConsecutiveInTheStream) {
    // UNIFORM(0,32767) turns each deviate r back into r, so the samples show
    // exactly which part of the stream each input received.
    SetRandomSeed(1);
    std::vector<double> expected;
    for (int i = 0; i < 6; ++i) expected.push_back(Rand());
    SetRandomSeed(1);
    StochasticParameter a, b;
    ASSERT_TRUE(a.distribution.Parse("UNIFORM(0,32767)"));
    ASSERT_TRUE(b.distribution.Parse("UNIFORM(0,32767)"));
    SetIterationCount(3);
    a.SampleAll(false);
    b.SampleAll(false);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(a.SampleAt(i), expected[i], 1e-9);
        EXPECT_NEAR(b.SampleAt(i), expected[i + 3], 1e-9);
    }
}

TEST_F(StochasticParameterTest, CentralSamplingAndSingleRedraw) {
    StochasticParameter p;
    ASSERT_TRUE(p.distribution.Parse("UNIFORM(2,4)"));
    SetIterationCount(3);
    p.SampleAll(true);
    EXPECT_EQ(p.Samples(), (std::vector<double>{3, 3, 3}));
    test::ScriptedRandomSource source{32767};
    EXPECT_EQ(p.SampleOne(1, false), 4.0);
    EXPECT_EQ(p.Samples(), (std::vector<double>{3, 4, 3}));
    p.SampleAt(2) = 2.5;
    EXPECT_EQ(p.SampleAt(2), 2.5);
    EXPECT_THROW(p.SampleAt(3), std::out_of_range);
}

TEST_F(StochasticParameterTest, ResizeKeepsLeadingValuesAndZeroFillsTheRest) {
    StochasticParameter p = WithSamples("SINGLE(5)", 3);
    p.Resize(5);
    EXPECT_EQ(p.Samples(), (std::vector<double>{5, 5, 5, 0, 0}));
    p.Resize(2);
    EXPECT_EQ(p.Samples(), (std::vector<double>{5, 5}));
    p.Resize(2);
    EXPECT_EQ(p.Samples(), (std::vector<double>{5, 5}));
    p.Resize(0);
    EXPECT_EQ(p.SampleCount(), 0u);
    SetIterationCount(4);
    p.Resize();
    EXPECT_EQ(p.Samples(), (std::vector<double>{0, 0, 0, 0}));
    p.FreeSamples();
    EXPECT_EQ(p.SampleCount(), 0u);
}

TEST_F(StochasticParameterTest, AppendReportLines) {
    StochasticParameter valid;
    ASSERT_TRUE(valid.distribution.Parse("5"));
    std::string report;
    EXPECT_TRUE(valid.AppendReport(report));
    EXPECT_EQ(report, "");

    StochasticParameter thickness;
    thickness.SetLabel("Thickness [m]");
    thickness.distribution.Parse("SINGLE(-1)");
    EXPECT_FALSE(thickness.AppendReport(report));
    EXPECT_EQ(
        report,
        "\tThickness [m] - Value less than minimum limit (0)\n Value less than or equal to zero");

    StochasticParameter undefined;
    undefined.SetLabel("Infiltration [mm/yr]");
    EXPECT_FALSE(undefined.AppendReport(report, "Source 1"));
    EXPECT_EQ(
        report,
        "\tThickness [m] - Value less than minimum limit (0)\n Value less than or equal to zero"
        "\n\tSource 1 Infiltration [mm/yr] - Data missing");
}

TEST_F(StochasticParameterTest, DumpWritesLabelCountAndNumberedValues) {
    test::TempDirectory dir;
    StochasticParameter p;
    p.SetLabel("Thickness [m]");
    ASSERT_TRUE(p.distribution.Parse("SINGLE(2.5)"));
    SetIterationCount(2);
    p.SampleAll(false);
    p.SampleAt(1) = 1234567.0;
    const std::string path = dir.File("debug.txt");
    test::WriteFileBytes(path, "old content that must go away\n");
    ASSERT_TRUE(p.DumpSamples(path));
    EXPECT_EQ(test::ReadFileBytes(path), "Thickness [m]\n2 iterations\n1\t2.5\n2\t1.23457e+06\n");
    EXPECT_FALSE(p.DumpSamples(dir.File("missing-folder/debug.txt")));
}

// The stored record through a real archive, with and without results.
class ParameterRecord : public StochasticParameterTest {
protected:
    test::TempDirectory dir;
    std::string path = dir.File("record.bin");

    void WriteAll(const std::vector<const StochasticParameter*>& inputs, bool withResults) {
        SetResultsSaved(withResults);
        CompFile archive;
        ASSERT_TRUE(archive.Open(path, "wb"));
        for (const StochasticParameter* p : inputs) p->Write(archive);
        archive.Close();
    }
};

TEST_F(ParameterRecord, RoundTripWithResultsKeepsSamples) {
    StochasticParameter p = WithSamples("TRIANGULAR(1,2,3)", 5);
    p.SetLabel("Thickness [m]");
    p.distribution.minLimit = 0.25;
    p.distribution.maxLimit = 9;
    p.auxFlag = true;
    p.auxValue = -7;
    StochasticParameter empty;
    WriteAll({&p, &empty}, true);

    StochasticParameter back, emptyBack;
    back.distribution.unitFactor = 0.001; // set by the owner, never stored
    CompFile archive;
    ASSERT_TRUE(archive.Open(path, "rb"));
    back.Read(archive);
    emptyBack.Read(archive);
    EXPECT_EQ(back.id, p.id);
    EXPECT_EQ(back.Label(), "Thickness [m]");
    EXPECT_EQ(back.distribution.type, p.distribution.type);
    EXPECT_TRUE(back.IsEqual(p));
    EXPECT_EQ(back.distribution.minLimit, 0.25);
    EXPECT_EQ(back.distribution.maxLimit, 9);
    EXPECT_EQ(back.distribution.unitFactor, 0.001);
    EXPECT_TRUE(back.auxFlag);
    EXPECT_EQ(back.auxValue, -7);
    EXPECT_EQ(back.Samples(), p.Samples());
    EXPECT_EQ(emptyBack.SampleCount(), 0u);
    EXPECT_EQ(emptyBack.id, empty.id);
}

TEST_F(ParameterRecord, WithoutResultsReadsBackWithEmptySamples) {
    StochasticParameter p = WithSamples("NORMAL(5,1)", 5);
    WriteAll({&p}, false);
    StochasticParameter back = WithSamples("SINGLE(1)", 3);
    CompFile archive;
    ASSERT_TRUE(archive.Open(path, "rb"));
    back.Read(archive);
    EXPECT_TRUE(back.IsEqual(p));
    // Reading without a sample block leaves whatever samples were there.
    EXPECT_EQ(back.Samples(), (std::vector<double>{1, 1, 1}));
    EXPECT_THROW(archive.ReadInt(), CompFileException); // nothing more in the file
}

TEST_F(ParameterRecord, ReadingRaisesTheIdentityCounter) {
    StochasticParameter p;
    p.id = 500;
    WriteAll({&p}, false);
    ResetParameterIdCounter();
    StochasticParameter back;
    CompFile archive;
    ASSERT_TRUE(archive.Open(path, "rb"));
    back.Read(archive);
    EXPECT_EQ(back.id, 500);
    EXPECT_GE(StochasticParameter().id, 501);
}

// Found by fuzzing the project reader: a damaged file carrying the largest
// 32-bit identity raised the counter to it, and the next new input
// overflowed it (undefined behaviour, then identities shared with loaded
// inputs). Such a number is now a read error, and the counter refuses to wrap.
TEST_F(ParameterRecord, AnIdentityNearTheCounterLimitIsADamagedFile) {
    for (std::int32_t stored :
         {maximumStoredParameterId + 1, std::numeric_limits<std::int32_t>::max()}) {
        StochasticParameter p;
        p.id = stored;
        WriteAll({&p}, false);
        ResetParameterIdCounter(7);
        StochasticParameter back;
        CompFile archive;
        ASSERT_TRUE(archive.Open(path, "rb"));
        EXPECT_THROW(back.Read(archive), CompFileException) << stored;
        EXPECT_EQ(ParameterIdCounter(), 8) << "the counter moved for " << stored;
    }
    // The largest number a file may carry still loads and leaves room.
    StochasticParameter p;
    p.id = maximumStoredParameterId;
    WriteAll({&p}, false);
    StochasticParameter back;
    CompFile archive;
    ASSERT_TRUE(archive.Open(path, "rb"));
    back.Read(archive);
    EXPECT_EQ(StochasticParameter().id, maximumStoredParameterId + 1);
}

TEST_F(StochasticParameterTest, TheIdentityCounterNeverWraps) {
    ResetParameterIdCounter(std::numeric_limits<std::int32_t>::max() - 1);
    EXPECT_EQ(NextParameterId(), std::numeric_limits<std::int32_t>::max());
    EXPECT_THROW(NextParameterId(), std::overflow_error);
    EXPECT_EQ(ParameterIdCounter(), std::numeric_limits<std::int32_t>::max());
}

TEST_F(ParameterRecord, DistributionFieldsAreStoredInTheirOrder) {
    Distribution d;
    d.SetLabel("L");
    d.singleValue = 1;
    d.minimum = 2;
    d.likely = 3;
    d.maximum = 4;
    d.mean = 5;
    d.standardDeviation = 6;
    d.bias = 0.5;
    d.trials = -3;
    d.probability = 0.25;
    d.rate = 9;
    d.type = 4;
    d.minLimit = 0.125;
    d.maxLimit = 11;
    d.errorFlags = 0x40;
    d.unitFactor = 0.001;
    d.sample = 77;
    {
        CompFile archive;
        ASSERT_TRUE(archive.Open(path, "wb"));
        d.Write(archive);
        archive.Close();
    }
    CompFile archive;
    ASSERT_TRUE(archive.Open(path, "rb"));
    EXPECT_EQ(archive.ReadString(), "L");
    for (double expected : {1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 0.5})
        EXPECT_EQ(archive.ReadDouble(), expected);
    EXPECT_EQ(archive.ReadShort(), -3);
    EXPECT_EQ(archive.ReadDouble(), 0.25);
    EXPECT_EQ(archive.ReadDouble(), 9.0);
    EXPECT_EQ(archive.ReadShort(), 4);
    EXPECT_EQ(archive.ReadDouble(), 0.125);
    EXPECT_EQ(archive.ReadDouble(), 11.0);
    EXPECT_EQ(archive.ReadInt(), 0x40);
    EXPECT_THROW(archive.ReadShort(), CompFileException); // unitFactor and sample are not stored
}

TEST_F(ParameterRecord, FlagsAreRestoredWithoutANewCheck) {
    StochasticParameter p;
    ASSERT_FALSE(p.distribution.Parse("UNIFORM(-1,5)"));
    StochasticParameter unreadable;
    ASSERT_FALSE(unreadable.distribution.Parse("UNIFORM(3)"));
    WriteAll({&p, &unreadable}, false);
    CompFile archive;
    ASSERT_TRUE(archive.Open(path, "rb"));
    StochasticParameter back, unreadableBack;
    back.Read(archive);
    unreadableBack.Read(archive);
    EXPECT_EQ(back.distribution.errorFlags, p.distribution.errorFlags);
    // A text that could not be read when saved stays invalid when checked.
    EXPECT_FALSE(unreadableBack.IsValid());
    EXPECT_EQ(unreadableBack.distribution.errorFlags, DistributionError::argumentCount);
}

TEST_F(ParameterRecord, ValuesThatAreNotNumbersAreInvalidWhenRead) {
    StochasticParameter p;
    ASSERT_TRUE(p.distribution.Parse("NORMAL(1,2)"));
    p.distribution.mean = std::nan(""); // as a damaged file could hold
    p.distribution.errorFlags = 0;
    StochasticParameter q;
    ASSERT_TRUE(q.distribution.Parse("5"));
    q.distribution.type = 300; // no such type
    q.distribution.errorFlags = 0;
    WriteAll({&p, &q}, false);
    CompFile archive;
    ASSERT_TRUE(archive.Open(path, "rb"));
    StochasticParameter back, typeBack;
    back.Read(archive);
    typeBack.Read(archive);
    EXPECT_EQ(back.distribution.errorFlags, DistributionError::syntax);
    EXPECT_FALSE(back.IsValid());
    EXPECT_EQ(typeBack.distribution.type, 300);
    EXPECT_FALSE(typeBack.IsValid());
}

TEST_F(ParameterRecord, DamagedSampleCountsFailAsReadErrors) {
    StochasticParameter p = WithSamples("SINGLE(1)", 2);
    for (std::int32_t badCount : {-1, 2000000000}) {
        SetResultsSaved(true);
        {
            CompFile archive;
            ASSERT_TRUE(archive.Open(path, "wb"));
            archive.WriteInt(p.id);
            p.distribution.Write(archive);
            archive.WriteBool(false).WriteInt(0).WriteInt(badCount).WriteDouble(1.0);
            archive.Close();
        }
        CompFile archive;
        ASSERT_TRUE(archive.Open(path, "rb"));
        StochasticParameter back;
        EXPECT_THROW(back.Read(archive), CompFileException) << badCount;
    }
}

} // namespace
} // namespace varnex
