// Files written by older versions load with the defaults of the fields they
// lack. Each file is made here value by value through the archive, in the
// layout of its version; files this program cannot read are refused by
// their version.

#include <gtest/gtest.h>
#include <string>

#include "archive/CompFile.h"
#include "archive/FileVersion.h"
#include "model/Project.h"
#include "persist/ProjectFile.h"
#include "stochastic/DistributionType.h"
#include "stochastic/IterationCount.h"
#include "support/ScriptedRandomSource.h"
#include "support/TempDirectory.h"

namespace varnex {
namespace {

// Writes the project every test expects back, in the layout of `version`.
// Inputs the version stored but the model no longer has are written with
// the value 999, which must appear nowhere after loading.
class OldFileWriter {
public:
    OldFileWriter(CompFile& archive, const FileVersion& version) : a_(archive), v_(version) {}

    void Write(bool withResults = false) {
        a_.WriteInt(v_.major).WriteInt(v_.minor).WriteInt(v_.build);
        if (Newer({2, 4, 0, 0, false})) a_.WriteInt(v_.revision);
        a_.WriteBool(withResults)
            .WriteString("2001-02-03 04:05:06")
            .WriteString("C:\\old\\place.vnx");
        for (const char* text : {"Title", "Client", "42", "Me", "Comment"}) a_.WriteString(text);
        a_.WriteInt(250);
        a_.WriteInt(2).WriteDouble(10.0).WriteDouble(50.0);
        a_.WriteInt(2);
        a_.WriteString("map.dxf").WriteDouble(2.0).WriteDouble(1.0).WriteDouble(3.0);
        if (Newer({2, 0, 10, 0, false})) a_.WriteBool(false).WriteBool(true).WriteInt(25);
        a_.WriteBool(true).WriteBool(false).WriteBool(true).WriteBool(false);

        a_.WriteInt(0);
        const bool early = !Older({2, 0, 0, 0, false}) && !Newer({2, 0, 6, 0, false});
        if (early && !Older({2, 0, 5, 0, false})) a_.WriteBool(true);
        if (early) Param(999);
        Param(12);
        a_.WriteInt(1);
        for (int i = 0; i < 9; ++i) Param(20 + i);
        a_.WriteBool(true).WriteBool(false).WriteDouble(45.0);

        a_.WriteInt(1);
        WriteSource();
        a_.WriteInt(1);
        a_.WriteDouble(100.0).WriteDouble(-5.0).WriteBool(false).WriteString("Well");
        if (Newer({2, 0, 5, 0, false})) a_.WriteBool(true);
        a_.WriteInt(1);
        a_.WriteString("Benzene").WriteInt(7).WriteBool(true).WriteInt(1);
        Param(60);
        a_.WriteInt(1).WriteDouble(0.1).WriteDouble(0.2).WriteDouble(0.01);
        Param(61);
        Param(62);
        a_.WriteInt(1);
        Param(63);
        a_.WriteInt(0);
        a_.WriteInt(0); // correlations
        if (Newer({2, 0, 0, 0, false})) a_.WriteInt(4);
    }

    int PathwayCount() const { return Newer({2, 4, 0, 0, false}) ? 2 : 1; }

private:
    bool Newer(const FileVersion& other) const { return v_.NewerThan(other); }
    bool Older(const FileVersion& other) const { return v_.OlderThan(other); }

    void Param(double value) {
        StochasticParameter parameter;
        parameter.distribution.Parse("SINGLE(" + std::to_string(value) + ")");
        parameter.Write(a_);
    }

