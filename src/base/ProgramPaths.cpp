#include "base/ProgramPaths.h"

#include <filesystem>
#include <system_error>

namespace varnex {

namespace {

std::string ReadProgramDirectory() {
    std::error_code error;
    const std::string program = std::filesystem::read_symlink("/proc/self/exe", error).string();
    const std::size_t slash = program.rfind('/');
    if (error || slash == std::string::npos) return ".";
    // A program in the root folder has the directory "" and finds "/Info/...".
    return program.substr(0, slash);
}

std::string& ChosenDirectory() {
    static std::string chosen;
    return chosen;
}

} // namespace

std::string ProgramDirectory() {
    // Read once: data files are looked up often, and the folder the program
    // was started from is where its data files were installed with it.
    static const std::string directory = ReadProgramDirectory();
    return ChosenDirectory().empty() ? directory : ChosenDirectory();
}

void SetProgramDirectory(const std::string& directory) { ChosenDirectory() = directory; }

std::string InfoFilePath(const std::string& name) { return ProgramDirectory() + "/Info/" + name; }

} // namespace varnex
