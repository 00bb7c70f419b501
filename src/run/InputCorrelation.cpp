#include "run/InputCorrelation.h"

#include "model/Project.h"
#include "settings/Exception.h"
#include "settings/Translate.h"

namespace varnex {

// Rank correlation of inputs is not part of this build yet. A project that
// asks for it must not run as if its inputs were independent.
void CorrelateInputs(Project& project) {
    if (project.correlations.Count() > 0)
        throw Exception(Translate("Input correlations are not available in this version."));
}

} // namespace varnex
