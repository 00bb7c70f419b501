#pragma once

#include <string>

namespace varnex {
struct ProbabilityMap;
}

namespace varnex::cli {

// The probability map as CSV: a header line, then one line per node, row
// after row from the top of the map and left to right along each row:
// x,y[,exceedance_probability],mean_mg_per_l,p<level>_mg_per_l... with 17
// significant digits. The exceedance column is there only when the
// contaminant has a standard.
std::string ProbabilityMapCsv(const ProbabilityMap& map);

} // namespace varnex::cli
