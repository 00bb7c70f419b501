// Damaged files: cut short at every byte, or with bytes changed, a file
// either loads or is refused with a message, never crashes, never asks for
// much more memory than the file holds, and a refusal leaves the open
// project and the program-wide values as they were. Values out of range are
// refused by name; values a user could put right are put right, or load as
// invalid inputs for the user to enter again.

#include <atomic>
#include <cstdlib>
#include <gtest/gtest.h>
#include <malloc.h>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "archive/CompFile.h"
#include "archive/FileVersion.h"
#include "model/Project.h"
#include "persist/ProjectFile.h"
#include "persist/ProjectFileWriter.h"
#include "persist/ProjectJson.h"
#include "run/RunDriver.h"
#include "run/RunObserver.h"
#include "stochastic/IterationCount.h"
#include "stochastic/ParameterIdentity.h"
#include "support/ModelBuilders.h"
#include "support/ProgramStateTest.h"
#include "support/ScriptedRandomSource.h"
#include "support/TempDirectory.h"

// Counts the bytes held through operator new in this test program, so that
// the damage tests can bound what a load asks for.
namespace {
std::atomic<long long> heldBytes{0};
std::atomic<long long> peakBytes{0};

void* CountedAllocate(std::size_t size) {
    void* block = std::malloc(size ? size : 1);
    if (!block) throw std::bad_alloc();
    const long long now = heldBytes += static_cast<long long>(malloc_usable_size(block));
    long long peak = peakBytes.load();
    while (now > peak && !peakBytes.compare_exchange_weak(peak, now)) {}
    return block;
}

void CountedFree(void* block) noexcept {
    if (!block) return;
    heldBytes -= static_cast<long long>(malloc_usable_size(block));
    std::free(block);
}
} // namespace

