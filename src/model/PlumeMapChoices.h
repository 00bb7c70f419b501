#pragma once

#include <optional>
#include <string>
#include <vector>

namespace varnex {

// What the plume map shows. `centralValues` is the deterministic map of every
// input at its central value; `probability` maps the run's N iterations at
// every node: the probability that the standard is exceeded, the mean and
// chosen percentiles.
enum class PlumeMapKind { centralValues, probability };

// The quantity a probability map is drawn as.
enum class PlumeMapQuantity { exceedance, mean, percentile };

// The user's last choices for the plume map, kept with the project so that
// the map comes back as it was drawn. The defaults are the map every stored
// project had: central values.
struct PlumeMapChoices {
    PlumeMapKind kind = PlumeMapKind::centralValues;
    PlumeMapQuantity quantity = PlumeMapQuantity::exceedance;
    // The percentile drawn when the quantity is a percentile; one of
    // `percentiles`.
    int shownPercentile = 95;
    // The percentile levels computed at every node (1..99, ascending).
    std::vector<int> percentiles{50, 95};

    bool IsDefault() const;
    bool operator==(const PlumeMapChoices&) const = default;
};

// "central values" / "probability"; "exceedance" / "mean" / "percentile":
// the names the JSON form and the project file store.
std::string PlumeMapKindName(PlumeMapKind kind);
std::optional<PlumeMapKind> ParsePlumeMapKind(const std::string& name);
std::string PlumeMapQuantityName(PlumeMapQuantity quantity);
std::optional<PlumeMapQuantity> ParsePlumeMapQuantity(const std::string& name);

// Percentile levels from "50,95": whole numbers 1..99, ascending without
// repeats after sorting; nullopt for anything else.
std::optional<std::vector<int>> ParsePercentileLevels(const std::string& text);
std::string PercentileLevelsText(const std::vector<int>& levels);

} // namespace varnex
