#pragma once

#include <string>
#include <vector>

#include "run/ProbabilityMap.h"

namespace varnex {

class Project;

// One quantity over the nodes of a map grid: values row after row from the
// top (index r * columns + c), NaN where nothing was computed.
struct RasterBand {
    std::string name;        // e.g. "exceedance_probability", "p95_mg_per_l"
    std::string description; // e.g. "P(C > 0.001 mg/l), fraction of iterations"
    std::string unit;        // "fraction" or "mg/l"
    std::vector<double> values;
};

// A map ready for a GIS: the grid (each node the centre of a cell), its
// bands, and the coordinate reference system of the site plan (EPSG code,
// 0 for none).
struct MapRaster {
    MapGrid grid;
    std::vector<RasterBand> bands;
    int epsg = 0;
    std::string title; // e.g. "Benzene at 50 years, 1001 iterations"
};

// The bands of a probability map: "exceedance_probability" (when the
// contaminant has a standard), "mean_mg_per_l", then "pNN_mg_per_l" per
// percentile level.
MapRaster RasterOfProbabilityMap(const ProbabilityMap& map, int epsg);
// The central-value plume of the project (project.plume): one band
// "concentration_mg_per_l".
MapRaster RasterOfPlume(const Project& project);

} // namespace varnex
