#pragma once

#include <string>
#include <vector>

#include "gis/BackgroundMapFile.h"

namespace varnex::ui {

// A background map as plain geometry in drawing units: what the site plan
// draws beneath the project, with no reference back to the file it came
// from. Curves of the drawing (arcs, polyline bulges) are kept as circles
// and arcs or flattened into points. A map read with GDAL brings its lines
// as polylines and a raster as an image with its extent.
struct DxfMapGeometry {
    struct Point {
        double x = 0.0;
        double y = 0.0;
    };
    struct Polyline {
        std::vector<Point> points;
        bool closed = false;
    };
    struct Arc {
        Point centre;
        double radius = 0.0;
        // Degrees anticlockwise from east; a full circle runs 0 to 360.
        double startDegrees = 0.0;
        double endDegrees = 360.0;
    };
    struct Text {
        Point position; // the insertion point, baseline left
        double height = 1.0;
        double angleDegrees = 0.0;
        std::string text; // as written in the drawing, one line per '\n'
    };

    std::vector<Polyline> polylines; // LINE entities are two-point polylines
    std::vector<Arc> arcs;           // CIRCLE and ARC
    std::vector<Text> texts;         // TEXT and MTEXT
    // RGBA pixels, north row first, with the rectangle they cover.
    using Image = BackgroundMapFile::Image;
    std::vector<Image> images;

    bool Empty() const {
        return polylines.empty() && arcs.empty() && texts.empty() && images.empty();
    }
    // The extent of everything in the map; false for an empty map.
    bool Bounds(double& minX, double& minY, double& maxX, double& maxY) const;
};

} // namespace varnex::ui
