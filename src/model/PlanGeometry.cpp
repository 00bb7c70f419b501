#include "model/PlanGeometry.h"

#include <algorithm>
#include <cmath>

namespace varnex {

PlanPoint RotatePoint(double x, double y, double angleDegrees) {
    // A whole number of turns changes nothing; taken off first (exactly:
    // fmod is exact), an angle of any size keeps its digits in the sine and
    // cosine. Angles within one turn are unchanged.
    const double a = 3.1415926535 * std::fmod(angleDegrees, 360.0) * 0.005555555555555556;
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
        twice +=
            rotated ? a.rotatedX * b.rotatedY - b.rotatedX * a.rotatedY : a.x * b.y - b.x * a.y;
    }
    return 0.5 * twice;
}

double TruncatedPositiveArea(double signedArea) { return std::fabs(std::trunc(signedArea)); }

namespace {

// Twice the signed area of the triangle a, b, c: which side of a→b c lies on.
double Orientation(const PlanPoint& a, const PlanPoint& b, const PlanPoint& c) {
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

int Sign(double value) { return (value > 0.0) - (value < 0.0); }

// c, known to be on the line a→b, lies within the segment.
bool WithinSegment(const PlanPoint& a, const PlanPoint& b, const PlanPoint& c) {
    return std::min(a.x, b.x) <= c.x && c.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= c.y &&
           c.y <= std::max(a.y, b.y);
}

// Segments p–q and r–s share at least one point.
bool SegmentsMeet(const PlanPoint& p, const PlanPoint& q, const PlanPoint& r, const PlanPoint& s) {
    const int d1 = Sign(Orientation(r, s, p));
    const int d2 = Sign(Orientation(r, s, q));
    const int d3 = Sign(Orientation(p, q, r));
    const int d4 = Sign(Orientation(p, q, s));
    if (d1 * d2 < 0 && d3 * d4 < 0) return true;
    return (d1 == 0 && WithinSegment(r, s, p)) || (d2 == 0 && WithinSegment(r, s, q)) ||
           (d3 == 0 && WithinSegment(p, q, r)) || (d4 == 0 && WithinSegment(p, q, s));
}

bool SamePoint(const PlanPoint& a, const PlanPoint& b) { return a.x == b.x && a.y == b.y; }

} // namespace

bool PolygonCrossesItself(const std::vector<PlanPoint>& vertices) {
    // The vertices of the edges of non-zero length, in order.
    std::vector<PlanPoint> v;
    for (const PlanPoint& p : vertices)
        if (v.empty() || !SamePoint(v.back(), p)) v.push_back(p);
    while (v.size() > 1 && SamePoint(v.front(), v.back())) v.pop_back();
    const std::size_t n = v.size();
    if (n < 3) return false;
    for (std::size_t i = 0; i < n; ++i) {
        const PlanPoint& a = v[i];
        const PlanPoint& b = v[(i + 1) % n];
        // The next edge shares b: it may only turn, not fold back over a–b.
        const PlanPoint& c = v[(i + 2) % n];
        if (Orientation(a, b, c) == 0.0 && (WithinSegment(a, b, c) || WithinSegment(b, c, a)))
            return true;
        for (std::size_t j = i + 2; j < n; ++j) {
            if (i == 0 && j == n - 1) continue; // the last edge is the first's other neighbour
            if (SegmentsMeet(a, b, v[j], v[(j + 1) % n])) return true;
        }
    }
    return false;
}

} // namespace varnex
