#include "stochastic/ParameterIdentity.h"

#include <atomic>
#include <limits>
#include <stdexcept>

namespace varnex {

namespace {
std::atomic<std::int32_t> counter{0};
}

std::int32_t NextParameterId() {
    std::int32_t current = counter.load();
    do {
        if (current == std::numeric_limits<std::int32_t>::max())
            throw std::overflow_error("parameter identity numbers exhausted");
    } while (!counter.compare_exchange_weak(current, current + 1));
    return current + 1;
}

void RaiseParameterIdCounter(std::int32_t id) {
    std::int32_t current = counter.load();
    while (id > current && !counter.compare_exchange_weak(current, id)) {}
}

std::int32_t ParameterIdCounter() { return counter.load(); }

void ResetParameterIdCounter(std::int32_t value) { counter.store(value); }

} // namespace varnex
