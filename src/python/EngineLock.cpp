#include "python/EngineLock.h"

namespace varnex::python {

std::mutex& EngineLock() {
    static std::mutex lock;
    return lock;
}

} // namespace varnex::python
