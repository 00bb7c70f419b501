#pragma once

#include <csignal>

namespace varnex::cli {

// Ctrl-C during a long calculation asks it to stop, as the Stop button of
// the desktop program does: while a guard lives, SIGINT, and likewise
// SIGTERM and SIGHUP (a closed terminal, a job scheduler's stop), only set a
// flag that the calculation's observer polls. Once the outputs are being
// written (PendingTemporaries::Writing) there is nothing left to end
// gracefully: such a signal removes the temporary files at once and ends
// the program with 128 + the signal's number, every old output untouched;
// so does SIGPIPE (standard output, written as an output, closed by its
// reader), which otherwise keeps its usual effect.
// SIGXFSZ is ignored meanwhile, so that a file-size limit makes the write
// fail with its reason instead of killing the program part way. The
// previous handlers return when the guard goes.
class InterruptGuard {
public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    // True once a stop signal came since the last guard was made.
    static bool Requested();
    // The exit code of a stopped command: 128 + the signal's number (130
    // for Ctrl-C, 143 for SIGTERM, 129 for SIGHUP).
    static int ExitCode();

private:
    struct sigaction previousInterrupt_ {};
    struct sigaction previousTerminate_ {};
    struct sigaction previousHangUp_ {};
    struct sigaction previousBrokenPipe_ {};
    struct sigaction previousFileSize_ {};
};

} // namespace varnex::cli
