#include "model/PolygonGeometry.h"

#include <algorithm>
#include <cmath>

namespace varnex {

FrameBox RotatedBoundingBox(const std::vector<PlanPoint>& vertices) {
    FrameBox box;
    if (vertices.empty()) return box;
    box.minX = box.maxX = vertices.front().rotatedX;
    box.minY = box.maxY = vertices.front().rotatedY;
    for (const PlanPoint& v : vertices) {
        box.minX = std::min(box.minX, v.rotatedX);
        box.maxX = std::max(box.maxX, v.rotatedX);
        box.minY = std::min(box.minY, v.rotatedY);
        box.maxY = std::max(box.maxY, v.rotatedY);
    }
    return box;
}

PlanPoint RotatedCentroid(const std::vector<PlanPoint>& vertices) {
    PlanPoint centroid;
    const std::size_t n = vertices.size();
    if (n == 0) return centroid;
    // Area centroid: Cx = sum((x_k + x_k+1) c_k) / (6A), c_k = x_k y_k+1 - x_k+1 y_k.
    double twiceArea = 0.0, cx = 0.0, cy = 0.0;
    for (std::size_t k = 0; k < n; ++k) {
        const PlanPoint& a = vertices[k];
        const PlanPoint& b = vertices[(k + 1) % n];
        const double cross = a.rotatedX * b.rotatedY - b.rotatedX * a.rotatedY;
        twiceArea += cross;
        cx += (a.rotatedX + b.rotatedX) * cross;
        cy += (a.rotatedY + b.rotatedY) * cross;
    }
    if (twiceArea != 0.0 && std::isfinite(twiceArea)) {
        centroid.rotatedX = cx / (3.0 * twiceArea);
        centroid.rotatedY = cy / (3.0 * twiceArea);
        return centroid;
    }
    for (const PlanPoint& v : vertices) {
        centroid.rotatedX += v.rotatedX / static_cast<double>(n);
        centroid.rotatedY += v.rotatedY / static_cast<double>(n);
    }
    return centroid;
}

bool InsideRotatedPolygon(const std::vector<PlanPoint>& vertices, double x, double y) {
    bool inside = false;
    const std::size_t n = vertices.size();
    for (std::size_t k = 0, j = n - 1; k < n; j = k++) {
        const PlanPoint& a = vertices[k];
        const PlanPoint& b = vertices[j];
        if ((a.rotatedY > y) != (b.rotatedY > y)) {
            const double crossX = a.rotatedX + (y - a.rotatedY) * (b.rotatedX - a.rotatedX) /
                                                   (b.rotatedY - a.rotatedY);
            if (x < crossX) inside = !inside;
        }
    }
    return inside;
}

bool PointInsideAcrossFlow(const std::vector<PlanPoint>& vertices, double x, double& y) {
    std::vector<double> crossings;
    const std::size_t n = vertices.size();
    for (std::size_t k = 0, j = n - 1; k < n; j = k++) {
        const PlanPoint& a = vertices[k];
        const PlanPoint& b = vertices[j];
        if ((a.rotatedX > x) != (b.rotatedX > x))
            crossings.push_back(a.rotatedY + (x - a.rotatedX) * (b.rotatedY - a.rotatedY) /
                                                 (b.rotatedX - a.rotatedX));
    }
    if (crossings.size() < 2) return false;
    std::sort(crossings.begin(), crossings.end());
    y = 0.5 * (crossings[0] + crossings[1]);
    return true;
}

} // namespace varnex
