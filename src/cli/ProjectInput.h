#pragma once

#include <string>

namespace varnex {
class Project;
}

namespace varnex::cli {

// Reads the project a command names (its JSON form). On failure prints
// "varnex-cli: cannot read PATH" and every problem, each with the JSON path
// of its field, on standard error and returns false.
bool ReadProjectArgument(const std::string& path, Project& project);

} // namespace varnex::cli
