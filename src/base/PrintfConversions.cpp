#include "base/PrintfConversions.h"

#include <string_view>

namespace varnex {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Skips a run of decimal digits; the C library's own ctype functions are
// avoided because a GUI may change the locale under us.
std::size_t SkipDigits(const std::string& text, std::size_t position) {
    while (position < text.size() && IsDigit(text[position])) ++position;
    return position;
}

constexpr std::string_view flagCharacters = "-+ #0'I";
constexpr std::string_view conversionCharacters = "diouxXeEfFgGaAcsCSpnm";

} // namespace

std::optional<std::vector<PrintfConversion>> PrintfConversions(const std::string& format) {
    std::vector<PrintfConversion> conversions;
    std::size_t i = 0;
    while (i < format.size()) {
        if (format[i] != '%') {
            ++i;
            continue;
        }
        ++i;
        if (i < format.size() && format[i] == '%') {
            ++i;
            continue;
        }
        PrintfConversion conversion;

        // A leading digit run followed by '$' is an argument position.
        std::size_t afterDigits = SkipDigits(format, i);
        if (afterDigits > i && afterDigits < format.size() && format[afterDigits] == '$')
            return std::nullopt;

        while (i < format.size() && flagCharacters.find(format[i]) != std::string_view::npos) ++i;

        if (i < format.size() && format[i] == '*') {
            ++conversion.starCount;
            ++i;
            if (SkipDigits(format, i) > i) return std::nullopt; // "*1$"
        } else {
            i = SkipDigits(format, i);
        }

        if (i < format.size() && format[i] == '.') {
            ++i;
            if (i < format.size() && format[i] == '*') {
                ++conversion.starCount;
                ++i;
                if (SkipDigits(format, i) > i) return std::nullopt;
            } else {
                i = SkipDigits(format, i);
            }
        }

        static constexpr std::string_view lengthModifiers[] = {"hh", "ll", "h", "l", "L",
                                                               "q",  "j",  "z", "Z", "t"};
        for (std::string_view modifier : lengthModifiers) {
            if (format.compare(i, modifier.size(), modifier) == 0) {
                conversion.lengthModifier = std::string(modifier);
                i += modifier.size();
                break;
            }
        }

        if (i >= format.size() || conversionCharacters.find(format[i]) == std::string_view::npos)
            return std::nullopt;
        conversion.conversion = format[i];
        ++i;
        conversions.push_back(std::move(conversion));
    }
    return conversions;
}

bool PrintfConversionsMatch(const std::string& reference, const std::string& candidate) {
    const auto candidateConversions = PrintfConversions(candidate);
    if (!candidateConversions) return false;
    for (const PrintfConversion& conversion : *candidateConversions)
        if (conversion.conversion == 'n') return false;
    const auto referenceConversions = PrintfConversions(reference);
    return referenceConversions && *referenceConversions == *candidateConversions;
}

} // namespace varnex
