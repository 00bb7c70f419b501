#pragma once

#include "settings/SolverKernel.h"
#include "settings/Translate.h"

namespace varnex {

class Preferences;

// The program's choice of advection-dispersion kernel, kept in the
// preferences under "Settings" as the DWORD "Solver Kernel" (0 fast, 1
// reference, 2 exact), so that an auditor's choice holds across sessions.
class SolverSettings {
public:
    static constexpr const char* kernelLabel = TranslatableText("Solver");
    static constexpr const char* fastKernelLabel =
        TranslatableText("Fast (numerical inversion; the default)");
    static constexpr const char* referenceKernelLabel =
        TranslatableText("Reference (numerical inversion, plain algorithm; slow, for audits)");
    static constexpr const char* exactKernelLabel =
        TranslatableText("Exact (closed-form solution; for sharp fronts, tails and large studies)");

    SolverKernel kernel = SolverKernel::fast;

    // A missing, unreadable or unknown preference gives the fast kernel.
    void Read(const Preferences& preferences);
    // False when the preference cannot be written (the choice then holds
    // for this session only).
    bool Write(Preferences& preferences) const;
};

} // namespace varnex
