#pragma once

#include <csignal>

namespace varnex::cli {

// Ctrl-C during a long calculation asks it to stop, as the Stop button of
// the desktop program does: while a guard lives, SIGINT only sets a flag
// that the calculation's observer polls. The previous handler returns when
// the guard goes.
class InterruptGuard {
public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    // True once Ctrl-C was pressed since the last guard was made.
    static bool Requested();

private:
    struct sigaction previous_ {};
};

} // namespace varnex::cli
