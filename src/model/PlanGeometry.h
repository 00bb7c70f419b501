#pragma once

#include <vector>

#include "model/PlanPoint.h"

namespace varnex {

// Rotation of a plan point by an angle in degrees, as the program has always
// computed it: the angle is converted with pi written to ten decimals,
// 3.1415926535, so that positions match those of earlier versions exactly.
// Returns (x cos a - y sin a, y cos a + x sin a).
PlanPoint RotatePoint(double x, double y, double angleDegrees);

// The signed area of a polygon by the shoelace formula (positive when the
// vertices run anticlockwise) over the plan coordinates or, with `rotated`,
// over the aquifer-frame coordinates.
double ShoelaceArea(const std::vector<PlanPoint>& vertices, bool rotated = false);

// The area a source is credited with: the signed area truncated toward zero
// to whole square metres, then made positive.
double TruncatedPositiveArea(double signedArea);

// Whether the outline crosses or touches itself: two edges that are not
// neighbours meet (a bow tie, a figure of eight, a vertex lying on another
// edge), or neighbours fold back over each other. Such an outline covers
// some ground twice or encloses none, and its shoelace area is not the
// ground it covers (a bow tie of 150 m² counts as 120 m² or as nothing).
// Edges of zero length (a vertex given twice) are passed over.
bool PolygonCrossesItself(const std::vector<PlanPoint>& vertices);

// Plan coordinates are metres in a local or national grid; a billion metres
// is beyond any. Beyond it (or not a number) the rotation into the aquifer
// frame loses the digits that separate a source from its receptors.
inline constexpr double maximumPlanCoordinate = 1e9;
inline bool PlanCoordinateInRange(double value) {
    return value >= -maximumPlanCoordinate && value <= maximumPlanCoordinate;
}

} // namespace varnex
