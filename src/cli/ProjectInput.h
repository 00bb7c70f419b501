#pragma once

#include <string>

namespace varnex {
class Project;
}

namespace varnex::cli {

// True for a name ending in ".vnx" (any case): a project file of the
// desktop program; every other name stands for the project's JSON form.
bool IsProjectFilePath(const std::string& path);

// Reads the project a command names: a `.vnx` project file (with its
// results, when it was saved with them) or the JSON form. On failure prints
// "varnex-cli: cannot read PATH" and, on the lines after it, the reason (for
// the JSON form every problem, each with the JSON path of its field) on
// standard error and returns false.
bool ReadProjectArgument(const std::string& path, Project& project);

} // namespace varnex::cli
