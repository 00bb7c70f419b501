#pragma once

#include <string>

#include "analysis/SensitivityLabelParts.h"

namespace varnex {

// One line of the sensitivity list as shown: the input column and the
// "Sensitivity" column (a number or "Single Value").
struct SensitivityRow {
    std::string label;
    std::string text;
    // The entry's coefficient and kind, for front ends that need the number
    // itself rather than its "%g" text.
    double coefficient = 0.0;
    bool isSingleValue = false;
    SensitivityLabelParts parts;
};

} // namespace varnex
