#include "cli/DistributionOptions.h"

namespace varnex::cli {

void DistributionOptions::AddTo(CLI::App& command) {
    command.add_option("TEXT", text, "Distribution text, e.g. \"TRIANGULAR(1,2,3)\" or \"5\"")
        ->required();
    command.add_option("--label", label, "Label of the input, used in error texts");
    command.add_option("--min", minLimit, "Smallest value the input allows (internal units)")
        ->capture_default_str();
    command
        .add_option("--max", maxLimit,
                    "Largest value the input allows (internal units); 0 or less: no limit")
        ->capture_default_str();
    command
        .add_option("--unit-factor", unitFactor,
                    "Factor from the typed units to internal units; 0: no conversion")
        ->capture_default_str();
}

void DistributionOptions::ApplyTo(Distribution& distribution) const {
    distribution.SetLabel(label);
    distribution.minLimit = minLimit;
    distribution.maxLimit = maxLimit;
    distribution.unitFactor = unitFactor;
}

} // namespace varnex::cli
