#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "results/ResultStore.h"

namespace varnex::cli {

// The statistics of a run as the command-line tool reports them: a JSON
// array with one object per vector of the statistics set, and a text table.
nlohmann::ordered_json StatisticsJson(const std::vector<ResultEntry>& entries);
std::string StatisticsSummary(const std::vector<ResultEntry>& entries);

} // namespace varnex::cli
