#pragma once

#include <CLI/CLI.hpp>
#include <string>

#include "settings/SolverKernel.h"

namespace varnex::cli {

// The `--kernel fast|reference` option of the commands that solve the
// transport equations: the reference kernel is the plain textbook
// algorithm, for auditing a result; the fast one (the default) agrees with
// it to rounding.
void AddKernelOption(CLI::App& command, std::string& kernelName);
SolverKernel KernelFromOption(const std::string& kernelName);

} // namespace varnex::cli
