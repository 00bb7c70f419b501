#pragma once

#include <cstdint>

namespace varnex {

// The process-wide counter behind the identity numbers of stochastic
// parameters, by which input correlations name their inputs. It only ever
// grows, so no two live parameters share a number unless one is a copy.
// Throws std::overflow_error rather than wrap round to numbers in use.
std::int32_t NextParameterId();
// Raises the counter to `id` when `id` is larger, so that parameters created
// after a project was loaded never reuse a loaded number.
void RaiseParameterIdCounter(std::int32_t id);
// The largest identity a project file may carry. A program session creates a
// few thousand parameters per project, so a stored number beyond this is a
// damaged file; refusing it keeps 2^30 numbers free for the parameters made
// after loading, where the counter would otherwise be one step from its end.
inline constexpr std::int32_t maximumStoredParameterId = 1 << 30;
std::int32_t ParameterIdCounter();
// Tests only: start the numbering again from `value`.
void ResetParameterIdCounter(std::int32_t value = 0);

} // namespace varnex
