#include "persist/CoordinateSystemText.h"

#include <charconv>

namespace varnex {

std::string CoordinateSystemText(int epsg) { return "EPSG:" + std::to_string(epsg); }

std::optional<int> ParseCoordinateSystemText(const std::string& text) {
    const std::string prefix = "EPSG:";
    if (text.compare(0, prefix.size(), prefix) != 0 || text.size() == prefix.size())
        return std::nullopt;
    const char* first = text.data() + prefix.size();
    const char* last = text.data() + text.size();
    // Digits only: from_chars would take a sign.
    if (*first < '0' || *first > '9') return std::nullopt;
    int code = 0;
    const auto [end, error] = std::from_chars(first, last, code);
    if (error != std::errc() || end != last || code <= 0) return std::nullopt;
    return code;
}

} // namespace varnex
