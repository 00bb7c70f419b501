#include "model/PlanGeometry.h"

#include <cmath>

namespace varnex {

PlanPoint RotatePoint(double x, double y, double angleDegrees) {
    const double a = 3.1415926535 * angleDegrees * 0.005555555555555556;
    PlanPoint p;
    p.x = x * std::cos(a) - y * std::sin(a);
    p.y = y * std::cos(a) + x * std::sin(a);
    return p;
}

double ShoelaceArea(const std::vector<PlanPoint>& vertices, bool rotated) {
    const std::size_t n = vertices.size();
    if (n < 3) return 0.0;
    double twice = 0.0;
    for (std::size_t k = 0; k < n; ++k) {
        const PlanPoint& a = vertices[k];
        const PlanPoint& b = vertices[(k + 1) % n];
        twice += rotated ? a.rotatedX * b.rotatedY - b.rotatedX * a.rotatedY : a.x * b.y - b.x * a.y;
    }
    return 0.5 * twice;
}

double TruncatedPositiveArea(double signedArea) { return std::fabs(std::trunc(signedArea)); }

} // namespace varnex
