#pragma once

#include <optional>
#include <string>

namespace varnex {

// How files store the site plan's coordinate reference system: "EPSG:27700".
// Whether the register has the code is not a question for the file formats
// (GDAL answers it in the front ends); only the form is checked here.
std::string CoordinateSystemText(int epsg);
// The code of "EPSG:<positive integer>"; nullopt for anything else.
std::optional<int> ParseCoordinateSystemText(const std::string& text);

} // namespace varnex
