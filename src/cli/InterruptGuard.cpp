#include "cli/InterruptGuard.h"

#include <atomic>
#include <csignal>
#include <unistd.h>

#include "base/PendingTemporaries.h"

namespace varnex::cli {

namespace {

std::atomic<int> stopSignal{0};

static_assert(std::atomic<int>::is_always_lock_free, "read and written by a signal handler");

extern "C" void OnStop(int signal) {
    if (PendingTemporaries::Writing()) {
        PendingTemporaries::RemoveAll();
        static const char text[] = "\nvarnex-cli: stopped; nothing saved\n";
        const ssize_t ignored = ::write(STDERR_FILENO, text, sizeof text - 1);
        (void)ignored;
        ::_exit(128 + signal);
    }
    // A reader that went away ends the program as it always did; only
    // while outputs are written must it clean up first.
    if (signal == SIGPIPE) {
        ::signal(SIGPIPE, SIG_DFL);
        ::raise(SIGPIPE);
        return;
    }
    int none = 0;
    stopSignal.compare_exchange_strong(none, signal);
}

} // namespace

InterruptGuard::InterruptGuard() {
    stopSignal.store(0);
    struct sigaction action {};
    action.sa_handler = OnStop;
    // Not restarted, so that a stop also ends a sleep or a wait on a slow
    // device during the calculation.
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previousInterrupt_);
    sigaction(SIGTERM, &action, &previousTerminate_);
    sigaction(SIGHUP, &action, &previousHangUp_);
    sigaction(SIGPIPE, &action, &previousBrokenPipe_);
    // A caller that ignores it wants a failed write instead, and gets it.
    if (previousBrokenPipe_.sa_handler == SIG_IGN)
        sigaction(SIGPIPE, &previousBrokenPipe_, nullptr);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGXFSZ, &ignore, &previousFileSize_);
}

InterruptGuard::~InterruptGuard() {
    sigaction(SIGINT, &previousInterrupt_, nullptr);
    sigaction(SIGTERM, &previousTerminate_, nullptr);
    sigaction(SIGHUP, &previousHangUp_, nullptr);
    sigaction(SIGPIPE, &previousBrokenPipe_, nullptr);
    sigaction(SIGXFSZ, &previousFileSize_, nullptr);
}

bool InterruptGuard::Requested() { return stopSignal.load() != 0; }

int InterruptGuard::ExitCode() {
    const int signal = stopSignal.load();
    return 128 + (signal != 0 ? signal : SIGINT);
}

} // namespace varnex::cli
