#include "support/ProgramRun.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <sys/wait.h>

#include "support/TempDirectory.h"

namespace varnex::test {

namespace {

std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

} // namespace

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments) {
    TempDirectory dir;
    const std::string outPath = dir.File("out"), errPath = dir.File("err");
    std::string command = ShellQuoted(std::string(VARNEX_BIN_DIR) + "/" + program);
    for (const std::string& argument : arguments) command += " " + ShellQuoted(argument);
    command += " >" + ShellQuoted(outPath) + " 2>" + ShellQuoted(errPath) + " </dev/null";
    const int status = std::system(command.c_str());
    ProgramResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadFileBytes(outPath);
    result.err = ReadFileBytes(errPath);
    return result;
}

} // namespace varnex::test
