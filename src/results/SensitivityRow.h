#pragma once

#include <string>

namespace varnex {

// One line of the sensitivity list as shown: the input column and the
// "Sensitivity" column (a number or "Single Value").
struct SensitivityRow {
    std::string label;
    std::string text;
};

} // namespace varnex
