#pragma once

#include <string>

#include "model/Project.h"

namespace varnex::test {

// A square source polygon with its lower left corner at (x0, y0).
Source SquareSource(const std::string& name, double x0 = 0.0, double y0 = 0.0, double side = 10.0);

// A contaminant as the standards files would create it.
Contaminant MakeContaminant(int identifier, const std::string& name, bool organic);

// Parses `text` into the input and fails the current test when it is invalid.
void SetInput(StochasticParameter& input, const std::string& text);

// A project that validates at "Level 1": one square source "Tank" with one
// active leachate entry of benzene (identifier 1) at SINGLE(2) mg/l.
Project ValidLevel1Project();

// ValidLevel1Project with its leachate concentration drawn from
// `concentration` and the source declining by leaching, every other input
// the decline reads a single value and the solubility far off: the
// leachate at any time is then proportional to the drawn concentration
// (the decline factor exp(-k t) does not depend on it).
Project LeachingLevel1Project(const std::string& concentration);

} // namespace varnex::test
