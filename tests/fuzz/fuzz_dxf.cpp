// Fuzzes the background-map reader: any bytes either give a drawing or a
// message naming the file, never a crash, a hang or memory out of proportion
// to the input; every coordinate of a drawing it accepts is finite, so the
// site plan can always compute the drawing's extent.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ui/siteplan/DxfMapReader.h"

namespace {

bool Finite(double x, double y) { return std::isfinite(x) && std::isfinite(y); }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    varnex::ui::DxfMapGeometry map;
    std::string error;
    const bool read = varnex::ui::DxfMapReader::ReadText(text, "fuzz.dxf", map, error);
    if (!read) {
        if (error.empty()) std::abort();
        return 0;
    }
    for (const auto& polyline : map.polylines)
        for (const auto& point : polyline.points)
            if (!Finite(point.x, point.y)) std::abort();
    for (const auto& arc : map.arcs)
        if (!Finite(arc.centre.x, arc.centre.y) || !std::isfinite(arc.radius)) std::abort();
    for (const auto& label : map.texts)
        if (!Finite(label.position.x, label.position.y) || !std::isfinite(label.height))
            std::abort();
    return 0;
}