    void WriteSource() {
        a_.WriteString("Pit");
        for (int i = 0; i < 4; ++i) Param(30 + i);
        if (Older({2, 0, 10, 0, false})) Param(999);
        a_.WriteInt(3);
        for (double c : {0.0, 0.0, 10.0, 0.0, 0.0, 10.0}) a_.WriteDouble(c);

        a_.WriteInt(1);
        a_.WriteInt(7);
        for (int i = 0; i < 3; ++i) Param(40 + i);
        a_.WriteInt(1).WriteBool(true).WriteInt(0);
        Param(43);
        if (Older({2, 4, 99, 2, true})) {
            Param(5);
            a_.WriteInt(1).WriteInt(1);
            Param(6);
        } else {
            a_.WriteInt(PathwayCount());
            for (int p = 0; p < PathwayCount(); ++p) {
                a_.WriteInt(p);
                Param(5);
                a_.WriteInt(1).WriteInt(1);
                Param(6);
            }
        }
        a_.WriteShort(3).WriteShort(2).WriteDouble(1.5);

        if (Newer({2, 4, 0, 0, false})) a_.WriteInt(PathwayCount());
        for (int p = 0; p < PathwayCount(); ++p) {
            a_.WriteString(p == 0 ? "Clay" : "").WriteInt(0);
            Param(50);
            Param(51);
            if (Older({2, 4, 99, 1, true})) Param(999);
            for (int i = 0; i < 9; ++i) Param(52 + i);
            if (Newer({2, 4, 0, 0, false})) a_.WriteBool(false);
        }

        Param(70);
        a_.WriteInt(1);
        Param(71);
        Param(72);
        Param(73);
        if (Newer({2, 0, 6, 0, false})) Param(74);
        a_.WriteInt(Source::userDefinedDecline);
        Param(75);
        a_.WriteInt(1).WriteInt(1);
        if (Newer({2, 0, 2, 0, false})) a_.WriteInt(2).WriteDouble(1.0).WriteDouble(0.5);
        if (Newer({2, 0, 3, 0, false})) {
            a_.WriteBool(true);
            Param(76);
            Param(77);
        }
        if (Newer({2, 0, 5, 0, false})) a_.WriteInt(0);
        if (Newer({2, 0, 7, 0, false})) a_.WriteDouble(4.0).WriteDouble(5.0);
        if (Newer({2, 4, 101, 0, false})) Param(78);
    }

    CompFile& a_;
    FileVersion v_;
};

FileVersion Version(int major, int minor, int build, int revision = -1) {
    return {major, minor, build, revision < 0 ? 0 : revision, revision >= 0};
}

class ProjectFileVersionsTest : public ::testing::TestWithParam<FileVersion> {
protected:
    void SetUp() override { test::ResetProgramState(); }
    void TearDown() override { test::ResetProgramState(); }

    std::string Make(const FileVersion& version, bool withResults = false) {
        const std::string path = folder_.File("old.vnx");
        CompFile archive;
        EXPECT_TRUE(archive.Open(path, "wb"));
        // Every input's record carries its samples in a file with results.
        SetResultsSaved(withResults);
        OldFileWriter(archive, version).Write(withResults);
        archive.Close();
        SetResultsSaved(false);
        return path;
    }

