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

} // namespace varnex
