#pragma once

#include <CLI/CLI.hpp>

#include "cli/DistributionOptions.h"

namespace varnex::cli {

// `varnex-cli parse TEXT`: reads a distribution text as an input with the
// given limits and unit factor would, and reports what it means.
class ParseCommand {
public:
    explicit ParseCommand(CLI::App& parent);
    bool Chosen() const { return command_->parsed(); }
    // Exit code: 0 valid, 1 invalid.
    int Run() const;

private:
    CLI::App* command_;
    DistributionOptions options_;
    bool json_ = false;
};

} // namespace varnex::cli
