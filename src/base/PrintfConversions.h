#pragma once

#include <optional>
#include <string>
#include <vector>

namespace varnex {

// What a printf-style conversion takes from the argument list: how many
// `*` (width and precision read as int arguments), the length modifier and
// the conversion letter. Flags, literal widths and precisions do not change
// which arguments are read, so they are not part of it.
struct PrintfConversion {
    int starCount = 0;
    std::string lengthModifier;
    char conversion = '\0';

    bool operator==(const PrintfConversion&) const = default;
};

// The conversions of a format in order, "%%" left out. Empty optional when
// the format is not one we can vouch for: an unterminated or unknown
// conversion, or an explicit argument position ("%1$s"), since with those the
// order of the specifications no longer tells which argument each one reads.
std::optional<std::vector<PrintfConversion>> PrintfConversions(const std::string& format);

// True when `candidate` may be passed to printf with the arguments meant for
// `reference`: both parse, they read the same arguments in the same order,
// and the candidate does not contain "%n" (which writes through an argument).
bool PrintfConversionsMatch(const std::string& reference, const std::string& candidate);

} // namespace varnex
