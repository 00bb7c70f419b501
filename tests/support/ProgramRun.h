#pragma once

#include <string>
#include <vector>

namespace varnex::test {

struct ProgramResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs one of the built programs (found beside the test programs) with the
// given arguments, no shell involved in their meaning, and collects what it
// printed.
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments);

} // namespace varnex::test
