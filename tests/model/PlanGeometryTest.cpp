// Outlines and rotations on the site plan: which outlines cross themselves,
// and the rotation into the aquifer frame for angles of any size.

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

#include "model/PlanGeometry.h"

namespace varnex {
namespace {

std::vector<PlanPoint> Outline(std::initializer_list<std::pair<double, double>> points) {
    std::vector<PlanPoint> vertices;
    for (const auto& [x, y] : points) vertices.push_back({x, y, 0.0, 0.0});
    return vertices;
}

// Drawn on squared paper: each outline either covers its ground once, or
// covers some twice or folds over itself.
TEST(PlanGeometry, OutlinesThatCrossThemselves) {
    struct Case {
        const char* what;
        std::vector<PlanPoint> outline;
        bool crosses;
    };
    const Case cases[] = {
        {"a square", Outline({{0, 0}, {10, 0}, {10, 10}, {0, 10}}), false},
        {"a square given clockwise", Outline({{0, 0}, {0, 10}, {10, 10}, {10, 0}}), false},
        {"an L (concave)", Outline({{0, 0}, {20, 0}, {20, 5}, {5, 5}, {5, 20}, {0, 20}}), false},
        {"a triangle", Outline({{0, 0}, {10, 0}, {0, 10}}), false},
        {"a square with a vertex given twice",
         Outline({{0, 0}, {10, 0}, {10, 0}, {10, 10}, {0, 10}}), false},
        {"a square closed on its first vertex",
         Outline({{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}), false},
        {"a bow tie", Outline({{0, 0}, {10, 10}, {10, 0}, {0, 10}}), true},
        {"a figure of eight", Outline({{0, 0}, {10, 0}, {0, 10}, {0, 20}, {10, 20}, {10, 10}}),
         true},
        {"a five-pointed star", Outline({{0, 0}, {5, 15}, {10, 0}, {-3, 9}, {13, 9}}), true},
        {"a vertex on another edge", Outline({{0, 0}, {10, 0}, {10, 10}, {5, 0}, {0, 10}}), true},
        {"an edge folding back on the one before", Outline({{0, 0}, {10, 0}, {5, 0}, {5, 10}}),
         true},
        {"two vertices at one point", Outline({{0, 0}, {10, 0}, {5, 5}, {10, 10}, {0, 10}, {5, 5}}),
         true},
    };
    for (const Case& c : cases) EXPECT_EQ(PolygonCrossesItself(c.outline), c.crosses) << c.what;
}

// A whole number of turns changes nothing. Before, an angle of 1e12 turns
// rotated the point by the rounding of the sine of 3.6e14 degrees' radians.
TEST(PlanGeometry, WholeTurnsDoNotChangeARotation) {
    const PlanPoint base = RotatePoint(3.0, 4.0, 75.0);
    // (75 + 360 n is a double exactly for these n.)
    for (double turns : {1.0, -1.0, 7.0, 1e6, 1e12}) {
        const PlanPoint p = RotatePoint(3.0, 4.0, 75.0 + 360.0 * turns);
        EXPECT_NEAR(p.x, base.x, 1e-9) << turns;
        EXPECT_NEAR(p.y, base.y, 1e-9) << turns;
    }
    const PlanPoint far = RotatePoint(3.0, 4.0, 1e308);
    EXPECT_NEAR(std::hypot(far.x, far.y), 5.0, 1e-12);
    EXPECT_TRUE(PlanCoordinateInRange(1e9) && PlanCoordinateInRange(-1e9));
    EXPECT_FALSE(PlanCoordinateInRange(1.0000001e9) || PlanCoordinateInRange(std::nan("")));
}

} // namespace
} // namespace varnex
