#pragma once

#include <optional>
#include <string>
#include <vector>

namespace varnex {
class Project;
}

namespace varnex::cli {

// One statistic a study collects: of every result vector of a kind
// ("totalReceptorConcentration" unless named), "exceedance", "mean", "sd",
// "min", "max" or a percentile "p5" ... "p95".
struct StudyOutput {
    std::string kind;
    std::string statistic;
};

// "exceedance,p95,dilutedConcentration:mean"; empty optional and `error`
// for an unknown statistic or an empty list.
std::optional<std::vector<StudyOutput>> ParseStudyOutputs(const std::string& text,
                                                          std::string& error);

// One line of a study's table.
struct StudyRecord {
    std::string scenario;
    int row = 0; // the line of the scenario table
    std::string kind, source, contaminant, pathway, receptor;
    std::optional<double> timeYears;
    std::string statistic;
    std::optional<double> value;
    std::string error;
};

// The header of the table and one record as its CSV line (with the line
// end); numbers as "%.17g".
std::string StudyTableHeader();
std::string StudyTableLine(const StudyRecord& record);

// The outputs of a finished run, in the order of its statistics set, each
// output in turn per result vector. An exceedance is only there for a
// concentration with a standard.
std::vector<StudyRecord> CollectStudyOutputs(Project& project,
                                             const std::vector<StudyOutput>& outputs,
                                             const std::string& scenario, int row);

} // namespace varnex::cli
