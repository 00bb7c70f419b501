#include "gis/RasterDataset.h"

#include <climits>
#include <cmath>

#include "base/TextFormat.h"
#include "gis/GdalSession.h"
#include "settings/Translate.h"

namespace varnex {

std::string RasterProblem(const MapRaster& raster) {
    const MapGrid& grid = raster.grid;
    if (grid.columns == 0 || grid.rows == 0)
        return Translate("The map has no nodes, so there is nothing to write.");
    if (grid.columns > INT_MAX || grid.rows > INT_MAX)
        return Translate("The map has more rows or columns than a raster file can hold.");
    if (!(grid.spacingXM > 0.0) || !(grid.spacingYM > 0.0) || !std::isfinite(grid.spacingXM) ||
        !std::isfinite(grid.spacingYM) || !std::isfinite(grid.leftX) || !std::isfinite(grid.topY))
        return Translate("The map's grid has no valid position or spacing.");
    if (raster.bands.empty()) return Translate("The map has no quantities to write.");
    for (const RasterBand& band : raster.bands)
        if (band.values.size() != grid.Nodes())
            return FormatText(TranslateFormat("The map's quantity %s has %d values for %d nodes."),
                              {band.name, static_cast<long long>(band.values.size()),
                               static_cast<long long>(grid.Nodes())});
    return std::string();
}

std::vector<double> CellCentreGeoTransform(const MapGrid& grid) {
    // x = t0 + col * t1 + row * t2, y = t3 + col * t4 + row * t5 for the
    // pixel corner (col, row); the node (c, r) is the corner (c + 0.5, r + 0.5).
    return {grid.leftX - 0.5 * grid.spacingXM,
            grid.spacingXM,
            0.0,
            grid.topY + 0.5 * grid.spacingYM,
            0.0,
            -grid.spacingYM};
}

bool SpatialReferenceOfEpsg(int epsg, OGRSpatialReference& system) {
    if (epsg <= 0 || system.importFromEPSG(epsg) != OGRERR_NONE) return false;
    system.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return true;
}

GDALDatasetUniquePtr CreateRasterDataset(GDALDriver& driver, const std::string& path,
                                         const MapRaster& raster,
                                         const std::vector<std::size_t>& bandIndices,
                                         char** creationOptions, std::string& error) {
    error = RasterProblem(raster);
    if (!error.empty()) return nullptr;
    std::vector<std::size_t> chosen = bandIndices;
    if (chosen.empty())
        for (std::size_t i = 0; i < raster.bands.size(); ++i) chosen.push_back(i);
    const MapGrid& grid = raster.grid;
    OGRSpatialReference system;
    if (raster.epsg != 0 && !SpatialReferenceOfEpsg(raster.epsg, system)) {
        error =
            FormatText(TranslateFormat("EPSG:%d is not a coordinate reference system GDAL knows."),
                       {static_cast<long long>(raster.epsg)});
        return nullptr;
    }
    GDALDatasetUniquePtr dataset(
        driver.Create(path.c_str(), static_cast<int>(grid.columns), static_cast<int>(grid.rows),
                      static_cast<int>(chosen.size()), GDT_Float64, creationOptions));
    if (!dataset) {
        error = LastGdalError();
        return nullptr;
    }
    std::vector<double> transform = CellCentreGeoTransform(grid);
    dataset->SetGeoTransform(transform.data());
    if (raster.epsg != 0) dataset->SetSpatialRef(&system);
    if (!raster.title.empty()) dataset->SetMetadataItem("TITLE", raster.title.c_str());

    std::vector<double> values(grid.Nodes());
    for (std::size_t b = 0; b < chosen.size(); ++b) {
        const RasterBand& source = raster.bands.at(chosen[b]);
        GDALRasterBand* band = dataset->GetRasterBand(static_cast<int>(b) + 1);
        band->SetDescription(source.name.c_str());
        band->SetMetadataItem("unit", source.unit.c_str());
        band->SetMetadataItem("description", source.description.c_str());
        band->SetUnitType(source.unit.c_str());
        band->SetNoDataValue(rasterNoData);
        for (std::size_t n = 0; n < values.size(); ++n)
            values[n] = std::isfinite(source.values[n]) ? source.values[n] : rasterNoData;
        if (band->RasterIO(GF_Write, 0, 0, static_cast<int>(grid.columns),
                           static_cast<int>(grid.rows), values.data(),
                           static_cast<int>(grid.columns), static_cast<int>(grid.rows), GDT_Float64,
                           0, 0, nullptr) != CE_None) {
            error = LastGdalError();
            return nullptr;
        }
    }
    return dataset;
}

} // namespace varnex
