#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace varnex {

// The two double-quoted fields of a line of the language list or of a
// language file: the text between the first pair of double quotes and the
// text between the second pair. There is no escape: a field cannot contain a
// double quote, and anything outside the quotes is ignored.
struct QuotedFields {
    std::string first;
    std::string second;
};

// Empty optional when the line lacks the four quotes.
std::optional<QuotedFields> ParseQuotedFields(std::string_view line);

} // namespace varnex
