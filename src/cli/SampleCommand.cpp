#include "cli/SampleCommand.h"

#include <cstdio>
#include <iostream>

#include "base/NumberText.h"
#include "stochastic/IterationCount.h"
#include "stochastic/RandomStream.h"
#include "stochastic/StochasticParameter.h"

namespace varnex::cli {

namespace {
// A preview may be larger than a project's run, but not unbounded.
constexpr int maximumPreviewCount = 10'000'000;
} // namespace

SampleCommand::SampleCommand(CLI::App& parent)
    : command_(parent.add_subcommand("sample", "Draw values from a distribution as a run would")) {
    options_.AddTo(*command_);
    command_->add_option("-n,--count", count_, "Number of values (iterations)")
        ->capture_default_str()
        ->check(CLI::Range(0, maximumPreviewCount));
    command_->add_option("--seed", seed_,
                         "Seed of the random stream (default: the stream of a fresh program)");
    command_->add_flag("--central", central_, "Draw the central value every time");
}

int SampleCommand::Run() const {
    if (command_->count("--seed") > 0) SetRandomSeed(seed_);
    StochasticParameter input;
    options_.ApplyTo(input.distribution);
    if (!input.distribution.Parse(options_.text)) {
        std::cerr << input.ErrorText() << "\n";
        return 1;
    }
    SetIterationCount(count_);
    input.SampleAll(central_);
    std::string out;
    for (double value : input.Samples()) {
        out += FormatG(value, 17);
        out += '\n';
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

} // namespace varnex::cli
