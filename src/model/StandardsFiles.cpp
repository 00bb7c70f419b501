#include "model/StandardsFiles.h"

#include <locale>
#include <sstream>

#include "base/QuotedFields.h"

namespace varnex {

std::optional<StandardsListEntry> ParseStandardsListLine(const std::string& line) {
    // The same two quoted fields as a line of the language list.
    const auto fields = ParseQuotedFields(line);
    if (!fields || fields->second.empty()) return std::nullopt;
    return StandardsListEntry{fields->first, fields->second};
}

std::optional<StandardsDataLine> ParseStandardsDataLine(const std::string& rawLine) {
    std::string line = rawLine;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // The fields are read as a stream reads them: a number stops at the comma
    // that follows it, and the comma is then read as the separator token.
    std::istringstream in(line);
    in.imbue(std::locale::classic());
    StandardsDataLine data;
    std::string separator;
    if (!line.empty() && line.front() == '"') {
        const std::size_t close = line.find('"', 1);
        if (close == std::string::npos) return std::nullopt;
        data.name = line.substr(1, close - 1);
        in.seekg(static_cast<std::streamoff>(close + 1));
        if (!(in >> separator)) return std::nullopt;
    } else {
        if (!(in >> data.name)) return std::nullopt;
        const std::size_t comma = data.name.find(',');
        if (comma != std::string::npos) data.name.erase(comma, 1);
    }
    std::string unit, flag, kind;
    if (!(in >> data.identifier >> separator >> data.standardMgPerL >> separator >> unit >> flag >>
          kind))
        return std::nullopt;
    if (data.name.empty()) return std::nullopt;
    // Dividing by the exact 1000 or 1e6 gives the double nearest the true
    // value in mg/l (700 ug/l is 0.7 mg/l); multiplying by the inexact 0.001
    // would be one unit in the last place off for many standards.
    if (unit[0] == 'n')
        data.standardMgPerL /= 1e6;
    else if (unit[0] == 'u')
        data.standardMgPerL /= 1000.0;
    data.flag = flag[0] == 'y' ? 1 : 0;
    data.organic = kind[0] != 'i';
    return data;
}

} // namespace varnex
