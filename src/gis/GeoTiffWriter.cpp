#include <cpl_string.h>

#include "gis/GdalSession.h"
#include "gis/GisOutputs.h"
#include "gis/RasterDataset.h"
#include "settings/Translate.h"

namespace varnex {

std::optional<std::string> GeoTiffBytes(const MapRaster& raster, std::string& error) {
    error.clear();
    GdalSession session;
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("GTiff");
    if (driver == nullptr) {
        error = Translate("This GDAL has no GeoTIFF driver.");
        return std::nullopt;
    }
    const std::string path = UniqueMemoryFileName(".tif");
    CPLStringList options;
    // Lossless, and the floating-point predictor suits smooth fields.
    options.SetNameValue("COMPRESS", "DEFLATE");
    options.SetNameValue("PREDICTOR", "3");
    // Bands one after the other: a GIS reads one quantity at a time.
    options.SetNameValue("INTERLEAVE", "BAND");
    bool written = false;
    {
        GDALDatasetUniquePtr dataset =
            CreateRasterDataset(*driver, path, raster, {}, options.List(), error);
        if (dataset) {
            // Closing writes the file; only then are its bytes complete.
            CPLErrorReset();
            GDALClose(GDALDataset::ToHandle(dataset.release()));
            written = CPLGetLastErrorType() != CE_Failure && CPLGetLastErrorType() != CE_Fatal;
            if (!written) error = LastGdalError();
        }
    }
    std::string bytes = TakeMemoryFile(path);
    if (!written || bytes.empty()) {
        if (error.empty()) error = Translate("GDAL could not write the GeoTIFF.");
        return std::nullopt;
    }
    return bytes;
}

} // namespace varnex
