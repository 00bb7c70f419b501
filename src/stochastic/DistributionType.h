#pragma once

#include <string>

namespace varnex {

// Type codes of a distribution. They are stored in project files, so the
// numbers never change.
namespace DistributionType {
enum : int {
    undefined = 0,
    single = 1,
    uniform = 2,
    logUniform = 3,
    triangular = 4,
    logTriangular = 5,
    normal = 6,
    logNormal = 7,
    poisson = 8,
    binomial = 9,
    exponential = 10,
    boolean = 11,
};
inline constexpr int count = 12;
} // namespace DistributionType

// The keyword of the text form ("TRIANGULAR"), or empty for a code out of
// range.
std::string DistributionKeyword(int type);

// True for the types whose arguments carry a unit and are converted by the
// input's unit factor (single value, ranges, mean and deviation, exponential
// mean); counts, rates, probabilities and biases have no unit.
bool HasUnitArguments(int type);

} // namespace varnex
