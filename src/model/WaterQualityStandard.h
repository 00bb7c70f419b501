#pragma once

namespace varnex {

// One species' standard in a standard set, as read from its data file.
struct WaterQualityStandard {
    int contaminant = -1;          // identifier
    int flag = 0;                  // 1 when the file marks the standard with "y"
    double standard = 0.0;         // mg/l
    double furtherConstant1 = 0.0; // carried into the contaminant unchanged
    double furtherConstant2 = 0.0;
};

} // namespace varnex
