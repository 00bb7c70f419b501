#include "cli/StudyOutputs.h"

#include <algorithm>

#include "base/NumberText.h"
#include "cli/CsvTable.h"
#include "results/ResultStatistics.h"
#include "results/ResultVector.h"
#include "run/ResultStore.h"

namespace varnex::cli {

namespace {

const char* const statistics[] = {"exceedance", "mean", "sd",  "min", "max", "p5",
                                  "p10",        "p25",  "p50", "p75", "p90", "p95"};

std::string Number(const std::optional<double>& value) {
    return value ? FormatG(*value, 17) : std::string();
}

} // namespace

std::optional<std::vector<StudyOutput>> ParseStudyOutputs(const std::string& text,
                                                          std::string& error) {
    std::vector<StudyOutput> outputs;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        std::string part = text.substr(start, comma - start);
        part.erase(0, part.find_first_not_of(' '));
        part.erase(part.find_last_not_of(' ') + 1);
        start = comma + 1;
        if (part.empty()) continue;
        const std::size_t colon = part.rfind(':');
        StudyOutput output{colon == std::string::npos ? "totalReceptorConcentration"
                                                      : part.substr(0, colon),
                           colon == std::string::npos ? part : part.substr(colon + 1)};
        if (std::find(std::begin(statistics), std::end(statistics), output.statistic) ==
            std::end(statistics)) {
            error = "output \"" + part +
                    "\": the statistic must be one of exceedance, mean, sd, min, max, p5, p10, "
                    "p25, p50, p75, p90, p95";
            return std::nullopt;
        }
        outputs.push_back(output);
    }
    if (outputs.empty()) {
        error = "name at least one output, e.g. exceedance or p95";
        return std::nullopt;
    }
    return outputs;
}

std::string StudyTableHeader() {
    return "scenario,row,kind,source,contaminant,pathway,receptor,time,statistic,value,error\n";
}

std::string StudyTableLine(const StudyRecord& r) {
    return CsvField(r.scenario) + "," + std::to_string(r.row) + "," + CsvField(r.kind) + "," +
           CsvField(r.source) + "," + CsvField(r.contaminant) + "," + CsvField(r.pathway) + "," +
           CsvField(r.receptor) + "," + Number(r.timeYears) + "," + r.statistic + "," +
           Number(r.value) + "," + CsvField(r.error) + "\n";
}

std::vector<StudyRecord> CollectStudyOutputs(Project& project,
                                             const std::vector<StudyOutput>& outputs,
                                             const std::string& scenario, int row) {
    std::vector<StudyRecord> records;
    for (const ResultEntry& entry : StatisticsSet(project)) {
        for (const StudyOutput& output : outputs) {
            if (entry.kind != output.kind) continue;
            const ResultVector& v = *entry.vector;
            std::optional<double> value;
            if (output.statistic == "exceedance") {
                if (!entry.concentration || !(entry.standard > 0.0)) continue;
                value = ExceedanceProbability(v.Values(), entry.standard);
            } else if (output.statistic == "mean") {
                value = v.Mean();
            } else if (output.statistic == "sd") {
                value = v.StandardDeviation();
            } else if (output.statistic == "min") {
                value = v.Minimum();
            } else if (output.statistic == "max") {
                value = v.Maximum();
            } else {
                const int level = std::stoi(output.statistic.substr(1));
                for (int k = 0; k < ResultVector::percentileCount; ++k)
                    if (v.PercentileLevel(k) == level) value = v.PercentileValue(k);
            }
            StudyRecord record;
            record.scenario = scenario;
            record.row = row;
            record.kind = entry.kind;
            record.source = entry.source;
            record.contaminant = entry.contaminant;
            record.pathway = entry.pathway;
            record.receptor = entry.receptor;
            if (entry.hasTime) record.timeYears = entry.timeYears;
            record.statistic = output.statistic;
            record.value = value;
            records.push_back(std::move(record));
        }
    }
    return records;
}

} // namespace varnex::cli
