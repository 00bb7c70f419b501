#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>

#include "cli/DistributionOptions.h"

namespace varnex::cli {

// `varnex-cli sample TEXT`: the values a run would draw for an input with this
// distribution, one per line: the user's preview of a distribution.
class SampleCommand {
public:
    explicit SampleCommand(CLI::App& parent);
    bool Chosen() const { return command_->parsed(); }
    // Exit code: 0 drawn, 1 invalid text.
    int Run() const;

private:
    CLI::App* command_;
    DistributionOptions options_;
    int count_ = 1001;
    std::uint32_t seed_ = 0;
    bool central_ = false;
};

} // namespace varnex::cli
