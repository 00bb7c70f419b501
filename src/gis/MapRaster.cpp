#include "gis/MapRaster.h"

#include <algorithm>
#include <limits>

#include "base/TextFormat.h"
#include "model/Project.h"
#include "settings/Translate.h"

namespace varnex {

namespace {

std::string PercentileBandName(int level) { return "p" + std::to_string(level) + "_mg_per_l"; }

} // namespace

MapRaster RasterOfProbabilityMap(const ProbabilityMap& map, int epsg) {
    MapRaster raster;
    raster.grid = map.grid;
    raster.epsg = epsg;
    raster.title =
        FormatText(TranslateFormat("%s at %g years, %d iterations"),
                   {map.contaminantName, map.timeYears, static_cast<long long>(map.iterations)});
    const std::string what =
        FormatText(TranslateFormat("%s at %g years"), {map.contaminantName, map.timeYears});
    // Without a standard there is nothing to exceed, and no band for it.
    if (map.standardMgPerL > 0.0 && !map.exceedance.empty()) {
        raster.bands.push_back(
            {"exceedance_probability",
             FormatText(TranslateFormat("P(C > %g mg/l) of %s, fraction of iterations"),
                        {map.standardMgPerL, what}),
             "fraction", map.exceedance});
    }
    raster.bands.push_back({"mean_mg_per_l",
                            FormatText(TranslateFormat("Mean concentration of %s, mg/l"), {what}),
                            "mg/l", map.mean});
    for (std::size_t i = 0; i < map.percentileLevels.size() && i < map.percentiles.size(); ++i) {
        const int level = map.percentileLevels[i];
        raster.bands.push_back(
            {PercentileBandName(level),
             FormatText(TranslateFormat("Percentile P%d of the concentration of %s, mg/l"),
                        {static_cast<long long>(level), what}),
             "mg/l", map.percentiles[i]});
    }
    return raster;
}

MapRaster RasterOfPlume(const Project& project) {
    const PlumeSettings& plume = project.plume;
    MapRaster raster;
    raster.epsg = project.coordinateSystemEpsg;
    raster.grid.leftX = plume.leftX;
    raster.grid.topY = plume.topY;
    raster.grid.spacingXM = plume.spacingM;
    raster.grid.spacingYM = plume.spacingM;
    raster.grid.columns = plume.columns.size();
    // Columns of unequal length (none are made so) are padded with NaN.
    for (const std::vector<double>& column : plume.columns)
        raster.grid.rows = std::max(raster.grid.rows, column.size());
    RasterBand band;
    band.name = "concentration_mg_per_l";
    band.unit = "mg/l";
    band.values.assign(raster.grid.Nodes(), std::numeric_limits<double>::quiet_NaN());
    for (std::size_t c = 0; c < plume.columns.size(); ++c)
        for (std::size_t r = 0; r < plume.columns[c].size(); ++r)
            band.values[r * raster.grid.columns + c] = plume.columns[c][r];
    const int index = plume.contaminantIndex;
    const std::string name =
        index >= 0 && static_cast<std::size_t>(index) < project.contaminants.size()
            ? project.contaminants[static_cast<std::size_t>(index)].name
            : std::string();
    const std::string what = FormatText(TranslateFormat("%s at %g years"), {name, plume.timeYears});
    raster.title =
        FormatText(TranslateFormat("%s at %g years, central values"), {name, plume.timeYears});
    band.description = FormatText(
        TranslateFormat("Concentration of %s with every input at its central value, mg/l"), {what});
    raster.bands.push_back(std::move(band));
    return raster;
}

} // namespace varnex
