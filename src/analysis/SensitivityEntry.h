#pragma once

#include <string>

#include "analysis/SensitivityLabelParts.h"

namespace varnex {

// One row of a sensitivity ranking: an input paired with a result vector and
// the correlation between the input's samples and the result's values.
struct SensitivityEntry {
    std::string label;           // "Benzene - Tank - Source Thickness [m]" and the like
    double coefficient = 0.0;    // in [-1, 1]; 0 whenever none can be formed
    bool isSingleValue = false;  // a SINGLE input: shown as "Single Value"
    SensitivityLabelParts parts; // what the label is made of
};

} // namespace varnex
