#pragma once

// The register widths the exact kernel is compiled for. The batch entry
// points of ExactAdvectionDispersion.h choose the widest one the processor
// runs; the forms below take the width as an argument, so that the widths
// can be compared with one another (they perform the same IEEE operations
// on every lane and must give the same bits).

#include <cstddef>

#include "transport/AquiferProblem.h"
#include "transport/ColumnProblem.h"

namespace varnex {

enum class ExactRegisterVariant {
    automatic, // the widest the processor runs
    sse2,      // two doubles a register: the baseline, on every processor
    avx2,      // four (GCC on x86-64 only)
    avx512,    // eight (GCC on x86-64 only)
};

// Whether this build has the variant and the processor runs it.
bool ExactRegisterVariantAvailable(ExactRegisterVariant variant);

// The doubles a register of the variant holds (that of the widest available
// for automatic); 0 for a variant that is not available.
int ExactRegisterLanes(ExactRegisterVariant variant);

// ExactAdvectionDispersionBatch and ExactAquiferAdvectionDispersionBatch
// with the given variant; an unavailable one falls back to the baseline.
void ExactAdvectionDispersionBatch(ExactRegisterVariant variant, const ColumnProblem* problems,
                                   double* results, std::size_t count);
void ExactAquiferAdvectionDispersionBatch(ExactRegisterVariant variant,
                                          const AquiferProblem* problems, double* results,
                                          std::size_t count);

} // namespace varnex
