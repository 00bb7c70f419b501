#include <algorithm>
#include <cctype>
#include <cmath>
#include <cpl_string.h>
#include <gdal_alg.h>
#include <ogrsf_frmts.h>
#include <sstream>

#include "base/TextFormat.h"
#include "gis/GdalSession.h"
#include "gis/GisOutputs.h"
#include "gis/RasterDataset.h"
#include "settings/Translate.h"

namespace varnex {

namespace {

std::string LevelsOption(const std::vector<double>& levels) {
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text.precision(17);
    for (std::size_t i = 0; i < levels.size(); ++i) text << (i ? "," : "") << levels[i];
    return "FIXED_LEVELS=" + text.str();
}

// The contour lines of one band at its levels, into `target` with the
// band's name as "quantity". GDAL's generator (marching squares over the
// cells between four nodes, Cooper's algorithm) writes only the level, so
// its lines go through a layer in memory first.
bool AddContoursOfBand(const MapRaster& raster, std::size_t bandIndex,
                       const std::vector<double>& levels, OGRLayer& target, std::string& error) {
    GDALDriver* memRaster = GetGDALDriverManager()->GetDriverByName("MEM");
    GDALDriver* memVector = GetGDALDriverManager()->GetDriverByName("Memory");
    if (memRaster == nullptr || memVector == nullptr) {
        error = Translate("This GDAL has no in-memory drivers.");
        return false;
    }
    GDALDatasetUniquePtr grid =
        CreateRasterDataset(*memRaster, "", raster, {bandIndex}, nullptr, error);
    if (!grid) return false;
    GDALDatasetUniquePtr lines(memVector->Create("", 0, 0, 0, GDT_Unknown, nullptr));
    if (!lines) {
        error = LastGdalError();
        return false;
    }
    OGRLayer* layer = lines->CreateLayer("lines", nullptr, wkbLineString, nullptr);
    OGRFieldDefn levelField("level", OFTReal);
    if (layer == nullptr || layer->CreateField(&levelField) != OGRERR_NONE) {
        error = LastGdalError();
        return false;
    }
    CPLStringList options;
    options.AddString(LevelsOption(levels).c_str());
    options.AddString(CPLSPrintf("NODATA=%.17g", rasterNoData));
    options.AddString("ELEV_FIELD=0");
    if (GDALContourGenerateEx(GDALRasterBand::ToHandle(grid->GetRasterBand(1)),
                              OGRLayer::ToHandle(layer), options.List(), nullptr,
                              nullptr) != CE_None) {
        error = LastGdalError();
        return false;
    }
    const std::string quantity = raster.bands[bandIndex].name;
    layer->ResetReading();
    for (auto& line : *layer) {
        OGRFeature feature(target.GetLayerDefn());
        feature.SetField("level", line->GetFieldAsDouble(0));
        feature.SetField("quantity", quantity.c_str());
        feature.SetGeometry(line->GetGeometryRef());
        if (target.CreateFeature(&feature) != OGRERR_NONE) {
            error = LastGdalError();
            return false;
        }
    }
    return true;
}

} // namespace

std::vector<ContourRequest> StandardContours(const ProbabilityMap& map, int percentileLevel) {
    std::vector<ContourRequest> contours;
    if (!(map.standardMgPerL > 0.0)) return contours;
    if (!map.exceedance.empty()) contours.push_back({"exceedance_probability", {0.05, 0.5, 0.95}});
    const auto level =
        std::find(map.percentileLevels.begin(), map.percentileLevels.end(), percentileLevel);
    if (level != map.percentileLevels.end() &&
        static_cast<std::size_t>(level - map.percentileLevels.begin()) < map.percentiles.size())
        contours.push_back(
            {"p" + std::to_string(percentileLevel) + "_mg_per_l", {map.standardMgPerL}});
    return contours;
}

std::optional<std::string> ContourBytes(const MapRaster& raster,
                                        const std::vector<ContourRequest>& contours,
                                        const std::string& format, std::string& error) {
    error.clear();
    if (format != "geojson" && format != "gpkg") {
        error = FormatText(TranslateFormat("Contour lines are written as GeoJSON or GeoPackage, "
                                           "not as %s."),
                           {format});
        return std::nullopt;
    }
    error = RasterProblem(raster);
    if (!error.empty()) return std::nullopt;
    std::vector<std::size_t> bandIndices;
    for (const ContourRequest& request : contours) {
        const auto band = std::find_if(raster.bands.begin(), raster.bands.end(),
                                       [&](const RasterBand& b) { return b.name == request.band; });
        if (band == raster.bands.end()) {
            error = FormatText(TranslateFormat("The map has no quantity %s to draw contours of."),
                               {request.band});
            return std::nullopt;
        }
        bandIndices.push_back(static_cast<std::size_t>(band - raster.bands.begin()));
    }

    GdalSession session;
    const bool geoJson = format == "geojson";
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(geoJson ? "GeoJSON" : "GPKG");
    if (driver == nullptr) {
        error = Translate("This GDAL cannot write the contour file's format.");
        return std::nullopt;
    }
    OGRSpatialReference system;
    if (raster.epsg != 0 && !SpatialReferenceOfEpsg(raster.epsg, system)) {
        error =
            FormatText(TranslateFormat("EPSG:%d is not a coordinate reference system GDAL knows."),
                       {static_cast<long long>(raster.epsg)});
        return std::nullopt;
    }
    const std::string path = UniqueMemoryFileName(geoJson ? ".geojson" : ".gpkg");
    bool written = false;
    {
        GDALDatasetUniquePtr file(driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
        if (!file) error = LastGdalError();
        OGRLayer* layer = nullptr;
        if (file) {
            CPLStringList layerOptions;
            // The plan's coordinates as they are, with the system named:
            // RFC 7946 would demand longitude and latitude.
            if (geoJson) layerOptions.SetNameValue("RFC7946", "NO");
            layer = file->CreateLayer("contours", raster.epsg != 0 ? &system : nullptr,
                                      wkbLineString, layerOptions.List());
            OGRFieldDefn level("level", OFTReal);
            OGRFieldDefn quantity("quantity", OFTString);
            if (layer == nullptr || layer->CreateField(&level) != OGRERR_NONE ||
                layer->CreateField(&quantity) != OGRERR_NONE) {
                error = LastGdalError();
                layer = nullptr;
            }
        }
        if (layer != nullptr) {
            written = true;
            for (std::size_t i = 0; i < contours.size() && written; ++i) {
                // A level that is no number (a map without a standard asked
                // for its standard) draws nothing.
                std::vector<double> levels;
                for (double level : contours[i].levels)
                    if (std::isfinite(level)) levels.push_back(level);
                if (!levels.empty())
                    written = AddContoursOfBand(raster, bandIndices[i], levels, *layer, error);
            }
        }
        if (file) {
            CPLErrorReset();
            GDALClose(GDALDataset::ToHandle(file.release()));
            if (CPLGetLastErrorType() == CE_Failure || CPLGetLastErrorType() == CE_Fatal) {
                written = false;
                error = LastGdalError();
            }
        }
    }
    std::string bytes = TakeMemoryFile(path);
    if (!written || bytes.empty()) {
        if (error.empty()) error = Translate("GDAL could not write the contour lines.");
        return std::nullopt;
    }
    return bytes;
}

std::string ContourFormatOfPath(const std::string& path) {
    const std::string::size_type dot = path.find_last_of('.');
    const std::string::size_type slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::string();
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == "geojson" || extension == "json") return "geojson";
    if (extension == "gpkg") return "gpkg";
    return std::string();
}

} // namespace varnex
