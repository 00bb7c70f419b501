#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/FileVersion.h"
#include "persist/ProjectFileTrailer.h"
#include "settings/SolverKernel.h"

namespace varnex {

class Aquifer;
class CompFile;
class Contaminant;
class PathwayContaminant;
class Project;
class Receptor;
class ResultVector;
class Source;
class SourceContaminant;
class StochasticParameter;
class UnsaturatedPathway;

// Reads the records of a `.vnx` project file (layout in docs/project-file.md)
// into a fresh project, for files of every version from 2.0.0 to this
// program's own: each field that a version did not yet write is skipped by a
// version check and keeps the model's default.
//
// Everything read is checked before it is trusted: a count must fit in the
// bytes the file still holds (its decoded size is known before reading
// starts), sample and result vector counts, the iteration count and the
// level must lie in their ranges (a distribution type outside its range
// loads as an input with a syntax error), and elements are
// appended as they are read, so a damaged file can never ask for more memory
// than its own data fill. A fault raises the calculation Exception with the
// message to show; archive faults raise CompFileException.
//
// The reader sets the program-wide file version, results-saved flag and
// iteration count as it reads them, since every record's Read consults them;
// restoring them after a failure is the caller's business.
class ProjectFileReader {
public:
    // `decodedBytes` is the size of the file's value stream after run-length
    // decoding; `displayName` names the file in messages.
    ProjectFileReader(CompFile& archive, std::uint64_t decodedBytes, std::string displayName);

    // Reads the whole file into `project`, which must be freshly constructed
    // (its standard sets may already be filled: the standard selection is
    // checked against them). Afterwards the labels are applied, the inventory
    // invariant restored and the stored result vectors labelled.
    void Read(Project& project);

    // The iteration count the file gave.
    int Iterations() const { return iterations_; }
    // What the file's trailing block, if any, said of its contents.
    FileIntegrity Integrity() const { return integrity_; }
    // The checksum stored in the file and the one its contents give.
    std::uint32_t StoredChecksum() const { return storedChecksum_; }
    std::uint32_t ComputedChecksum() const { return computedChecksum_; }

private:
    [[noreturn]] void Damaged(const char* item, long long value) const;
    [[noreturn]] void EndsEarly() const;
    std::uint64_t BytesLeft() const;
    // Counts `bytes` as read; a file that does not hold them ends early.
    void Consume(std::uint64_t bytes);

    bool Bool();
    std::int16_t Short();
    std::int32_t Int();
    double Double();
    std::string String();
    // A count of records each at least `minimumRecordBytes` long.
    std::int32_t Count(std::uint64_t minimumRecordBytes, const char* item);
    void Param(StochasticParameter& parameter);
    void SkipParam();
    void Vector(ResultVector& vector);
    void Vectors(std::vector<ResultVector>& vectors, std::int32_t count);

    void ReadVersion();
    void ReadSitePlan(Project& project);
    void ReadAquifer(Aquifer& aquifer);
    void ReadSource(Project& project, Source& source);
    void ReadPathway(UnsaturatedPathway& pathway);
    void ReadInventoryEntry(const Project& project, SourceContaminant& entry);
    void ReadPathwayContaminant(PathwayContaminant& record);
    void ReadReceptor(Receptor& receptor);
    void ReadContaminant(Contaminant& contaminant);
    void ReadCorrelations(Project& project);
    void ReadTrailer(Project& project);
    // One of the map settings of the trailing block, when `key` names one.
    void ReadMapSetting(const std::string& key, const std::string& value, Project& project);
    void Repair(Project& project) const;

    bool Newer(const FileVersion& version) const { return version_.NewerThan(version); }
    bool Older(const FileVersion& version) const { return version_.OlderThan(version); }

    CompFile& archive_;
    std::uint64_t decodedBytes_;
    std::uint64_t consumed_ = 0;
    std::string displayName_;
    FileVersion version_;
    bool withResults_ = false;
    // From the trailing block: the kernel that computed the stored results.
    std::optional<SolverKernel> resultsKernel_;
    int iterations_ = 0;
    FileIntegrity integrity_ = FileIntegrity::unchecked;
    std::uint32_t storedChecksum_ = 0;
    std::uint32_t computedChecksum_ = 0;
};

} // namespace varnex
