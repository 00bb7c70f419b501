#pragma once

#include <QString>
#include <optional>

#include "settings/SolverKernel.h"

namespace varnex::ui {

// How the reports name the kernel that computed a project's results, in the
// language in force: the kernel and how it solves the transport equation,
// or "not recorded" for results read from a file written before the kernel
// was kept beside them.
QString ResultsKernelText(const std::optional<SolverKernel>& kernel);

} // namespace varnex::ui
