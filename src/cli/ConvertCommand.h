#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace varnex::cli {

// `varnex-cli convert IN OUT`: writes the project of IN to OUT, each a
// project file (.vnx) or the JSON form by its extension. A project file
// written from a project file keeps the results when they are valid, unless
// `--without-results`; the JSON form holds no results. IN is never
// changed, and a failed conversion leaves OUT as it was.
class ConvertCommand {
public:
    explicit ConvertCommand(CLI::App& parent);
    bool Chosen() const { return command_->parsed(); }
    // Exit code: 0 success, 1 OUT could not be written, 2 unreadable IN or
    // OUT naming the same file as IN.
    int Run() const;

private:
    CLI::App* command_;
    std::string input_;
    std::string output_;
    bool withoutResults_ = false;
};

} // namespace varnex::cli
