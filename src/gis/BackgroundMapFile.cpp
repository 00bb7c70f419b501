#include "gis/BackgroundMapFile.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cpl_string.h>
#include <gdal_priv.h>
#include <gdalwarper.h>
#include <limits>
#include <memory>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include "base/TextFormat.h"
#include "gis/GdalSession.h"
#include "settings/Translate.h"

namespace varnex {

namespace {

// Coordinates beyond this are damage, not survey data (the earth is 4e7 m
// round), and would only break the plan's arithmetic.
constexpr double largestCoordinate = 1e9;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string Extension(const std::string& path) {
    const std::string::size_type dot = path.find_last_of('.');
    const std::string::size_type slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::string();
    return Lower(path.substr(dot + 1));
}

std::string WithReason(const std::string& sentence) {
    const std::string reason = LastGdalError();
    if (reason.empty()) return sentence;
    return sentence + " " + FormatText(TranslateFormat("GDAL says: %s"), {reason});
}

std::string CannotOpen(const std::string& path) {
    return WithReason(FormatText(TranslateFormat("Cannot open the background map %s."), {path}));
}

// The project's system with x east and y north, as plan coordinates are.
bool ProjectSystem(int epsg, OGRSpatialReference& system) {
    if (epsg <= 0 || system.importFromEPSG(epsg) != OGRERR_NONE) return false;
    system.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return true;
}

// ----- Rasters ------------------------------------------------------------

// 0..255 from a band's values: bytes as they are, anything else stretched
// linearly over the band's range (a digital elevation model, say, becomes
// a grey relief).
std::vector<std::uint8_t> ReadBandAsBytes(GDALRasterBand& band, int width, int height,
                                          std::string& error) {
    const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::vector<std::uint8_t> bytes(pixels);
    GDALRasterIOExtraArg resampling;
    INIT_RASTERIO_EXTRA_ARG(resampling);
    resampling.eResampleAlg = GRIORA_Average;
    if (band.GetRasterDataType() == GDT_Byte) {
        if (band.RasterIO(GF_Read, 0, 0, band.GetXSize(), band.GetYSize(), bytes.data(), width,
                          height, GDT_Byte, 0, 0, &resampling) != CE_None)
            error = LastGdalError();
        return bytes;
    }
    std::vector<float> values(pixels);
    if (band.RasterIO(GF_Read, 0, 0, band.GetXSize(), band.GetYSize(), values.data(), width, height,
                      GDT_Float32, 0, 0, &resampling) != CE_None) {
        error = LastGdalError();
        return bytes;
    }
    int hasNoData = 0;
    const double noData = band.GetNoDataValue(&hasNoData);
    float low = std::numeric_limits<float>::infinity();
    float high = -low;
    for (float v : values)
        if (std::isfinite(v) && !(hasNoData && v == static_cast<float>(noData))) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
    const float range = high > low ? high - low : 1.0f;
    for (std::size_t i = 0; i < pixels; ++i) {
        const float v = std::isfinite(values[i]) ? values[i] : low;
        bytes[i] = static_cast<std::uint8_t>(std::clamp((v - low) / range * 255.0f, 0.0f, 255.0f));
    }
    return bytes;
}

// The dataset to read the image from: the file itself when it is north-up
// in the project's system (or either has none), else a warped view of it
// in the project's system, north-up (GDALAutoCreateWarpedVRT), with an
// alpha band that is 0 outside the source.
GDALDatasetH WarpedIfNeeded(GDALDataset& file, int projectEpsg, bool& warped, std::string& error) {
    warped = false;
    double transform[6] = {};
    file.GetGeoTransform(transform);
    const bool rotated = transform[2] != 0.0 || transform[4] != 0.0;
    const OGRSpatialReference* source = file.GetSpatialRef();
    OGRSpatialReference target;
    const bool reproject =
        source != nullptr && ProjectSystem(projectEpsg, target) && !source->IsSame(&target);
    if (!reproject && !rotated) return GDALDataset::ToHandle(&file);
    std::string sourceWkt, targetWkt;
    if (reproject) {
        char* text = nullptr;
        source->exportToWkt(&text);
        sourceWkt = text ? text : "";
        CPLFree(text);
        text = nullptr;
        target.exportToWkt(&text);
        targetWkt = text ? text : "";
        CPLFree(text);
    }
    GDALWarpOptions* options = GDALCreateWarpOptions();
    options->nDstAlphaBand = file.GetRasterCount() + 1;
    GDALDatasetH view = GDALAutoCreateWarpedVRTEx(
        GDALDataset::ToHandle(&file), reproject ? sourceWkt.c_str() : nullptr,
        reproject ? targetWkt.c_str() : nullptr, GRA_Bilinear, 0.125, options, nullptr);
    GDALDestroyWarpOptions(options);
    if (view == nullptr) error = LastGdalError();
    warped = reproject;
    return view;
}

bool ReadRaster(GDALDataset& file, const std::string& path, int projectEpsg, BackgroundMapFile& map,
                std::string& error) {
    double fileTransform[6] = {};
    // A pixel of no width or height has no place either (a damaged header).
    if (file.GetGeoTransform(fileTransform) != CE_None ||
        fileTransform[1] * fileTransform[5] - fileTransform[2] * fileTransform[4] == 0.0) {
        error = FormatText(
            TranslateFormat("The background map %s has no position on the plan: it has neither a "
                            "geotransform (as a GeoTIFF has) nor a world file beside it."),
            {path});
        return false;
    }
    bool warped = false;
    std::string warpError;
    GDALDatasetH handle = WarpedIfNeeded(file, projectEpsg, warped, warpError);
    if (handle == nullptr) {
        error =
            FormatText(TranslateFormat("The background map %s cannot be warped into the project's "
                                       "coordinate system EPSG:%d. GDAL says: %s"),
                       {path, static_cast<long long>(projectEpsg), warpError});
        return false;
    }
    // The warped view belongs to us; the file itself to the caller.
    const bool ownView = handle != GDALDataset::ToHandle(&file);
    std::unique_ptr<GDALDataset, void (*)(GDALDataset*)> view(
        GDALDataset::FromHandle(handle),
        ownView ? [](GDALDataset* d) { GDALClose(GDALDataset::ToHandle(d)); }
                : [](GDALDataset*) {});

    double t[6] = {};
    view->GetGeoTransform(t);
    const int fileWidth = view->GetRasterXSize();
    const int fileHeight = view->GetRasterYSize();
    const double reduce = std::max(1.0, static_cast<double>(std::max(fileWidth, fileHeight)) /
                                            static_cast<double>(maximumBackgroundImageSide));
    BackgroundMapFile::Image image;
    image.width = std::max(1, static_cast<int>(std::lround(fileWidth / reduce)));
    image.height = std::max(1, static_cast<int>(std::lround(fileHeight / reduce)));
    const double x0 = t[0], x1 = t[0] + fileWidth * t[1];
    const double y0 = t[3], y1 = t[3] + fileHeight * t[5];
    image.minX = std::min(x0, x1);
    image.maxX = std::max(x0, x1);
    image.minY = std::min(y0, y1);
    image.maxY = std::max(y0, y1);
    for (double v : {image.minX, image.maxX, image.minY, image.maxY})
        if (!std::isfinite(v) || std::abs(v) > largestCoordinate) {
            error = FormatText(
                TranslateFormat("The background map %s lies outside any plausible site: its "
                                "corners are more than a million kilometres away."),
                {path});
            return false;
        }

    // The bands by their colour: red, green, blue; a palette; grey.
    GDALRasterBand* red = nullptr;
    GDALRasterBand* green = nullptr;
    GDALRasterBand* blue = nullptr;
    GDALRasterBand* first = nullptr;
    for (int b = 1; b <= view->GetRasterCount(); ++b) {
        GDALRasterBand* band = view->GetRasterBand(b);
        switch (band->GetColorInterpretation()) {
        case GCI_RedBand: red = band; break;
        case GCI_GreenBand: green = band; break;
        case GCI_BlueBand: blue = band; break;
        case GCI_AlphaBand: break;
        default:
            if (first == nullptr) first = band;
        }
    }
    if (first == nullptr) first = red ? red : view->GetRasterBand(1);
    const bool colour = red && green && blue;
    std::string readError;
    const auto read = [&](GDALRasterBand* band) {
        return ReadBandAsBytes(*band, image.width, image.height, readError);
    };
    const std::size_t pixels =
        static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
    image.rgba.assign(pixels * 4, 255);
    if (colour) {
        const std::vector<std::uint8_t> r = read(red), g = read(green), b = read(blue);
        for (std::size_t i = 0; i < pixels && readError.empty(); ++i) {
            image.rgba[4 * i] = r[i];
            image.rgba[4 * i + 1] = g[i];
            image.rgba[4 * i + 2] = b[i];
        }
    } else {
        const std::vector<std::uint8_t> index = read(first);
        const GDALColorTable* palette = first->GetColorTable();
        for (std::size_t i = 0; i < pixels && readError.empty(); ++i) {
            if (palette != nullptr) {
                GDALColorEntry entry{0, 0, 0, 0};
                palette->GetColorEntryAsRGB(index[i], &entry);
                image.rgba[4 * i] = static_cast<std::uint8_t>(entry.c1);
                image.rgba[4 * i + 1] = static_cast<std::uint8_t>(entry.c2);
                image.rgba[4 * i + 2] = static_cast<std::uint8_t>(entry.c3);
                image.rgba[4 * i + 3] = static_cast<std::uint8_t>(entry.c4);
            } else {
                image.rgba[4 * i] = image.rgba[4 * i + 1] = image.rgba[4 * i + 2] = index[i];
            }
        }
    }
    // GDAL's mask: the alpha band, the no-data value or the file's own
    // mask, whichever the file has; 0 is transparent.
    GDALRasterBand* mask = first->GetMaskBand();
    if (mask != nullptr && !(first->GetMaskFlags() & GMF_ALL_VALID) && readError.empty()) {
        const std::vector<std::uint8_t> alpha = read(mask);
        for (std::size_t i = 0; i < pixels && readError.empty(); ++i)
            image.rgba[4 * i + 3] = std::min(image.rgba[4 * i + 3], alpha[i]);
    }
    if (!readError.empty()) {
        error = FormatText(TranslateFormat("The background map %s cannot be read. GDAL says: %s"),
                           {path, readError});
        return false;
    }
    // A transform running west or south turns the image round.
    if (t[1] < 0.0)
        for (int r = 0; r < image.height; ++r)
            for (int c = 0; c < image.width / 2; ++c)
                for (int k = 0; k < 4; ++k)
                    std::swap(image.rgba[(static_cast<std::size_t>(r) * image.width + c) * 4 + k],
                              image.rgba[(static_cast<std::size_t>(r) * image.width +
                                          (image.width - 1 - c)) *
                                             4 +
                                         k]);
    if (t[5] > 0.0)
        for (int r = 0; r < image.height / 2; ++r)
            std::swap_ranges(
                image.rgba.begin() + static_cast<std::ptrdiff_t>(r) * image.width * 4,
                image.rgba.begin() + static_cast<std::ptrdiff_t>(r + 1) * image.width * 4,
                image.rgba.begin() +
                    static_cast<std::ptrdiff_t>(image.height - 1 - r) * image.width * 4);
    map.images.push_back(std::move(image));
    map.transformed = warped;
    return true;
}

// ----- Vectors ------------------------------------------------------------

class LineCollector {
public:
    explicit LineCollector(BackgroundMapFile& map) : map_(map) {}
    // False once the map holds too many vertices.
    bool Add(const OGRGeometry& geometry) {
        switch (wkbFlatten(geometry.getGeometryType())) {
        case wkbLineString:
        case wkbLinearRing: return AddLine(*geometry.toLineString(), false);
        case wkbPolygon:
            for (const OGRLinearRing* ring : *geometry.toPolygon())
                if (!AddLine(*ring, true)) return false;
            return true;
        case wkbMultiLineString:
        case wkbMultiPolygon:
        case wkbGeometryCollection:
        case wkbMultiCurve:
        case wkbMultiSurface:
            for (const OGRGeometry* part : *geometry.toGeometryCollection())
                if (part != nullptr && !Add(*part)) return false;
            return true;
        case wkbCircularString:
        case wkbCompoundCurve:
        case wkbCurvePolygon: {
            // Arcs of the file become short chords (GDAL's default step).
            std::unique_ptr<OGRGeometry> linear(geometry.getLinearGeometry());
            return linear ? Add(*linear) : true;
        }
        default: return true; // points and the like draw no line
        }
    }

private:
    bool AddLine(const OGRLineString& line, bool closed) {
        BackgroundMapFile::Polyline polyline;
        polyline.closed = closed;
        for (const OGRPoint& point : line) {
            const double x = point.getX(), y = point.getY();
            if (!std::isfinite(x) || !std::isfinite(y) || std::abs(x) > largestCoordinate ||
                std::abs(y) > largestCoordinate)
                continue;
            polyline.points.push_back({x, y});
        }
        vertices_ += polyline.points.size();
        if (vertices_ > maximumBackgroundVertices) return false;
        if (polyline.points.size() >= 2) map_.polylines.push_back(std::move(polyline));
        return true;
    }

