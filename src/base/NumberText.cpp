#include "base/NumberText.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace varnex {

std::string FormatG(double value, int precision) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, precision);
    return std::string(buffer, result.ptr);
}

std::string FormatF(double value, int decimals) {
    // A fixed format of 1e308 needs over 300 digits.
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) return FormatG(value, 17);
    return std::string(buffer, result.ptr);
}

namespace {

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// from_chars reports a number whose exponent is beyond double's range as out
// of range without a value; strtod gives infinity for overflow and zero for
// underflow. The sign of the written exponent tells which one it was.
double OutOfRangeValue(std::string_view digits) {
    for (std::size_t i = digits.size(); i-- > 0;) {
        const char c = digits[i];
        if (c == 'e' || c == 'E' || c == 'p' || c == 'P') {
            return (i + 1 < digits.size() && digits[i + 1] == '-') ? 0.0 : HUGE_VAL;
        }
    }
    return HUGE_VAL;
}

} // namespace

bool ScanDouble(std::string_view text, std::size_t& position, double& value) {
    std::size_t p = position;
    while (p < text.size() && IsCSpace(text[p])) ++p;
    bool negative = false;
    if (p < text.size() && (text[p] == '+' || text[p] == '-')) {
        negative = text[p] == '-';
        ++p;
    }
    if (p >= text.size() || text[p] == '+' || text[p] == '-') return false;

    const char* first = text.data() + p;
    const char* last = text.data() + text.size();
    std::chars_format format = std::chars_format::general;
    if (last - first > 2 && first[0] == '0' && (first[1] == 'x' || first[1] == 'X') &&
        (IsHexDigit(first[2]) || (first[2] == '.' && last - first > 3 && IsHexDigit(first[3])))) {
        first += 2;
        format = std::chars_format::hex;
    }
    double parsed = 0.0;
    const auto result = std::from_chars(first, last, parsed, format);
    if (result.ec == std::errc::invalid_argument) return false;
    if (result.ec == std::errc::result_out_of_range)
        parsed =
            OutOfRangeValue(std::string_view(first, static_cast<std::size_t>(result.ptr - first)));
    value = negative ? -parsed : parsed;
    position = static_cast<std::size_t>(result.ptr - text.data());
    return true;
}

bool ParseWholeNumber(std::string_view text, double& value) {
    std::size_t position = 0;
    if (text.empty() || IsCSpace(text.front())) return false;
    double parsed = 0.0;
    if (!ScanDouble(text, position, parsed) || position != text.size()) return false;
    value = parsed;
    return true;
}

} // namespace varnex
