#include "cli/ParseCommand.h"

#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>

#include "stochastic/DistributionType.h"
#include "stochastic/StochasticParameter.h"

namespace varnex::cli {

ParseCommand::ParseCommand(CLI::App& parent)
    : command_(parent.add_subcommand("parse", "Parse and check a distribution text")) {
    options_.AddTo(*command_);
    command_->add_flag("--json", json_, "Print one JSON object");
}

int ParseCommand::Run() const {
    StochasticParameter input;
    options_.ApplyTo(input.distribution);
    const bool valid = input.distribution.Parse(options_.text);
    const Distribution& d = input.distribution;
    const std::string keyword = DistributionKeyword(d.type);

    if (json_) {
        const nlohmann::ordered_json result = {
            {"type", d.type}, {"keyword", keyword},         {"format", d.Format()},
            {"valid", valid}, {"errorFlags", d.errorFlags}, {"errorText", d.ErrorText()},
        };
        std::cout << result.dump(2) << "\n";
    } else {
        char flags[16];
        std::snprintf(flags, sizeof flags, "0x%08X", static_cast<unsigned>(d.errorFlags));
        std::cout << "type: " << d.type << " " << keyword << "\n"
                  << "format: " << d.Format() << "\n"
                  << "valid: " << (valid ? "yes" : "no") << "\n"
                  << "errorFlags: " << flags << "\n"
                  << "errorText: " << d.ErrorText() << "\n";
    }
    return valid ? 0 : 1;
}

} // namespace varnex::cli
