#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "results/ResultStore.h"

namespace varnex::cli {

// The statistics of a run as the command-line tool reports them: a JSON
// array with one object per vector of the statistics set, and a text table.
nlohmann::ordered_json StatisticsJson(const std::vector<ResultEntry>& entries);

// The table shows only the results the simulation level computes (the
// statistics set also holds, for instance, the source concentrations at
// "Level 3a", where concentrations are entered at the aquifer and those
// vectors stay 0). `dilution`: the aquifer's dilution flag, which decides
// whether "Level 2" computes the mixing zone.
std::string StatisticsSummary(const std::vector<ResultEntry>& entries, int level, bool dilution);

// Whether a result of this kind is computed at the level.
bool ComputedAtLevel(const std::string& kind, int level, bool dilution);

} // namespace varnex::cli
