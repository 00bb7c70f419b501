#pragma once

#include <string>
#include <vector>

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

// Writes a project as a `.vnx` file of this program's version, record by
// record in the order of docs/project-file.md. With results, the result
// blocks and every input's samples are written too; the program-wide
// results-saved flag must already say so, since each input's Write consults
// it. Archive faults raise CompFileException.
class ProjectFileWriter {
public:
    ProjectFileWriter(CompFile& archive, const Project& project, bool withResults);

    // `dateSaved` and `path` are written as the file's date and path.
    void Write(const std::string& dateSaved, const std::string& path);

private:
    void Vector(const ResultVector& vector);
    void Vectors(const std::vector<ResultVector>& vectors);
    void WriteAquifer(const Aquifer& aquifer);
    void WriteSource(const Source& source);
    void WritePathway(const UnsaturatedPathway& pathway);
    void WriteInventoryEntry(const SourceContaminant& entry);
    void WritePathwayContaminant(const PathwayContaminant& record);
    void WriteReceptor(const Receptor& receptor);
    void WriteContaminant(const Contaminant& contaminant);
    void WriteCorrelations();
    void WriteTrailer();

    CompFile& archive_;
    const Project& project_;
    bool withResults_;
};

} // namespace varnex
