#pragma once

#include <optional>
#include <string>

#include "analysis/SensitivitySelection.h"

namespace varnex {

class Project;

// A sensitivity ranking asked for by names, as a script or the command
// line gives it.
struct SensitivityRequest {
    int result = SensitivityResult::sourceConcentration;
    std::optional<double> timeYears; // a time slice, for concentration results
    std::string source;              // a source's name or "<All>"; empty: the first offered
    std::string receptor;            // a receptor's name or "<All>"; empty: all
    std::string pathway;             // a pathway of the source or "<All>"; empty: all
    std::string contaminant;         // a contaminant's name; empty: all
    bool rank = false;               // rank correlation instead of product-moment
};

// The selection the names stand for, from the choices the sensitivity
// dialog offers for the project. False, with every problem on a line of its
// own (each naming the option as `option` + its name: "--time" for the
// command line, "time" for Python, and the choices there are), when a name
// or time is not offered or a choice does not apply to the result kind.
bool SelectSensitivity(const Project& project, const SensitivityRequest& request,
                       const std::string& option, SensitivitySelection& selection,
                       std::string& problems);

} // namespace varnex
