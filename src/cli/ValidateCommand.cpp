#include "cli/ValidateCommand.h"

#include <iostream>
#include <vector>

#include "cli/ProjectInput.h"
#include "model/Project.h"
#include "settings/Translate.h"

namespace varnex::cli {

ValidateCommand::ValidateCommand(CLI::App& parent)
    : command_(
          parent.add_subcommand("validate", "Check a project as a run would before it starts")) {
    command_
        ->add_option("PROJECT", path_, "Project: a project file (.vnx) or its JSON form (.json)")
        ->required();
}

int ValidateCommand::Run() const {
    Project project;
    if (!ReadProjectArgument(path_, project)) return 2;
    std::string report;
    if (project.Validate(report)) return 0;
    std::cout << Translate("Validation Errors:") << "\n" << report << "\n";
    return 1;
}

} // namespace varnex::cli
