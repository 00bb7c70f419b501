#include "gis/CoordinateSystem.h"

#include <cmath>
#include <ogr_spatialref.h>

#include "base/TextFormat.h"
#include "gis/GdalSession.h"
#include "settings/Translate.h"

namespace varnex {

namespace {

// GDAL's message, as a sentence to append, or nothing.
std::string Reason(const std::string& gdalMessage) {
    if (gdalMessage.empty()) return std::string();
    return " (" + gdalMessage + ")";
}

} // namespace

std::string CoordinateSystemProblem(int epsg) {
    if (epsg == 0) return std::string();
    if (epsg < 0)
        return FormatText(TranslateFormat("EPSG:%d is not an EPSG code: codes are positive."),
                          {static_cast<long long>(epsg)});
    GdalSession session;
    OGRSpatialReference system;
    if (system.importFromEPSG(epsg) != OGRERR_NONE)
        return FormatText(
            TranslateFormat("EPSG:%d is not a coordinate reference system GDAL knows%s."),
            {static_cast<long long>(epsg), Reason(LastGdalError())});
    const std::string name = system.GetName() ? system.GetName() : "";
    // The site plan measures distances in metres on a plane: degrees of
    // latitude and longitude are neither.
    if (system.IsGeographic())
        return FormatText(
            TranslateFormat("EPSG:%d (%s) is a geographic system in degrees, but the site plan is "
                            "in metres: please choose a projected coordinate system, such as the "
                            "national grid or the UTM zone of the site."),
            {static_cast<long long>(epsg), name});
    if (!system.IsProjected())
        return FormatText(
            TranslateFormat("EPSG:%d (%s) is not a projected coordinate system: the site plan "
                            "needs one whose coordinates are metres on a plane."),
            {static_cast<long long>(epsg), name});
    const double metresPerUnit = system.GetLinearUnits();
    if (std::abs(metresPerUnit - 1.0) > 1e-9)
        return FormatText(
            TranslateFormat("EPSG:%d (%s) measures in units of %g m, but the site plan is in "
                            "metres: please choose a projected system in metres."),
            {static_cast<long long>(epsg), name, metresPerUnit});
    return std::string();
}

std::string CoordinateSystemName(int epsg) {
    if (epsg <= 0) return std::string();
    GdalSession session;
    OGRSpatialReference system;
    if (system.importFromEPSG(epsg) != OGRERR_NONE) return std::string();
    return system.GetName() ? system.GetName() : std::string();
}

} // namespace varnex
