#pragma once

#include <vector>

#include "stochastic/StochasticParameter.h"

namespace varnex::ui {

class UserPrompts;

// "Dump": the samples of an input's last run written as a text file for a
// look in a spreadsheet or editor. The user is asked where, "debug.txt" in
// the current folder being offered; `samples` are the input's (the field
// keeps them beside its copy of the input, which carries none). Returns
// false when the user cancelled or the file could not be written (reported).
bool DumpSamplesToChosenFile(const StochasticParameter& parameter,
                             const std::vector<double>& samples, UserPrompts& prompts);

} // namespace varnex::ui
