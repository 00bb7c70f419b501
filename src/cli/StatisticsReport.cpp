#include "cli/StatisticsReport.h"

#include <cmath>
#include <cstdio>

#include "base/NumberText.h"
#include "model/SimulationLevel.h"
#include "results/ResultStatistics.h"
#include "results/ResultVector.h"
#include "run/InputCorrelation.h"

namespace varnex::cli {

namespace {

// JSON has no infinity or NaN; such a value (never expected from a run) is
// written as null rather than as an invalid document.
nlohmann::ordered_json Number(double value) {
    if (!std::isfinite(value)) return nullptr;
    return value;
}

} // namespace

nlohmann::ordered_json StatisticsJson(const std::vector<ResultEntry>& entries,
                                      const std::optional<SolverKernel>& kernel) {
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    for (const ResultEntry& entry : entries) {
        const ResultVector& v = *entry.vector;
        nlohmann::ordered_json row;
        row["kind"] = entry.kind;
        row["label"] = v.Label();
        if (!entry.source.empty()) row["source"] = entry.source;
        if (!entry.contaminant.empty()) row["contaminant"] = entry.contaminant;
        if (!entry.pathway.empty()) row["pathway"] = entry.pathway;
        if (!entry.receptor.empty()) row["receptor"] = entry.receptor;
        if (entry.hasTime) row["time"] = entry.timeYears;
        row["n"] = v.Size();
        if (kernel)
            row["kernel"] = SolverKernelName(*kernel);
        else
            row["kernel"] = nullptr;
        row["min"] = Number(v.Minimum());
        row["max"] = Number(v.Maximum());
        row["mean"] = Number(v.Mean());
        row["sd"] = Number(v.StandardDeviation());
        row["variance"] = Number(v.Variance());
        std::vector<double> sorted = v.Values();
        SortValues(sorted);
        nlohmann::ordered_json percentiles, intervals;
        for (int k = 0; k < ResultVector::percentileCount; ++k) {
            const std::string level = std::to_string(v.PercentileLevel(k));
            percentiles[level] = Number(v.PercentileValue(k));
            const auto interval = PercentileConfidenceInterval95(sorted, v.PercentileLevel(k));
            intervals[level] =
                nlohmann::ordered_json::array({Number(interval.first), Number(interval.second)});
        }
        row["percentiles"] = percentiles;
        row["percentileCI95"] = intervals;
        if (entry.concentration && entry.standard > 0.0) {
            row["standard"] = entry.standard;
            row["exceedanceProbability"] = ExceedanceProbability(v.Values(), entry.standard);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

bool ComputedAtLevel(const std::string& kind, int level, bool dilution) {
    const bool receptor = kind.rfind("receptor", 0) == 0 || kind.rfind("totalReceptor", 0) == 0;
    const bool unsaturated = kind.rfind("uz", 0) == 0;
    if (kind == "sourceConcentration") return level != SimulationLevel::level3a;
    if (unsaturated) return level == SimulationLevel::level2 || level == SimulationLevel::level3;
    if (kind == "dilutedConcentration")
        return level == SimulationLevel::level3 || (level == SimulationLevel::level2 && dilution);
    if (kind == "mixingZoneFlow")
        return level > SimulationLevel::level2 || (level == SimulationLevel::level2 && dilution);
    if (receptor) return level > SimulationLevel::level2;
    return true;
}

std::string StatisticsSummary(const std::vector<ResultEntry>& entries, int level, bool dilution) {
    std::string out;
    char line[640];
    std::snprintf(line, sizeof line, "%-44s %-16s %-18s %-16s %12s %12s %12s %12s %9s\n", "Result",
                  "Source", "Contaminant", "Pathway/receptor", "Mean", "50%", "95%", "Max",
                  "P(>WQS)");
    out += line;
    for (const ResultEntry& entry : entries) {
        if (!ComputedAtLevel(entry.kind, level, dilution)) continue;
        const ResultVector& v = *entry.vector;
        const std::string exceedance =
            entry.concentration && entry.standard > 0.0
                ? FormatG(ExceedanceProbability(v.Values(), entry.standard), 4)
                : std::string("-");
        // Unlabelled results (flows) are shown by their kind.
        const std::string& label = v.Label().empty() ? entry.kind : v.Label();
        const std::string& where = entry.pathway.empty() ? entry.receptor : entry.pathway;
        std::snprintf(line, sizeof line, "%-44s %-16s %-18s %-16s %12s %12s %12s %12s %9s\n",
                      label.c_str(), entry.source.c_str(), entry.contaminant.c_str(), where.c_str(),
                      FormatG(v.Mean()).c_str(), FormatG(v.PercentileValue(3)).c_str(),
                      FormatG(v.PercentileValue(6)).c_str(), FormatG(v.Maximum()).c_str(),
                      exceedance.c_str());
        out += line;
    }
    return out;
}

namespace {

nlohmann::ordered_json InputName(const InputNames& names, std::int32_t id) {
    const auto found = names.find(id);
    if (found == names.end()) return nullptr;
    return found->second;
}

std::string InputText(const InputNames& names, std::int32_t id) {
    const auto found = names.find(id);
    return found == names.end() ? "#" + std::to_string(id) : found->second;
}

} // namespace

const char* CorrelationStatusName(CorrelationStatus status) {
    switch (status) {
    case CorrelationStatus::applied: return "applied";
    case CorrelationStatus::zeroValue: return "zeroValue";
    case CorrelationStatus::nonPositiveMaximum: return "nonPositiveMaximum";
    case CorrelationStatus::sampleCountsDiffer: return "sampleCountsDiffer";
    case CorrelationStatus::noSamples: return "noSamples";
    case CorrelationStatus::nonFiniteSamples: return "nonFiniteSamples";
    case CorrelationStatus::inputNotUsed: return "inputNotUsed";
    case CorrelationStatus::inputMissing: return "inputMissing";
    case CorrelationStatus::invalidRecord: return "invalidRecord";
    }
    return "unknown";
}

nlohmann::ordered_json CorrelationsJson(const std::vector<CorrelationOutcome>& outcomes,
                                        const InputNames& names) {
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    for (const CorrelationOutcome& outcome : outcomes) {
        nlohmann::ordered_json row;
        row["name"] = outcome.record.name;
        row["reference"] = InputName(names, outcome.record.referenceParameter);
        row["correlated"] = InputName(names, outcome.record.correlatedParameter);
        row["requested"] = Number(outcome.record.value);
        row["achieved"] = Number(outcome.achieved);
        row["status"] = CorrelationStatusName(outcome.status);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string CorrelationSummary(const std::vector<CorrelationOutcome>& outcomes,
                               const InputNames& names) {
    if (outcomes.empty()) return std::string();
    std::string out = "\nInput correlations (achieved: Spearman rank correlation of the samples)\n";
    char line[640];
    std::snprintf(line, sizeof line, "%-44s %-44s %10s %10s\n", "Reference input",
                  "Correlated input", "Requested", "Achieved");
    out += line;
    for (const CorrelationOutcome& outcome : outcomes) {
        const std::string achieved =
            std::isfinite(outcome.achieved) ? FormatF(outcome.achieved, 4) : "-";
        std::snprintf(line, sizeof line, "%-44s %-44s %10s %10s",
                      InputText(names, outcome.record.referenceParameter).c_str(),
                      InputText(names, outcome.record.correlatedParameter).c_str(),
                      FormatG(outcome.record.value, 6).c_str(), achieved.c_str());
        out += line;
        const std::string note = CorrelationStatusText(outcome.status);
        if (!note.empty()) out += "  " + note;
        out += "\n";
    }
    return out;
}

} // namespace varnex::cli
