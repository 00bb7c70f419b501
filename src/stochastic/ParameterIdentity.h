#pragma once

#include <cstdint>

namespace varnex {

// The process-wide counter behind the identity numbers of stochastic
// parameters, by which input correlations name their inputs. It only ever
// grows, so no two live parameters share a number unless one is a copy.
std::int32_t NextParameterId();
// Raises the counter to `id` when `id` is larger, so that parameters created
// after a project was loaded never reuse a loaded number.
void RaiseParameterIdCounter(std::int32_t id);
std::int32_t ParameterIdCounter();
// Tests only: start the numbering again from `value`.
void ResetParameterIdCounter(std::int32_t value = 0);

} // namespace varnex
