#pragma once

#include <CLI/CLI.hpp>
#include <string>

#include "stochastic/Distribution.h"

namespace varnex::cli {

// The options that give a typed distribution the context of an input: its
// label, its limits and its unit factor (display to internal units).
struct DistributionOptions {
    std::string text;
    std::string label;
    double minLimit = 0.0;
    double maxLimit = Distribution::defaultMaxLimit;
    double unitFactor = 0.0;

    void AddTo(CLI::App& command);
    void ApplyTo(Distribution& distribution) const;
};

} // namespace varnex::cli
