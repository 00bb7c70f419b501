#pragma once

#include "base/Exception.h"
#include "settings/Translate.h"

namespace varnex {

// The input checks every column kernel makes, in one order, so that the
// kernels fail or return 0 for exactly the same inputs: true when the
// solution is 0 without computing it (before the boundary is switched on,
// and upstream of it); throws, with the messages users know, for a
// dispersivity that is not positive or a negative velocity. Time comes
// before the input checks on purpose: nothing has arrived at t <= 0,
// whatever the inputs.
inline bool ColumnSolutionIsZero(double timeS, double distanceM, double velocityMPerS,
                                 double dispersivityM) {
    if (timeS <= 0.0) return true;
    if (dispersivityM <= 0.0) {
        throw Exception(Translate(
            "Dispersivity cannot be zero.  Advection diffusion equation cannot be solved."));
    }
    if (velocityMPerS < 0.0) {
        throw Exception(Translate("Speed of contaminant cannot be less than zero.  Advection "
                                  "diffusion equation cannot be solved."));
    }
    return distanceM < 0.0;
}

// The same for the aquifer solution, in its order: zero dispersivities are
// accepted there (the lateral factor and the column keep the dispersion
// floor), negative ones are not; downstream means x >= 0.
inline bool AquiferSolutionIsZero(double timeS, double xM, double velocityMPerS,
                                  double lateralDispersivityM, double longitudinalDispersivityM) {
    if (timeS <= 0.0) return true;
    if (lateralDispersivityM < 0.0 || longitudinalDispersivityM < 0.0) {
        throw Exception(Translate("Dispersivity cannot be less than zero.  Advection diffusion "
                                  "equation cannot be solved."));
    }
    if (velocityMPerS < 0.0) {
        throw Exception(Translate("Speed of contaminant cannot be less than zero.  Advection "
                                  "diffusion equation cannot be solved."));
    }
    return xM < 0.0;
}

} // namespace varnex
