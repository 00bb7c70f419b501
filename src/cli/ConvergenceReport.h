#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "run/ResultStore.h"

namespace varnex::cli {

// `stats --convergence`: for every vector of the statistics set, its
// statistics over growing numbers of iterations (results/Convergence.h) and
// the iterations needed for the 95th percentile's interval to have the given
// relative half-width.
//
// JSON: an array with one object per vector: the identifying keys of the
// statistics file (kind, label, source, contaminant, pathway, receptor,
// time), "n", "points" (objects: iterations, mean, p50, p50CI95 [low, high],
// p95, p95CI95) and "iterationsFor95thPercentile" ({relativeHalfWidth,
// iterations}; iterations null where the 95th percentile is 0).
nlohmann::ordered_json ConvergenceJson(const std::vector<ResultEntry>& entries,
                                       double relativeHalfWidth);

// CSV: a header line, then one line per vector and point: kind, label,
// source, contaminant, pathway, receptor, time, iterations, mean, p50,
// p50_low, p50_high, p95, p95_low, p95_high. Texts are quoted where they
// hold a comma, a quote or a line break (RFC 4180); numbers in the shortest
// form that reads back to the same double; empty fields where a key does
// not apply or a value is not finite.
std::string ConvergenceCsv(const std::vector<ResultEntry>& entries);

} // namespace varnex::cli
