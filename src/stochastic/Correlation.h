#pragma once

#include <cstdint>
#include <string>

namespace varnex {

// A user's statement that two inputs are rank-correlated: the samples of the
// correlated input are reordered so that their ranks follow those of the
// reference input to the degree `value` (-1 to 1).
class Correlation {
public:
    Correlation() = default;
    Correlation(const Correlation&) = default;
    Correlation& operator=(const Correlation&) = default;
    virtual ~Correlation() = default;

    std::string name = "New Correlation"; // "Correlation name"
    std::int32_t referenceParameter = 0;  // id of the input whose samples stay in place
    std::int32_t correlatedParameter = 0; // id of the input whose samples are reordered
    double value = 0.0;
};

} // namespace varnex
