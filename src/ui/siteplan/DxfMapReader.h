#pragma once

#include <cstddef>
#include <string>

#include "ui/siteplan/DxfMapGeometry.h"

namespace varnex::ui {

// Reads the drawing of a background map from an ASCII DXF file: LINE,
// LWPOLYLINE, POLYLINE with its VERTEX records, CIRCLE, ARC, TEXT and MTEXT
// of the ENTITIES section, which is what a site map needs. Anything else in
// the drawing is skipped.
//
// The file is checked before the DXF library sees it: only the entities
// above are passed on, and a count of points an entity announces may not
// exceed what the file can hold, so a damaged or hostile file costs memory
// in proportion to its size and cannot crash the program. Binary DXF and
// DWG drawings other than R2000 are refused with a message saying how to
// convert them.
//
// Maps of a GIS go to GDAL instead (gis/BackgroundMapFile.h): rasters
// (GeoTIFF, PNG or JPEG with a world file, ...) placed by their
// geotransform, and the lines and polygon outlines of vector files
// (GeoPackage, shapefile, GeoJSON) and of DWG R2000 drawings (GDAL's CAD
// driver), in the project's coordinate system.
class DxfMapReader {
public:
    // Larger drawings are refused rather than read into memory.
    static constexpr std::size_t maximumFileBytes = 200u * 1024u * 1024u;

    // Reads `path` into `map` (replaced). Returns false with a translated
    // message naming the file in `errorText` and `map` emptied when the
    // file cannot be used.
    static bool ReadFile(const std::string& path, DxfMapGeometry& map, std::string& errorText);
    // The same for a project whose site plan is in the coordinate system
    // EPSG:`projectEpsg` (0: none): a GIS map in another system is
    // transformed into it; without one its coordinates are the plan's.
    static bool ReadFile(const std::string& path, int projectEpsg, DxfMapGeometry& map,
                         std::string& errorText);
    // The same for a drawing already in memory; `name` is the file name the
    // messages give.
    static bool ReadText(const std::string& text, const std::string& name, DxfMapGeometry& map,
                         std::string& errorText);
};

} // namespace varnex::ui
