#pragma once

#include <string>
#include <vector>

namespace varnex {

// One entry of a chooser or selector of the sensitivity ranking.
struct SensitivityChoice {
    // Result chooser: the result code. Selectors: unused (0).
    int code = 0;
    // Result chooser: the time slice index (-1 for the travel times).
    // Selectors: the entity index, or SensitivitySelection::all for "<All>".
    int index = -1;
    std::string text;
};

// A selector's entries and whether it can be used.
struct SensitivitySelector {
    bool enabled = false;
    std::vector<SensitivityChoice> choices;
};

} // namespace varnex
