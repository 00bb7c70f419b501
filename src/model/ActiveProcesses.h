#pragma once

namespace varnex {

// The processes the user switched on for the transport calculations. Without
// retarded travel the retardation factors are 1; without biodegradation the
// decay rates are 0.
struct ActiveProcesses {
    bool retardedTravelUz = false;
    bool biodegradationUz = false;
    bool retardedTravelAquifer = false;
    bool biodegradationAquifer = false;
};

} // namespace varnex
