#include "cli/ConvertCommand.h"

#include <filesystem>
#include <iostream>
#include <system_error>

#include "base/OutputTransaction.h"
#include "cli/InterruptGuard.h"
#include "cli/ProjectInput.h"
#include "cli/TestPause.h"
#include "model/Project.h"
#include "persist/ProjectFile.h"
#include "persist/ProjectJson.h"

namespace varnex::cli {

namespace {

// Whether OUT would replace IN: the same file by any name (a link, another
// spelling of the path). An OUT that does not exist yet cannot be IN.
bool SameFile(const std::string& input, const std::string& output) {
    std::error_code error;
    return std::filesystem::equivalent(input, output, error) && !error;
}

} // namespace

ConvertCommand::ConvertCommand(CLI::App& parent)
    : command_(parent.add_subcommand("convert",
                                     "Convert a project between a project file (.vnx) and JSON")) {
    command_->add_option("IN", input_, "Project to read: a project file (.vnx) or its JSON form")
        ->required();
    command_->add_option("OUT", output_, "Project to write: a project file (.vnx) or its JSON form")
        ->required();
    command_->add_flag("--without-results", withoutResults_,
                       "Write a project file without the results");
}

int ConvertCommand::Run() const {
    if (SameFile(input_, output_)) {
        std::cerr << "varnex-cli: IN and OUT name the same file; the input is never changed\n";
        return 2;
    }
    InterruptGuard guard;
    Project project;
    if (!ReadProjectArgument(input_, project)) return 2;
    std::string error;
    // From here a stop signal removes the temporary and ends the program.
    OutputTransaction outputs;
    if (InterruptGuard::Requested()) {
        std::cerr << "varnex-cli: stopped; nothing saved\n";
        return InterruptGuard::ExitCode();
    }
    if (IsProjectFilePath(output_)) {
        ProjectSaveOptions options;
        options.withResults = !withoutResults_;
        if (!outputs.Stage(output_, options.writeTo, error) ||
            !SaveProject(project, output_, options, error)) {
            std::cerr << "varnex-cli: " << error << "\n";
            return 1;
        }
    } else if (!outputs.Add(output_, WriteProjectJson(project), error, true)) {
        std::cerr << "varnex-cli: " << error << "\n";
        return 1;
    }
    TestPause::At("writing");
    if (!outputs.Commit(error)) {
        std::cerr << "varnex-cli: " << error << "\n";
        return 1;
    }
    return 0;
}

} // namespace varnex::cli
