#pragma once

#include <string>

namespace varnex {

// What a sensitivity row's label is made of, for front ends that lay it out
// themselves: the input (with its layer: "Aquifer Hydraulic Conductivity",
// "U/S Zone Clay Thickness [m]") and where the result was taken. Parts the
// label does not name are empty.
struct SensitivityLabelParts {
    std::string contaminant;
    std::string source;
    std::string pathway; // only when every pathway of a source is ranked together
    std::string input;
    std::string receptor;
};

} // namespace varnex
