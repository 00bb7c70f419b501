#pragma once

#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <string>
#include <vector>

#include "gis/MapRaster.h"

namespace varnex {

// The value written where a node was not computed. Probabilities and
// concentrations are never negative, so it cannot be mistaken for a value,
// and unlike NaN every GIS reads it as no-data.
inline constexpr double rasterNoData = -9999.0;

// The problem of a raster GDAL would be given, as a sentence, or "" when it
// can be written: a grid with nodes and positive spacings, and each band one
// value per node.
std::string RasterProblem(const MapRaster& raster);

// The geotransform that puts each node at the centre of its cell: the
// top-left corner lies half a spacing left of and above the first node.
std::vector<double> CellCentreGeoTransform(const MapGrid& grid);

// The system of an EPSG code with x east and y north whatever the authority
// says (plan coordinates are easting, northing). False when GDAL does not
// know the code.
bool SpatialReferenceOfEpsg(int epsg, OGRSpatialReference& system);

// Creates `path` with `driver` as a Float64 raster of the given bands (all of
// them when `bandIndices` is empty): named, described, with units, no-data
// where NaN, the cell-centre geotransform and the EPSG system. Null with
// `error` set on failure.
GDALDatasetUniquePtr CreateRasterDataset(GDALDriver& driver, const std::string& path,
                                         const MapRaster& raster,
                                         const std::vector<std::size_t>& bandIndices,
                                         char** creationOptions, std::string& error);

} // namespace varnex
