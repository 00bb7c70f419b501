#pragma once

#include <optional>
#include <string>
#include <vector>

namespace varnex {

// One line of the standards list "Regs.dat": the set's display name (between
// the first pair of double quotes) and its data file (the second pair).
struct StandardsListEntry {
    std::string name;
    std::string fileName;
};
std::optional<StandardsListEntry> ParseStandardsListLine(const std::string& line);

// One line of a standard set's data file:
//   name, identifier, value, unit, y|n, o|i
// A name with blanks or commas is double-quoted. The value is converted to
// mg/l by the unit ("n..." ng, "u..." ug); "y" flags the standard; "i" marks an
// inorganic species. Further tokens are ignored.
struct StandardsDataLine {
    std::string name;
    int identifier = 0;
    double standardMgPerL = 0.0;
    int flag = 0;
    bool organic = true;
};
// Empty when the line lacks its fields (such a line is skipped).
std::optional<StandardsDataLine> ParseStandardsDataLine(const std::string& line);

} // namespace varnex
