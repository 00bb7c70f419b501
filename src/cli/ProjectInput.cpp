#include "cli/ProjectInput.h"

#include <algorithm>
#include <cctype>
#include <iostream>
#include <vector>

#include "model/Project.h"
#include "persist/ProjectFile.h"
#include "persist/ProjectJson.h"

namespace varnex::cli {

bool IsProjectFilePath(const std::string& path) {
    static const std::string extension = ".vnx";
    if (path.size() <= extension.size()) return false;
    return std::equal(
        extension.begin(), extension.end(),
        path.end() - static_cast<std::ptrdiff_t>(extension.size()),
        [](char a, char b) { return std::tolower(static_cast<unsigned char>(b)) == a; });
}

bool ReadProjectArgument(const std::string& path, Project& project) {
    std::vector<std::string> problems;
    if (IsProjectFilePath(path)) {
        std::string error;
        if (LoadProject(path, project, error)) return true;
        problems.push_back(error.empty() ? "not a readable project file" : error);
    } else if (LoadProjectJsonFile(path, project, problems)) {
        return true;
    }
    std::cerr << "varnex-cli: cannot read " << path << "\n";
    for (const std::string& problem : problems) std::cerr << "  " << problem << "\n";
    return false;
}

} // namespace varnex::cli
