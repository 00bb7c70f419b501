#include <gtest/gtest.h>

#include "gis/CoordinateSystem.h"

namespace varnex {
namespace {

// The codes come from the EPSG register: 27700 is the British National
// Grid (projected, metres), 4326 WGS 84 in degrees; 99999 is not assigned.
TEST(CoordinateSystem, AcceptsProjectedMetresAndExplainsTheRest) {
    EXPECT_EQ(CoordinateSystemProblem(0), "");
    EXPECT_EQ(CoordinateSystemName(0), "");

    EXPECT_EQ(CoordinateSystemProblem(27700), "");
    EXPECT_EQ(CoordinateSystemName(27700), "OSGB36 / British National Grid");
    EXPECT_EQ(CoordinateSystemProblem(25832), ""); // ETRS89 / UTM zone 32N

    const std::string unknown = CoordinateSystemProblem(99999);
    EXPECT_NE(unknown.find("EPSG:99999"), std::string::npos) << unknown;
    EXPECT_NE(unknown.find("GDAL knows"), std::string::npos) << unknown;
    EXPECT_EQ(CoordinateSystemName(99999), "");

    const std::string geographic = CoordinateSystemProblem(4326);
    EXPECT_NE(geographic.find("EPSG:4326"), std::string::npos) << geographic;
    EXPECT_NE(geographic.find("geographic"), std::string::npos) << geographic;
    EXPECT_NE(geographic.find("metres"), std::string::npos) << geographic;

    // A projected system in US survey feet (California zone 3) is not in
    // the plan's metres either.
    EXPECT_NE(CoordinateSystemProblem(2227).find("metres"), std::string::npos);
    EXPECT_NE(CoordinateSystemProblem(-5), "");
}

} // namespace
} // namespace varnex
