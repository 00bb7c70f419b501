#pragma once

#include <optional>
#include <string>
#include <vector>

#include "gis/MapRaster.h"

namespace varnex {

// The levels at which contour lines of one band are drawn.
struct ContourRequest {
    std::string band; // a band name of the raster
    std::vector<double> levels;
};

// The contours of a probability map: P = 0.05, 0.5 and 0.95 on the
// exceedance band (when there is one), and the standard on the band of the
// given percentile level (when there is a standard and such a band).
std::vector<ContourRequest> StandardContours(const ProbabilityMap& map, int percentileLevel);

// The bytes of a GeoTIFF of the raster: one Float64 band per quantity,
// named, no-data where NaN, the geotransform from the plan coordinates
// (each node the centre of its cell), the EPSG system when given. Empty
// optional and `error` set when GDAL refuses.
std::optional<std::string> GeoTiffBytes(const MapRaster& raster, std::string& error);

// The bytes of the contour lines as GeoJSON (format "geojson") or a
// GeoPackage ("gpkg"); every feature has the attributes "level" (number)
// and "quantity" (the band name).
std::optional<std::string> ContourBytes(const MapRaster& raster,
                                        const std::vector<ContourRequest>& contours,
                                        const std::string& format, std::string& error);

// "geojson" or "gpkg" from a file name's extension (.geojson, .json,
// .gpkg); empty for anything else.
std::string ContourFormatOfPath(const std::string& path);

} // namespace varnex
