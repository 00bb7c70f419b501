#include "stochastic/IterationCount.h"

#include <atomic>

namespace varnex {

namespace {
std::atomic<int> iterationCount{defaultIterationCount};
}

int IterationCount() { return iterationCount.load(std::memory_order_relaxed); }

void SetIterationCount(int count) { iterationCount.store(count, std::memory_order_relaxed); }

} // namespace varnex
