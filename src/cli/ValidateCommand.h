#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace varnex::cli {

// `varnex-cli validate PROJECT.json`: the check a run makes before it starts.
class ValidateCommand {
public:
    explicit ValidateCommand(CLI::App& parent);
    bool Chosen() const { return command_->parsed(); }
    // Exit code: 0 valid (nothing printed), 1 invalid (the report), 2 the
    // file cannot be read as a project.
    int Run() const;

private:
    CLI::App* command_;
    std::string path_;
};

} // namespace varnex::cli