void* operator new(std::size_t size) { return CountedAllocate(size); }
void* operator new[](std::size_t size) { return CountedAllocate(size); }
void operator delete(void* block) noexcept { CountedFree(block); }
void operator delete[](void* block) noexcept { CountedFree(block); }
void operator delete(void* block, std::size_t) noexcept { CountedFree(block); }
void operator delete[](void* block, std::size_t) noexcept { CountedFree(block); }
// The forms that do not throw must pair with the deletes above (the
// standard library's temporary buffers use them).
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return CountedAllocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return CountedAllocate(size);
    } catch (...) {
        return nullptr;
    }
}
void operator delete(void* block, const std::nothrow_t&) noexcept { CountedFree(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { CountedFree(block); }

namespace varnex {
namespace {

// What a refused load must leave alone.
struct ProgramState {
    int iterations = IterationCount();
    FileVersion version = ActiveFileVersion();
    bool resultsSaved = ResultsSaved();
    std::int32_t idCounter = ParameterIdCounter();
};

class ProjectFileDamageTest : public test::ProgramStateTest {
protected:
    // A level 3 project with two layers, two species and results of two
    // iterations: every kind of record and result block, in a few KB.
    std::string SavedWithResults() {
        Project project;
        std::vector<std::string> problems;
        EXPECT_TRUE(LoadProjectJsonFile(std::string(VARNEX_SOURCE_DIR) +
                                            "/examples/level3-petrol-station.json",
                                        project, problems));
        SetIterationCount(2);
        struct Silent : RunObserver {
        } observer;
        RunOptions options;
        options.threads = 1;
        EXPECT_TRUE(RunSimulation(project, observer, options));
        ProjectSaveOptions save;
        save.withResults = true;
        save.dateSaved = "2024-01-01 00:00:00";
        std::string error;
        const std::string path = folder_.File("sound.vnx");
        EXPECT_TRUE(SaveProject(project, path, save, error)) << error;
        return test::ReadFileBytes(path);
    }

    // Loads the bytes into an open project and checks the promises of a
    // load: a refusal has a message and changes nothing; a success or a
    // refusal asks for little more memory than a sound load of the file.
    void LoadDamaged(const std::string& bytes, const std::string& what) {
        SCOPED_TRACE(what);
        Project open;
        open.details.title = "open";
        open.sources.resize(1);
        SetIterationCount(33);
        ActiveFileVersion() = FileVersion{2, 0, 7, 0, false};
        SetResultsSaved(false);
        const ProgramState before;

        std::string error;
        peakBytes = heldBytes.load();
        const long long start = heldBytes.load();
        const bool loaded = LoadProjectFromBytes(bytes, open, error);
        const long long asked = peakBytes.load() - start;
        EXPECT_LE(asked, memoryAllowance_ + 64 * static_cast<long long>(bytes.size()));
        if (loaded) {
            EXPECT_TRUE(error.empty());
            return;
        }
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(open.details.title, "open");
        EXPECT_EQ(open.sources.size(), 1u);
        EXPECT_EQ(IterationCount(), before.iterations);
        EXPECT_EQ(ActiveFileVersion().Compare(before.version), 0);
        EXPECT_EQ(ActiveFileVersion().hasRevision, before.version.hasRevision);
        EXPECT_EQ(ResultsSaved(), before.resultsSaved);
        EXPECT_EQ(ParameterIdCounter(), before.idCounter);
    }

    test::TempDirectory folder_;
    // What a fresh project and the reader's working copies take whatever
    // the file: the bound on top of a multiple of the file's size.
    long long memoryAllowance_ = 512 * 1024;
};

TEST_F(ProjectFileDamageTest, FileCutShortAtAnyByteIsRefused) {
    const std::string sound = SavedWithResults();
    ASSERT_GT(sound.size(), 500u);
    for (std::size_t length = 0; length < sound.size(); ++length)
        LoadDamaged(sound.substr(0, length), "cut at " + std::to_string(length));
    Project project;
    std::string error;
    EXPECT_TRUE(LoadProjectFromBytes(sound, project, error)) << error;
}

TEST_F(ProjectFileDamageTest, ChangedBytesLoadOrAreRefused) {
    const std::string sound = SavedWithResults();
    std::mt19937 random(20240506);
    for (int round = 0; round < 1500; ++round) {
        std::string bytes = sound;
        const int changes = 1 + static_cast<int>(random() % 4);
        for (int c = 0; c < changes; ++c)
            bytes[random() % bytes.size()] = static_cast<char>(random() % 256);
        LoadDamaged(bytes, "round " + std::to_string(round));
    }
}

// Writes a file of this program's version up to and including the aquifer,
// by hand, so that the count after it can be anything.
class HandMadeFile {
public:
    explicit HandMadeFile(const std::string& path) { archive_.Open(path, "wb"); }
    CompFile& Archive() { return archive_; }

    HandMadeFile& Header(int iterations, std::int32_t timeSlices, int level) {
        archive_.WriteInt(2).WriteInt(5).WriteInt(4).WriteInt(0).WriteBool(false);
        for (int i = 0; i < 7; ++i) archive_.WriteString("");
        archive_.WriteInt(iterations).WriteInt(timeSlices);
        if (timeSlices == 1) archive_.WriteDouble(100.0);
        archive_.WriteInt(level);
        return *this;
    }
    HandMadeFile& PlanProcessesAndAquifer() {
        archive_.WriteString("").WriteDouble(0).WriteDouble(0).WriteDouble(1);
        archive_.WriteBool(true).WriteBool(false).WriteInt(10);
        for (int i = 0; i < 4; ++i) archive_.WriteBool(false);
        archive_.WriteInt(1);
        StochasticParameter().Write(archive_);
        archive_.WriteInt(0);
        for (int i = 0; i < 9; ++i) StochasticParameter().Write(archive_);
        archive_.WriteBool(false).WriteBool(false).WriteDouble(0);
        return *this;
    }

private:
    CompFile archive_;
};

TEST_F(ProjectFileDamageTest, RefusesValuesOutOfRangeByName) {
    const std::string path = folder_.File("bad.vnx");
    const auto refused = [&](const std::string& expected) {
        Project project;
        std::string error;
        EXPECT_FALSE(LoadProject(path, project, error));
        EXPECT_EQ(error, "The project file " + path + " is damaged: " + expected);
    };
    HandMadeFile(path).Header(10001, 1, 1);
    refused("the number of iterations is out of range (10001)");
    HandMadeFile(path).Header(-1, 1, 1);
    refused("the number of iterations is out of range (-1)");
    HandMadeFile(path).Header(5, -1, 1);
    refused("the number of time slices is out of range (-1)");
    HandMadeFile(path).Header(5, 2147483647, 1);
    refused("the number of time slices is out of range (2147483647)");
    HandMadeFile(path).Header(5, 1, 0);
    refused("the simulation level is out of range (0)");
    HandMadeFile(path).Header(5, 1, 5);
    refused("the simulation level is out of range (5)");
    for (std::int32_t sources : {-5, 1000000, 2147483647}) {
        HandMadeFile file(path);
        file.Header(5, 1, 1).PlanProcessesAndAquifer().Archive().WriteInt(sources);
        file.Archive().Close();
        refused("the number of sources is out of range (" + std::to_string(sources) + ")");
    }
    {
        HandMadeFile file(path);
        file.Header(5, 1, 1).PlanProcessesAndAquifer().Archive().WriteInt(0).WriteInt(0).WriteInt(
            0);
        file.Archive().WriteInt(-1);
        file.Archive().Close();
        refused("the number of correlations is out of range (-1)");
    }
}

// Files written through the writer from a model that holds values the
// reader must refuse or put right.
class ProjectFileWriterFaultsTest : public ProjectFileDamageTest {
protected:
    std::string Write(const Project& project, bool withResults) {
        const std::string path = folder_.File("written.vnx");
        SetResultsSaved(withResults);
        CompFile archive;
        EXPECT_TRUE(archive.Open(path, "wb"));
        ProjectFileWriter(archive, project, withResults).Write("2024-01-01 00:00:00", path);
        archive.Close();
        SetResultsSaved(false);
        return path;
    }
    std::string LoadError(const std::string& path) {
        Project project;
        std::string error;
        EXPECT_FALSE(LoadProject(path, project, error));
        return error;
    }
};

// A type no version writes is one damaged input, not a damaged project: the
// file loads with that input as a text that did not parse, which the field
// shows as invalid and validation reports, and everything else kept.
TEST_F(ProjectFileWriterFaultsTest, AnUnknownDistributionTypeLoadsAsASyntaxError) {
    for (const int storedType : {12, -1, 32767}) {
        Project project = test::ValidLevel1Project();
        project.details.title = "Kept";
        ASSERT_FALSE(project.sources.empty());
        project.sources[0].inventory.at(0).concentration.distribution.type = storedType;
        const std::string path = Write(project, false);

        Project loaded;
        std::string error;
        ASSERT_TRUE(LoadProject(path, loaded, error)) << storedType << ": " << error;
        loaded.ApplyNames();
        Distribution& damaged = loaded.sources.at(0).inventory.at(0).concentration.distribution;
        EXPECT_EQ(damaged.type, storedType); // kept as stored: the file's bytes survive a save
        EXPECT_FALSE(damaged.Validate()) << storedType;
        EXPECT_EQ(damaged.ErrorText(), damaged.label + " - Syntax Error") << storedType;
        EXPECT_EQ(loaded.details.title, "Kept");
        EXPECT_EQ(loaded.sources.at(0).name, project.sources[0].name);

        std::string report;
        EXPECT_FALSE(loaded.Validate(report)) << storedType;
        EXPECT_NE(report.find(damaged.label + " - Syntax Error"), std::string::npos) << report;
    }
}

TEST_F(ProjectFileWriterFaultsTest, RefusesCountsNoProgramWrites) {
    Project samples;
    samples.aquifer.thickness.Resize(10001);
    std::string path = Write(samples, true);
    EXPECT_EQ(LoadError(path), "Failed to read from file " + path);

    Project vectors;
    vectors.sources.resize(1);
    vectors.sources[0].mixingZoneFlow.Prepare(10001, true);
    path = Write(vectors, true);
    EXPECT_EQ(LoadError(path), "Failed to read from file " + path);
}

TEST_F(ProjectFileWriterFaultsTest, PutsRightWhatAUserCouldPutRight) {
    Project project;
    project.receptors.resize(1);
    project.sources.resize(3);
    project.sources[0].attachedReceptor = 1;
    project.sources[1].attachedReceptor = -7;
    project.sources[2].attachedReceptor = 0;
    project.sources[0].fillColour = 0;
    project.sources[0].hatchStyle = 8;
    project.sources[1].fillColour = 7;
    project.sources[1].hatchStyle = 1;
    project.sources[0].pathways.clear();
    project.standardSelection = 2;
    const std::string path = Write(project, false);

    Project loaded;
    loaded.standardSets.resize(1);
    std::string error;
    ASSERT_TRUE(LoadProject(path, loaded, error)) << error;
    EXPECT_EQ(loaded.sources[0].attachedReceptor, -1);
    EXPECT_EQ(loaded.sources[1].attachedReceptor, -1);
    EXPECT_EQ(loaded.sources[2].attachedReceptor, 0);
    EXPECT_EQ(loaded.sources[0].fillColour, 5);
    EXPECT_EQ(loaded.sources[0].hatchStyle, 7);
    EXPECT_EQ(loaded.sources[1].fillColour, 7);
    EXPECT_EQ(loaded.sources[1].hatchStyle, 1);
    EXPECT_EQ(loaded.sources[0].pathways.size(), 1u);
    EXPECT_EQ(loaded.standardSelection, 0);

    // With enough sets the selection stands, and so do "No Standard" and
    // "User Defined"; anything else is no standard.
    for (int selection : {0, 1, 2, 3, 4, 5, -1}) {
        project.standardSelection = selection;
        Write(project, false);
        Project again;
        again.standardSets.resize(3);
        ASSERT_TRUE(LoadProject(path, again, error)) << error;
        EXPECT_EQ(again.standardSelection, selection >= 0 && selection <= 4 ? selection : 0)
            << selection;
    }
}

} // namespace
} // namespace varnex
