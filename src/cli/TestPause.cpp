#include "cli/TestPause.h"

#include <cstdlib>
#include <ctime>
#include <unistd.h>

#include "cli/InterruptGuard.h"

namespace varnex::cli {

bool TestPause::Chosen(const std::string& moment) {
    const char* chosen = std::getenv("VARNEX_CLI_TEST_PAUSE");
    return chosen != nullptr && moment == chosen;
}

void TestPause::At(const std::string& moment) {
    if (!Chosen(moment)) return;
    // Unbuffered and whole, so the waiting test sees it at once.
    const std::string text = "varnex-cli: test pause at " + moment + "\n";
    const ssize_t ignored = ::write(STDERR_FILENO, text.data(), text.size());
    (void)ignored;
    // A signal in the writing phase ends the program in its handler; one
    // during the calculation sets the flag checked here.
    const timespec step{0, 10 * 1000 * 1000};
    for (int k = 0; k < 3000 && !InterruptGuard::Requested(); ++k) ::nanosleep(&step, nullptr);
}

} // namespace varnex::cli
