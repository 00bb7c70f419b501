#pragma once

#include <optional>
#include <string>
#include <vector>

namespace varnex::cli {

// A table read from CSV text (RFC 4180: fields separated by commas, a field
// in double quotes may hold commas, line breaks and doubled quotes; lines
// end in LF or CRLF). `lines[k]` is the line of the text where record k
// starts (1-based), so messages can name the line a person sees.
struct CsvTable {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> records;
    std::vector<int> lines;
};

// Empty optional and `error` (naming the line) for text that is not CSV: a
// quote left open, text after a closing quote, a record with more fields
// than the header. Records with fewer fields are padded with empty ones; a
// blank line is skipped.
std::optional<CsvTable> ParseCsv(const std::string& text, std::string& error);

// A field as CSV writes it: quoted (quotes doubled) when it holds a comma,
// a quote or a line break.
std::string CsvField(const std::string& text);

} // namespace varnex::cli
