#include "cli/ProbabilityMapCsv.h"

#include "base/NumberText.h"
#include "run/ProbabilityMap.h"

namespace varnex::cli {

std::string ProbabilityMapCsv(const ProbabilityMap& map) {
    const bool exceedance = !map.exceedance.empty();
    std::string out = "x,y";
    if (exceedance) out += ",exceedance_probability";
    out += ",mean_mg_per_l";
    for (int level : map.percentileLevels) out += ",p" + std::to_string(level) + "_mg_per_l";
    out += '\n';
    const MapGrid& grid = map.grid;
    for (std::size_t r = 0; r < grid.rows; ++r) {
        const std::string y = FormatG(grid.Y(r), 17);
        for (std::size_t c = 0; c < grid.columns; ++c) {
            const std::size_t node = r * grid.columns + c;
            out += FormatG(grid.X(c), 17);
            out += ',';
            out += y;
            if (exceedance) out += ',' + FormatG(map.exceedance[node], 17);
            out += ',' + FormatG(map.mean[node], 17);
            for (const std::vector<double>& band : map.percentiles)
                out += ',' + FormatG(band[node], 17);
            out += '\n';
        }
    }
    return out;
}

} // namespace varnex::cli
