#pragma once

#include <vector>

#include "model/PlanPoint.h"

namespace varnex {

// The uniform distribution over a source polygon in the aquifer frame
// (rotatedX, rotatedY), as a transformation of two probabilities: u1 fixes
// x by the inverse of the share of the area left of x, u2 fixes y by the
// inverse of the share of the chord at x below y (the conditional
// distribution of Rosenblatt's transformation). Independent uniform u1 and
// u2 give uniform points; stratified ones (a Latin hypercube) give points
// stratified across and along the flow, where rejection sampling would
// lose the strata. The chord at x follows the even-odd rule, as
// InsideRotatedPolygon does, so a non-convex outline is handled exactly.
class PolygonSampler {
public:
    explicit PolygonSampler(const std::vector<PlanPoint>& vertices);

    // False for an outline without area (fewer than three vertices, all on
    // a line): no point can be sampled.
    bool HasArea() const { return totalArea_ > 0.0; }

    // The point for u1, u2 in [0, 1]; rotatedX and rotatedY are set.
    PlanPoint PointAt(double u1, double u2) const;

private:
    // The total length of the polygon's chords on the line x = const, and
    // the chords themselves as (low, high) pairs in ascending order.
    void Chords(double x, std::vector<double>& crossings) const;
    double ChordLength(double x) const;

    std::vector<PlanPoint> vertices_;
    // Between consecutive distinct vertex abscissas the chord length is
    // linear in x: length(x) = start[k] + slope[k] (x - xs[k]); areaBefore[k]
    // is the area left of xs[k].
    std::vector<double> xs_, start_, slope_, areaBefore_;
    double totalArea_ = 0.0;
};

} // namespace varnex
