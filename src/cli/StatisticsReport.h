#pragma once

#include <cstdint>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "run/ResultStore.h"
#include "settings/SolverKernel.h"
#include "stochastic/CorrelationOutcome.h"

namespace varnex::cli {

// The statistics of a run as the command-line tool reports them: a JSON
// array with one object per vector of the statistics set, and a text table;
// and the correlations the run applied, with the rank correlation reached.
// Every object names the kernel that computed the results ("kernel"; null
// when the project file that holds them does not say).
nlohmann::ordered_json StatisticsJson(const std::vector<ResultEntry>& entries,
                                      const std::optional<SolverKernel>& kernel);

// The table shows only the results the simulation level computes (the
// statistics set also holds, for instance, the source concentrations at
// "Level 3a", where concentrations are entered at the aquifer and those
// vectors stay 0). `dilution`: the aquifer's dilution flag, which decides
// whether "Level 2" computes the mixing zone.
std::string StatisticsSummary(const std::vector<ResultEntry>& entries, int level, bool dilution);

// Whether a result of this kind is computed at the level.
bool ComputedAtLevel(const std::string& kind, int level, bool dilution);

// Input identity -> the input's JSON pointer in the project document, by
// which the correlation report names inputs (persist/ProjectJson.h:
// InputJsonPointers).
using InputNames = std::map<std::int32_t, std::string>;

// The stable machine name of a correlation status ("applied", "inputNotUsed", ...).
const char* CorrelationStatusName(CorrelationStatus status);

// One object per correlation record, in key order: name, reference and
// correlated input (JSON pointers; null for an input the project lacks),
// requested value, achieved rank correlation (null when undefined) and status.
nlohmann::ordered_json CorrelationsJson(const std::vector<CorrelationOutcome>& outcomes,
                                        const InputNames& names);

// The block printed after the statistics table: one line per record with
// the reference input, the correlated input, the requested and the achieved
// rank correlation, and for a record not applied the reason. Empty when the
// project has no correlations.
std::string CorrelationSummary(const std::vector<CorrelationOutcome>& outcomes,
                               const InputNames& names);

} // namespace varnex::cli
