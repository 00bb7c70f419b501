#include "base/PendingTemporaries.h"

#include <atomic>
#include <climits>
#include <cstring>
#include <unistd.h>

namespace varnex {

namespace {

// A run writes at most a handful of outputs at once.
constexpr int slotCount = 16;

struct Slot {
    std::atomic<bool> used{false};
    char path[PATH_MAX] = {};
};

Slot slots[slotCount];
std::atomic<int> writers{0};

static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free,
              "a signal handler may only touch lock-free atomics");

} // namespace

int PendingTemporaries::Add(const std::string& path) {
    if (path.size() >= PATH_MAX) return -1;
    for (int k = 0; k < slotCount; ++k) {
        if (slots[k].used.load(std::memory_order_acquire)) continue;
        std::memcpy(slots[k].path, path.c_str(), path.size() + 1);
        // The path is complete before a handler can see the slot in use.
        slots[k].used.store(true, std::memory_order_release);
        return k;
    }
    return -1;
}

void PendingTemporaries::Forget(int slot) noexcept {
    if (slot >= 0 && slot < slotCount) slots[slot].used.store(false, std::memory_order_release);
}

void PendingTemporaries::RemoveAll() noexcept {
    for (Slot& slot : slots) {
        if (!slot.used.load(std::memory_order_acquire)) continue;
        ::unlink(slot.path);
        slot.used.store(false, std::memory_order_release);
    }
}

void PendingTemporaries::BeginWriting() noexcept { writers.fetch_add(1); }

void PendingTemporaries::EndWriting() noexcept { writers.fetch_sub(1); }

bool PendingTemporaries::Writing() noexcept { return writers.load() > 0; }

} // namespace varnex
