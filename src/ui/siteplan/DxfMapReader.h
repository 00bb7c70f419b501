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
// in proportion to its size and cannot crash the program. DWG drawings and
// binary DXF are refused with a message saying how to convert them.
class DxfMapReader {
public:
    // Larger drawings are refused rather than read into memory.
    static constexpr std::size_t maximumFileBytes = 200u * 1024u * 1024u;

    // Reads `path` into `map` (replaced). Returns false with a translated
    // message naming the file in `errorText` and `map` emptied when the
    // file cannot be used.
    static bool ReadFile(const std::string& path, DxfMapGeometry& map, std::string& errorText);
    // The same for a drawing already in memory; `name` is the file name the
    // messages give.
    static bool ReadText(const std::string& text, const std::string& name, DxfMapGeometry& map,
                         std::string& errorText);
};

} // namespace varnex::ui
