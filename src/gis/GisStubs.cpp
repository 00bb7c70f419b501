// Placeholder bodies until the GIS outputs land.
#include "gis/CoordinateSystem.h"
#include "gis/GisOutputs.h"

namespace varnex {

MapRaster RasterOfProbabilityMap(const ProbabilityMap& map, int epsg) {
    MapRaster raster;
    raster.grid = map.grid;
    raster.epsg = epsg;
    return raster;
}
MapRaster RasterOfPlume(const Project&) { return MapRaster(); }
std::vector<ContourRequest> StandardContours(const ProbabilityMap&, int) { return {}; }
std::optional<std::string> GeoTiffBytes(const MapRaster&, std::string& error) {
    error = "not built yet";
    return std::nullopt;
}
std::optional<std::string> ContourBytes(const MapRaster&, const std::vector<ContourRequest>&,
                                        const std::string&, std::string& error) {
    error = "not built yet";
    return std::nullopt;
}
std::string ContourFormatOfPath(const std::string&) { return std::string(); }
std::string CoordinateSystemProblem(int) { return std::string(); }
std::string CoordinateSystemName(int) { return std::string(); }

} // namespace varnex
