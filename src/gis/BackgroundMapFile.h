#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace varnex {

// A background map read with GDAL, as plain data in plan coordinates
// (metres of the project's coordinate system): a raster as an RGBA image
// with its extent, a vector file as polylines. Nothing refers back to GDAL
// or to the file.
struct BackgroundMapFile {
    struct Point {
        double x = 0.0;
        double y = 0.0;
    };
    struct Polyline {
        std::vector<Point> points;
        bool closed = false; // a polygon's ring
    };
    // Pixels row after row from the north edge, 4 bytes each (red, green,
    // blue, alpha; alpha 0 where the file has no data), covering the
    // rectangle minX..maxX, minY..maxY with north up.
    struct Image {
        int width = 0;
        int height = 0;
        std::vector<std::uint8_t> rgba;
        double minX = 0.0;
        double minY = 0.0;
        double maxX = 0.0;
        double maxY = 0.0;
    };

    std::vector<Polyline> polylines;
    std::vector<Image> images;
    // True when the file's coordinates were transformed (vectors) or warped
    // (rasters) from its own system into the project's.
    bool transformed = false;

    bool Empty() const { return polylines.empty() && images.empty(); }
};

// The longest side a background image is read with: a larger raster is
// read reduced (GDAL's overviews or nearest neighbour), so a large
// orthophoto costs at most 4096 x 4096 x 4 bytes.
inline constexpr int maximumBackgroundImageSide = 4096;
// More vertices than this are refused: no site plan needs them, and each
// costs memory on the plan.
inline constexpr std::size_t maximumBackgroundVertices = 5000000;

// Whether GDAL should read the file rather than the DXF reader: a known
// raster or vector extension (.tif, .png, .gpkg, .shp, .geojson, ...) or
// content a GDAL driver other than DXF recognises.
bool IsGdalMapFile(const std::string& path);

// Reads a raster or vector map. With `projectEpsg` > 0 and a file in
// another known system, vector coordinates are transformed and rasters
// warped into the project's system; otherwise the file's coordinates are
// taken as plan metres. `onlyDriver`, when given, restricts GDAL to that
// driver ("CAD" for DWG). Returns false with a translated message naming
// the file (and GDAL's reason) in `error`, and `map` empty.
bool ReadBackgroundMapFile(const std::string& path, int projectEpsg, BackgroundMapFile& map,
                           std::string& error, const std::string& onlyDriver = std::string());

} // namespace varnex
