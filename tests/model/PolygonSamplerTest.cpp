// Points of the uniform distribution over a source outline from two
// probabilities: every point inside, the share of points in any part equal
// to the part's share of the area (closed forms of the test shapes), x
// rising with the first probability and y with the second, and outlines
// without area refused.

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

#include "model/PolygonGeometry.h"
#include "model/PolygonSampler.h"

namespace varnex {
namespace {

std::vector<PlanPoint> Outline(const std::vector<std::pair<double, double>>& corners) {
    std::vector<PlanPoint> vertices;
    for (const auto& [x, y] : corners) {
        PlanPoint p;
        p.rotatedX = x;
        p.rotatedY = y;
        vertices.push_back(p);
    }
    return vertices;
}

struct Shape {
    const char* name;
    std::vector<PlanPoint> vertices;
    double area;
    // A part of the plane and its area inside the shape.
    bool (*inPart)(double x, double y);
    double partArea;
};

// An m x m grid of probability pairs at the cell centres: a perfectly
// stratified design, so that the shares match the areas to about 1/m.
TEST(PolygonSampler, PointsFillEachShapeInProportionToArea) {
    const std::vector<Shape> shapes = {
        // A 10 x 4 rectangle; the part x < 2.5 holds a quarter of it.
        {"rectangle", Outline({{0, 0}, {10, 0}, {10, 4}, {0, 4}}), 40.0,
         [](double x, double) { return x < 2.5; }, 10.0},
        // The right triangle (0,0), (6,0), (0,6): the part y > 3 is the
        // small triangle of area 4.5.
        {"triangle", Outline({{0, 0}, {6, 0}, {0, 6}}), 18.0,
         [](double, double y) { return y > 3.0; }, 4.5},
        // An L (non-convex): the 4 x 4 square less its upper right 2 x 2;
        // the part x > 2 is the lower right 2 x 2 square.
        {"L", Outline({{0, 0}, {4, 0}, {4, 2}, {2, 2}, {2, 4}, {0, 4}}), 12.0,
         [](double x, double) { return x > 2.0; }, 4.0},
        // A U opening upwards: two chords across the gap; the part x in
        // (1, 3) is the bottom bar, 2 x 1.
        {"U", Outline({{0, 0}, {4, 0}, {4, 4}, {3, 4}, {3, 1}, {1, 1}, {1, 4}, {0, 4}}), 10.0,
         [](double x, double) { return x > 1.0 && x < 3.0; }, 2.0},
        // A rotated square (a diamond) with a vertex on every axis.
        {"diamond", Outline({{0, -2}, {2, 0}, {0, 2}, {-2, 0}}), 8.0,
         [](double x, double y) { return x > 0.0 && y > 0.0; }, 2.0},
    };
    const int m = 200;
    for (const Shape& shape : shapes) {
        SCOPED_TRACE(shape.name);
        const PolygonSampler sampler(shape.vertices);
        ASSERT_TRUE(sampler.HasArea());
        int inPart = 0;
        for (int i = 0; i < m; ++i) {
            for (int j = 0; j < m; ++j) {
                const PlanPoint p = sampler.PointAt((i + 0.5) / m, (j + 0.5) / m);
                ASSERT_TRUE(InsideRotatedPolygon(shape.vertices, p.rotatedX, p.rotatedY))
                    << p.rotatedX << ", " << p.rotatedY;
                inPart += shape.inPart(p.rotatedX, p.rotatedY);
            }
        }
        EXPECT_NEAR(static_cast<double>(inPart) / (m * m), shape.partArea / shape.area, 2.0 / m);
    }
}

TEST(PolygonSampler, TheProbabilitiesOrderThePoints) {
    // In the triangle (0,0), (6,0), (0,6) the area left of x is
    // 18 - (6 - x)^2 / 2, so u1 = 0.5 gives x = 6 - 6 / sqrt(2); the chord
    // there runs from 0 to 6 - x.
    const PolygonSampler triangle(Outline({{0, 0}, {6, 0}, {0, 6}}));
    const PlanPoint middle = triangle.PointAt(0.5, 0.25);
    const double x = 6.0 - 6.0 / std::sqrt(2.0);
    EXPECT_NEAR(middle.rotatedX, x, 1e-9);
    EXPECT_NEAR(middle.rotatedY, 0.25 * (6.0 - x), 1e-9);
    double lastX = -1.0;
    for (int k = 1; k < 100; ++k) {
        const PlanPoint p = triangle.PointAt(k / 100.0, 0.5);
        EXPECT_GT(p.rotatedX, lastX);
        lastX = p.rotatedX;
    }
    // The ends stay on the outline.
    EXPECT_NEAR(triangle.PointAt(0.0, 0.0).rotatedX, 0.0, 1e-9);
    EXPECT_NEAR(triangle.PointAt(1.0, 1.0).rotatedX, 6.0, 1e-9);
}

TEST(PolygonSampler, OutlinesWithoutAreaAreRefused) {
    EXPECT_FALSE(PolygonSampler(Outline({{0, 0}, {1, 1}})).HasArea());
    EXPECT_FALSE(PolygonSampler(Outline({{0, 0}, {1, 1}, {2, 2}})).HasArea());
    EXPECT_FALSE(PolygonSampler(Outline({{3, 0}, {3, 1}, {3, 5}})).HasArea());
    EXPECT_FALSE(PolygonSampler({}).HasArea());
}

} // namespace
} // namespace varnex
