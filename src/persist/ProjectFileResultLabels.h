#pragma once

namespace varnex {

class Project;

// Labels the result vectors a project file stores, which carry no labels in
// the file: the same translated and formatted labels a run's preparation
// gives them ("%lf" the time slice in years, "%s" the receptor's name). A
// vector beyond the project's time slices or receptors keeps its label
// empty. Values and statistics are not touched.
void LabelStoredResults(Project& project);

} // namespace varnex
