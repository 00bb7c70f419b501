#include "model/PlumeMapChoices.h"

#include <algorithm>
#include <charconv>

namespace varnex {

bool PlumeMapChoices::IsDefault() const { return *this == PlumeMapChoices(); }

std::string PlumeMapKindName(PlumeMapKind kind) {
    return kind == PlumeMapKind::probability ? "probability" : "central values";
}

std::optional<PlumeMapKind> ParsePlumeMapKind(const std::string& name) {
    if (name == "central values") return PlumeMapKind::centralValues;
    if (name == "probability") return PlumeMapKind::probability;
    return std::nullopt;
}

std::string PlumeMapQuantityName(PlumeMapQuantity quantity) {
    switch (quantity) {
    case PlumeMapQuantity::mean: return "mean";
    case PlumeMapQuantity::percentile: return "percentile";
    case PlumeMapQuantity::exceedance: break;
    }
    return "exceedance";
}

std::optional<PlumeMapQuantity> ParsePlumeMapQuantity(const std::string& name) {
    if (name == "exceedance") return PlumeMapQuantity::exceedance;
    if (name == "mean") return PlumeMapQuantity::mean;
    if (name == "percentile") return PlumeMapQuantity::percentile;
    return std::nullopt;
}

std::optional<std::vector<int>> ParsePercentileLevels(const std::string& text) {
    std::vector<int> levels;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        std::size_t first = start, last = comma;
        while (first < last && text[first] == ' ') ++first;
        while (last > first && text[last - 1] == ' ') --last;
        int level = 0;
        const auto [end, error] = std::from_chars(text.data() + first, text.data() + last, level);
        if (first == last || error != std::errc() || end != text.data() + last || level < 1 ||
            level > 99)
            return std::nullopt;
        levels.push_back(level);
        start = comma + 1;
    }
    std::sort(levels.begin(), levels.end());
    if (std::adjacent_find(levels.begin(), levels.end()) != levels.end()) return std::nullopt;
    return levels;
}

std::string PercentileLevelsText(const std::vector<int>& levels) {
    std::string text;
    for (int level : levels) {
        if (!text.empty()) text += ',';
        text += std::to_string(level);
    }
    return text;
}

} // namespace varnex
