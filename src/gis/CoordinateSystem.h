#pragma once

#include <string>

namespace varnex {

// Checks an EPSG code against GDAL's database of coordinate reference
// systems: empty when the code is 0 (none) or names a projected system in
// metres; otherwise the problem, as a sentence naming the code and why.
std::string CoordinateSystemProblem(int epsg);

// The system's name ("OSGB36 / British National Grid"); empty for 0 or an
// unknown code.
std::string CoordinateSystemName(int epsg);

} // namespace varnex
