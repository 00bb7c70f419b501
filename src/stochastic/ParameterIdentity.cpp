#include "stochastic/ParameterIdentity.h"

#include <atomic>

namespace varnex {

namespace {
std::atomic<std::int32_t> counter{0};
}

std::int32_t NextParameterId() { return counter.fetch_add(1) + 1; }

void RaiseParameterIdCounter(std::int32_t id) {
    std::int32_t current = counter.load();
    while (id > current && !counter.compare_exchange_weak(current, id)) {
    }
}

std::int32_t ParameterIdCounter() { return counter.load(); }

void ResetParameterIdCounter(std::int32_t value) { counter.store(value); }

} // namespace varnex
