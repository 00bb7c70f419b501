#include "cli/ProjectInput.h"

#include <iostream>
#include <vector>

#include "model/Project.h"
#include "persist/ProjectJson.h"

namespace varnex::cli {

bool ReadProjectArgument(const std::string& path, Project& project) {
    std::vector<std::string> problems;
    if (LoadProjectJsonFile(path, project, problems)) return true;
    std::cerr << "varnex-cli: cannot read " << path << "\n";
    for (const std::string& problem : problems) std::cerr << "  " << problem << "\n";
    return false;
}

} // namespace varnex::cli
