#pragma once

#include <vector>

#include "analysis/SensitivitySelector.h"

namespace varnex {

class Project;

// The entries of the sensitivity ranking's chooser and selectors for a
// project after a run. A front end fills its controls from these and turns
// the user's picks into a SensitivitySelection.

// "Unsaturated Zone Travel Time", "Receptor Zone Travel Time", then one
// "Concentration at source - %.0lf years", "Concentration at Base of Unsat.
// Zone - %.0lf years" and "Concentration at Receptor - %.0lf years" per time
// slice, in that order. Only the kinds the project's simulation level
// computes are offered: the others' vectors hold nothing but zeros (or, for
// the receptor travel times below "Level 3", do not exist at all).
std::vector<SensitivityChoice> ResultChoices(const Project& project);

// The sources, preceded by "<All>" above "Level 2".
SensitivitySelector SourceSelector(const Project& project);

// "<All>" and the receptors; enabled for receptor results only.
SensitivitySelector ReceptorSelector(const Project& project, int resultCode);

// "<All>" and the pathways of the selected source, without those excluded
// from the calculation (the first pathway is always offered). Disabled for
// source concentrations; empty and disabled while no single source is
// selected.
SensitivitySelector PathwaySelector(const Project& project, int sourceIndex, int resultCode);

} // namespace varnex