    BackgroundMapFile& map_;
    std::size_t vertices_ = 0;
};

bool ReadVectors(GDALDataset& file, const std::string& path, int projectEpsg,
                 BackgroundMapFile& map, std::string& error) {
    OGRSpatialReference target;
    const bool haveTarget = ProjectSystem(projectEpsg, target);
    LineCollector lines(map);
    std::size_t untransformable = 0;
    for (OGRLayer* layer : file.GetLayers()) {
        std::unique_ptr<OGRCoordinateTransformation> transformation;
        if (const OGRSpatialReference* own = layer->GetSpatialRef();
            own != nullptr && haveTarget && !own->IsSame(&target)) {
            OGRSpatialReference source(*own);
            source.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
            transformation.reset(OGRCreateCoordinateTransformation(&source, &target));
            if (!transformation) {
                error = WithReason(FormatText(
                    TranslateFormat("The background map %s cannot be transformed from its "
                                    "coordinate system into the project's, EPSG:%d."),
                    {path, static_cast<long long>(projectEpsg)}));
                return false;
            }
            map.transformed = true;
        }
        layer->ResetReading();
        for (auto& feature : *layer) {
            OGRGeometry* geometry = feature->GetGeometryRef();
            if (geometry == nullptr) continue;
            if (transformation && geometry->transform(transformation.get()) != OGRERR_NONE) {
                ++untransformable;
                continue;
            }
            if (!lines.Add(*geometry)) {
                error = FormatText(
                    TranslateFormat("The background map %s has more than %d points and is not "
                                    "read."),
                    {path, static_cast<long long>(maximumBackgroundVertices)});
                return false;
            }
        }
    }
    if (map.polylines.empty() && untransformable > 0) {
        error = WithReason(FormatText(
            TranslateFormat("The background map %s lies outside where its coordinate system can "
                            "be transformed into the project's, EPSG:%d."),
            {path, static_cast<long long>(projectEpsg)}));
        return false;
    }
    return true;
}

} // namespace

bool IsGdalMapFile(const std::string& path) {
    static const char* const extensions[] = {"tif", "tiff",    "png",  "jpg", "jpeg", "gif",
                                             "bmp", "jp2",     "ecw",  "img", "vrt",  "gpkg",
                                             "shp", "geojson", "json", "kml", "gml",  "sqlite"};
    const std::string extension = Extension(path);
    if (extension == "dxf" || extension == "dwg") return false;
    for (const char* known : extensions)
        if (extension == known) return true;
    GdalSession session;
    GDALDriverH driver =
        GDALIdentifyDriverEx(path.c_str(), GDAL_OF_RASTER | GDAL_OF_VECTOR, nullptr, nullptr);
    return driver != nullptr && !EQUAL(GDALGetDriverShortName(driver), "DXF");
}

bool ReadBackgroundMapFile(const std::string& path, int projectEpsg, BackgroundMapFile& map,
                           std::string& error, const std::string& onlyDriver) {
    map = BackgroundMapFile();
    error.clear();
    GdalSession session;
    CPLStringList drivers;
    if (!onlyDriver.empty()) drivers.AddString(onlyDriver.c_str());
    GDALDatasetUniquePtr file(
        GDALDataset::Open(path.c_str(), GDAL_OF_RASTER | GDAL_OF_VECTOR | GDAL_OF_READONLY,
                          onlyDriver.empty() ? nullptr : drivers.List(), nullptr, nullptr));
    if (!file) {
        error = CannotOpen(path);
        return false;
    }
    bool read = true;
    if (file->GetLayerCount() > 0) read = ReadVectors(*file, path, projectEpsg, map, error);
    // A file with both (a GeoPackage may) gives its lines over its image.
    if (read && file->GetRasterCount() > 0) {
        const bool transformedLines = map.transformed;
        read = ReadRaster(*file, path, projectEpsg, map, error);
        map.transformed = map.transformed || transformedLines;
    }
    if (read && map.Empty()) {
        error = FormatText(
            TranslateFormat("The background map %s contains no lines, polygons or image to draw."),
            {path});
        read = false;
    }
    if (!read) map = BackgroundMapFile();
    return read;
}

} // namespace varnex
