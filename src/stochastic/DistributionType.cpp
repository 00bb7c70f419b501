#include "stochastic/DistributionType.h"

namespace varnex {

std::string DistributionKeyword(int type) {
    static const char* const keywords[DistributionType::count] = {
        "UNDEFINED", "SINGLE",    "UNIFORM", "LOGUNIFORM", "TRIANGULAR",  "LOGTRIANGULAR",
        "NORMAL",    "LOGNORMAL", "POISSON", "BINOMIAL",   "EXPONENTIAL", "BOOLEAN"};
    if (type < 0 || type >= DistributionType::count) return std::string();
    return keywords[type];
}

bool HasUnitArguments(int type) {
    switch (type) {
    case DistributionType::single:
    case DistributionType::uniform:
    case DistributionType::logUniform:
    case DistributionType::triangular:
    case DistributionType::logTriangular:
    case DistributionType::normal:
    case DistributionType::logNormal:
    case DistributionType::exponential: return true;
    default: return false;
    }
}

} // namespace varnex
