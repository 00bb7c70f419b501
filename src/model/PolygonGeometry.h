#pragma once

#include <vector>

#include "model/PlanPoint.h"

namespace varnex {

// Geometry of a source polygon in the aquifer frame (the rotated
// coordinates of its vertices).

struct FrameBox {
    double minX = 0.0, maxX = 0.0, minY = 0.0, maxY = 0.0;
};
FrameBox RotatedBoundingBox(const std::vector<PlanPoint>& vertices);

// The centroid of the polygon's area in the aquifer frame (rotatedX,
// rotatedY); for a polygon without area, the mean of its vertices.
PlanPoint RotatedCentroid(const std::vector<PlanPoint>& vertices);

// Even-odd rule; points on the boundary may count either way.
bool InsideRotatedPolygon(const std::vector<PlanPoint>& vertices, double x, double y);

// A point inside the polygon on the line across the flow through (x, ...):
// the middle of the first stretch of that line inside the polygon. False
// when the line does not cross the polygon.
bool PointInsideAcrossFlow(const std::vector<PlanPoint>& vertices, double x, double& y);

} // namespace varnex
