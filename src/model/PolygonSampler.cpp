#include "model/PolygonSampler.h"

#include <algorithm>
#include <cmath>

namespace varnex {

PolygonSampler::PolygonSampler(const std::vector<PlanPoint>& vertices) : vertices_(vertices) {
    if (vertices_.size() < 3) return;
    for (const PlanPoint& v : vertices_) xs_.push_back(v.rotatedX);
    std::sort(xs_.begin(), xs_.end());
    xs_.erase(std::unique(xs_.begin(), xs_.end()), xs_.end());
    if (xs_.size() < 2) {
        xs_.clear();
        return;
    }
    double area = 0.0;
    for (std::size_t k = 0; k + 1 < xs_.size(); ++k) {
        const double width = xs_[k + 1] - xs_[k];
        // Two points strictly inside the stretch, where no vertex lies,
        // give the straight line exactly; its value at xs[k] is the limit
        // from the right (a vertical edge there does not count).
        const double a = ChordLength(xs_[k] + width / 3.0);
        const double b = ChordLength(xs_[k] + 2.0 * width / 3.0);
        const double slope = (b - a) / (width / 3.0);
        const double start = a - slope * (width / 3.0);
        start_.push_back(start);
        slope_.push_back(slope);
        areaBefore_.push_back(area);
        area += start * width + 0.5 * slope * width * width;
    }
    areaBefore_.push_back(area);
    // Collinear vertices leave only rounding as area: below a millionth of
    // a millionth of the bounding box, the outline has none.
    double lowY = vertices_.front().rotatedY, highY = lowY;
    for (const PlanPoint& v : vertices_) {
        lowY = std::min(lowY, v.rotatedY);
        highY = std::max(highY, v.rotatedY);
    }
    const double box = (xs_.back() - xs_.front()) * (highY - lowY);
    totalArea_ = area > 1e-12 * box ? area : 0.0;
}

void PolygonSampler::Chords(double x, std::vector<double>& crossings) const {
    crossings.clear();
    const std::size_t n = vertices_.size();
    for (std::size_t i = 0; i < n; ++i) {
        const PlanPoint& p = vertices_[i];
        const PlanPoint& q = vertices_[(i + 1) % n];
        // Half-open in x, as the even-odd test counts crossings: a vertex on
        // the line belongs to the edge that leaves to its right only.
        if ((p.rotatedX <= x) == (q.rotatedX <= x)) continue;
        const double t = (x - p.rotatedX) / (q.rotatedX - p.rotatedX);
        crossings.push_back(p.rotatedY + t * (q.rotatedY - p.rotatedY));
    }
    std::sort(crossings.begin(), crossings.end());
}

double PolygonSampler::ChordLength(double x) const {
    std::vector<double> crossings;
    Chords(x, crossings);
    double length = 0.0;
    for (std::size_t i = 0; i + 1 < crossings.size(); i += 2)
        length += crossings[i + 1] - crossings[i];
    return length;
}

PlanPoint PolygonSampler::PointAt(double u1, double u2) const {
    PlanPoint point;
    if (!HasArea()) return point;
    u1 = std::clamp(u1, 0.0, 1.0);
    u2 = std::clamp(u2, 0.0, 1.0);
    const double target = u1 * totalArea_;
    // The stretch holding the target area, then x within it from
    // start t + slope t^2 / 2 = r, solved without cancellation.
    std::size_t k = static_cast<std::size_t>(
        std::upper_bound(areaBefore_.begin(), areaBefore_.end(), target) - areaBefore_.begin());
    k = std::min(k == 0 ? 0 : k - 1, start_.size() - 1);
    // Empty stretches (a gap between two parts) hold no area: pass them.
    while (k + 1 < start_.size() && areaBefore_[k + 1] - areaBefore_[k] <= 0.0) ++k;
    const double width = xs_[k + 1] - xs_[k];
    const double r = std::max(0.0, target - areaBefore_[k]);
    const double a = start_[k];
    const double b = slope_[k];
    const double root = std::sqrt(std::max(0.0, a * a + 2.0 * b * r));
    double t = a + root > 0.0 ? 2.0 * r / (a + root) : 0.0;
    t = std::clamp(t, 0.0, width);
    // Stay strictly inside the stretch, where the chord is what the area
    // integral used.
    double x = xs_[k] + t;
    const double margin = 1e-12 * std::max(1.0, std::fabs(width));
    x = width > 2.0 * margin ? std::clamp(x, xs_[k] + margin, xs_[k + 1] - margin)
                             : xs_[k] + 0.5 * width;

    std::vector<double> crossings;
    Chords(x, crossings);
    double length = 0.0;
    for (std::size_t i = 0; i + 1 < crossings.size(); i += 2)
        length += crossings[i + 1] - crossings[i];
    double remaining = u2 * length;
    double y = crossings.empty() ? 0.0 : crossings.front();
    for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
        const double chord = crossings[i + 1] - crossings[i];
        if (remaining <= chord || i + 3 >= crossings.size()) {
            y = crossings[i] + std::min(remaining, chord);
            break;
        }
        remaining -= chord;
    }
    point.rotatedX = x;
    point.rotatedY = y;
    return point;
}

} // namespace varnex
