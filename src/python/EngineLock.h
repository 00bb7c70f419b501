#pragma once

#include <mutex>

namespace varnex::python {

// The engine keeps a few values for the whole program (the iteration count,
// the random stream, the file version being read): one project at a time
// may use them. Every call that reads or sets them holds this lock; a
// second Python thread waits (with the GIL released) until the first is
// done.
std::mutex& EngineLock();

} // namespace varnex::python
