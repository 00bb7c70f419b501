#include "cli/ConvergenceReport.h"

#include <charconv>
#include <cmath>
#include <optional>

#include "cli/CsvTable.h"
#include "results/Convergence.h"
#include "results/ResultVector.h"

namespace varnex::cli {

namespace {

nlohmann::ordered_json Number(double value) {
    if (!std::isfinite(value)) return nullptr;
    return value;
}

nlohmann::ordered_json Identity(const ResultEntry& entry) {
    nlohmann::ordered_json row;
    row["kind"] = entry.kind;
    row["label"] = entry.vector->Label();
    if (!entry.source.empty()) row["source"] = entry.source;
    if (!entry.contaminant.empty()) row["contaminant"] = entry.contaminant;
    if (!entry.pathway.empty()) row["pathway"] = entry.pathway;
    if (!entry.receptor.empty()) row["receptor"] = entry.receptor;
    if (entry.hasTime) row["time"] = entry.timeYears;
    return row;
}

std::string CsvNumber(double value) {
    if (!std::isfinite(value)) return std::string();
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

} // namespace

nlohmann::ordered_json ConvergenceJson(const std::vector<ResultEntry>& entries,
                                       double relativeHalfWidth) {
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    for (const ResultEntry& entry : entries) {
        const std::vector<double>& values = entry.vector->Values();
        nlohmann::ordered_json row = Identity(entry);
        row["n"] = values.size();
        nlohmann::ordered_json points = nlohmann::ordered_json::array();
        for (const ConvergencePoint& p : ConvergenceOf(values)) {
            nlohmann::ordered_json point;
            point["iterations"] = p.iterations;
            point["mean"] = Number(p.mean);
            point["p50"] = Number(p.median);
            point["p50CI95"] = {Number(p.medianLow), Number(p.medianHigh)};
            point["p95"] = Number(p.p95);
            point["p95CI95"] = {Number(p.p95Low), Number(p.p95High)};
            points.push_back(std::move(point));
        }
        row["points"] = std::move(points);
        nlohmann::ordered_json needed;
        needed["relativeHalfWidth"] = relativeHalfWidth;
        const std::optional<long long> iterations =
            IterationsForPercentileWidth(values, relativeHalfWidth);
        if (iterations)
            needed["iterations"] = *iterations;
        else
            needed["iterations"] = nullptr;
        row["iterationsFor95thPercentile"] = std::move(needed);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string ConvergenceCsv(const std::vector<ResultEntry>& entries) {
    std::string text = "kind,label,source,contaminant,pathway,receptor,time,iterations,mean,p50,"
                       "p50_low,p50_high,p95,p95_low,p95_high\n";
    for (const ResultEntry& entry : entries) {
        const std::string identity = CsvField(entry.kind) + "," + CsvField(entry.vector->Label()) +
                                     "," + CsvField(entry.source) + "," +
                                     CsvField(entry.contaminant) + "," + CsvField(entry.pathway) +
                                     "," + CsvField(entry.receptor) + "," +
                                     (entry.hasTime ? CsvNumber(entry.timeYears) : std::string());
        for (const ConvergencePoint& p : ConvergenceOf(entry.vector->Values())) {
            text += identity + "," + std::to_string(p.iterations);
            for (double value :
                 {p.mean, p.median, p.medianLow, p.medianHigh, p.p95, p.p95Low, p.p95High})
                text += "," + CsvNumber(value);
            text += "\n";
        }
    }
    return text;
}

} // namespace varnex::cli