    test::TempDirectory folder_;
};

bool IsSingle(const StochasticParameter& parameter, double value) {
    return parameter.distribution.type == DistributionType::single &&
           parameter.distribution.singleValue == value;
}

TEST_P(ProjectFileVersionsTest, LoadsWithTheDefaultsOfWhatItLacks) {
    const FileVersion v = GetParam();
    const auto newer = [&](int major, int minor, int build) {
        return v.NewerThan({major, minor, build, 0, false});
    };
    Project project;
    std::string error;
    ASSERT_TRUE(LoadProject(Make(v), project, error)) << error;

    EXPECT_EQ(ActiveFileVersion().Compare(v), 0);
    EXPECT_EQ(ActiveFileVersion().hasRevision, newer(2, 4, 0));
    EXPECT_EQ(IterationCount(), 250);
    EXPECT_EQ(project.filePath, folder_.File("old.vnx"));
    EXPECT_EQ(project.details.comment, "Comment");
    EXPECT_EQ(project.timeSlices, (std::vector<double>{10.0, 50.0}));
    EXPECT_EQ(project.simulationLevel, 2);
    EXPECT_EQ(project.sitePlan.mapOffsetX, 1.0);
    EXPECT_EQ(project.sitePlan.mapOffsetY, 2.0);
    const SitePlan defaults;
    EXPECT_EQ(project.sitePlan.showBackgroundMap,
              newer(2, 0, 10) ? false : defaults.showBackgroundMap);
    EXPECT_EQ(project.sitePlan.showGrid, newer(2, 0, 10) ? true : defaults.showGrid);
    EXPECT_EQ(project.sitePlan.gridSpacing, newer(2, 0, 10) ? 25 : defaults.gridSpacing);
    EXPECT_TRUE(project.processes.biodegradationUz && project.processes.retardedTravelUz);
    EXPECT_FALSE(project.processes.biodegradationAquifer ||
                 project.processes.retardedTravelAquifer);

    EXPECT_TRUE(IsSingle(project.aquifer.thickness, 12));
    EXPECT_TRUE(IsSingle(project.aquifer.hydraulicGradient, 28));
    EXPECT_EQ(project.aquifer.flowDirection, 45.0);

    ASSERT_EQ(project.sources.size(), 1u);
    const Source& source = project.sources[0];
    EXPECT_TRUE(IsSingle(source.airFilledPorosity, 33));
    EXPECT_EQ(source.vertices.size(), 3u);
    EXPECT_EQ(source.fillColour, 3);
    EXPECT_EQ(source.hatchStyle, 2);
    EXPECT_TRUE(IsSingle(source.runoffRecharge, 73));
    EXPECT_EQ(source.baseArea.distribution.type, newer(2, 0, 6) ? DistributionType::single : 0);
    EXPECT_TRUE(IsSingle(source.foc, 75));
    EXPECT_EQ(source.declineFactors.size(), newer(2, 0, 2) ? 2u : 0u);
    EXPECT_EQ(source.calculatePorosities, newer(2, 0, 3));
    EXPECT_EQ(source.particleDensity.distribution.type,
              newer(2, 0, 3) ? DistributionType::single : 0);
    EXPECT_EQ(source.attachedReceptor, newer(2, 0, 5) ? 0 : -1);
    EXPECT_EQ(source.centre.x, newer(2, 0, 7) ? 4.0 : 0.0);
    EXPECT_EQ(source.overallUnsaturatedZoneThickness.distribution.type,
              newer(2, 4, 101) ? DistributionType::single : 0);

    const std::size_t pathways = newer(2, 4, 0) ? 2 : 1;
    ASSERT_EQ(source.pathways.size(), pathways);
    EXPECT_EQ(source.pathways[0].name, "Clay");
    EXPECT_TRUE(IsSingle(source.pathways[0].thickness, 51));
    EXPECT_TRUE(IsSingle(source.pathways[0].matrixConductivity, 52));
    EXPECT_TRUE(IsSingle(source.pathways[0].waterFilledPorosity, 60));
    EXPECT_EQ(source.pathways[0].include, !newer(2, 4, 0));
    if (pathways == 2) {
        EXPECT_EQ(source.pathways[1].name, "Unsaturated Pathway");
    }

    // Every pathway has the entry's properties, each with inputs of its own.
    ASSERT_EQ(source.inventory.size(), 1u);
    const SourceContaminant& entry = source.inventory[0];
    EXPECT_TRUE(entry.active);
    EXPECT_TRUE(IsSingle(entry.partitionCoefficient, 43));
    ASSERT_EQ(entry.pathwayProperties.size(), pathways);
    for (const auto& [index, record] : entry.pathwayProperties) {
        EXPECT_TRUE(IsSingle(record.uzHalfLife, 5));
        EXPECT_EQ(record.degradationPhase, 1);
        EXPECT_TRUE(IsSingle(record.uzPartitionCoefficient, 6));
    }
    if (pathways == 2) {
        EXPECT_NE(entry.pathwayProperties.at(0).uzHalfLife.id,
                  entry.pathwayProperties.at(1).uzHalfLife.id);
    }

    ASSERT_EQ(project.receptors.size(), 1u);
    EXPECT_EQ(project.receptors[0].name, "Well");
    EXPECT_EQ(project.receptors[0].attached, newer(2, 0, 5));
    ASSERT_EQ(project.contaminants.size(), 1u);
    EXPECT_EQ(project.contaminants[0].standard, 0.01);
    EXPECT_TRUE(IsSingle(project.contaminants[0].backgroundConcentration, 63));
    EXPECT_EQ(project.standardSelection, newer(2, 0, 0) ? 4 : 0);
    EXPECT_EQ(project.details.title, "Title");
}

INSTANTIATE_TEST_SUITE_P(Versions, ProjectFileVersionsTest,
                         ::testing::Values(Version(2, 0, 0), Version(2, 0, 2), Version(2, 0, 3),
                                           Version(2, 0, 5), Version(2, 0, 6), Version(2, 0, 7),
                                           Version(2, 0, 8), Version(2, 0, 10), Version(2, 0, 11),
                                           Version(2, 4, 0), Version(2, 4, 50, 3),
                                           Version(2, 4, 99, 1), Version(2, 4, 99, 2),
                                           Version(2, 4, 101, 7), Version(2, 4, 102, 0),
                                           Version(2, 5, 4, 0)),
                         [](const ::testing::TestParamInfo<FileVersion>& info) {
                             const FileVersion& v = info.param;
                             return "v" + std::to_string(v.major) + "_" + std::to_string(v.minor) +
                                    "_" + std::to_string(v.build) +
                                    (v.hasRevision ? "_" + std::to_string(v.revision) : "");
                         });

class ProjectFileRefusedVersionsTest : public ProjectFileVersionsTest {};

// The open project and the program-wide values are untouched by a refusal.
TEST_F(ProjectFileRefusedVersionsTest, NamesTheVersionItCannotRead) {
    Project open;
    open.details.title = "open";
    SetIterationCount(77);
    struct Case {
        FileVersion version;
        const char* message;
    };
    for (const Case& c : {Case{Version(2, 5, 5, 0), "Can't load Version 2.05 files"},
                          Case{Version(3, 0, 0, 0), "Can't load Version 3.00 files"},
                          Case{Version(1, 9, 9), "Can't load Version 1.09 files"}}) {
        std::string error;
        EXPECT_FALSE(LoadProject(Make(c.version), open, error));
        EXPECT_EQ(error, c.message);
    }
    // Results in the arrangement of the versions before pathway properties
    // cannot be placed.
    std::string error;
    EXPECT_FALSE(LoadProject(Make(Version(2, 4, 50, 3), true), open, error));
    EXPECT_NE(error.find("version 2.4.50.3"), std::string::npos) << error;

    // The old uncompressed format: its 16-bit version numbers come first.
    const std::string old = folder_.File("old106.vnx");
    test::WriteFileBytes(old, test::Bytes({1, 0, 6, 0, 3, 0, 0, 0, 0, 0, 0, 0, 2, 9, 0}));
    EXPECT_FALSE(LoadProject(old, open, error));
    EXPECT_EQ(error, "Can't load Version 1.06 files");
    test::WriteFileBytes(old, test::Bytes({1, 0, 7, 0, 5, 0, 0, 0}));
    EXPECT_FALSE(LoadProject(old, open, error));
    EXPECT_EQ(error, "Can't load Version 1.07 files");

    EXPECT_EQ(open.details.title, "open");
    EXPECT_EQ(IterationCount(), 77);
    EXPECT_EQ(ActiveFileVersion().Compare(ProgramVersion()), 0);
}

} // namespace
} // namespace varnex
