#include "cli/ProgressLine.h"

#include <iostream>
#include <unistd.h>

namespace varnex::cli {

ProgressLine::ProgressLine(bool quiet) : quiet_(quiet), terminal_(::isatty(STDERR_FILENO) == 1) {}

ProgressLine::~ProgressLine() { EndLine(); }

void ProgressLine::Show(const std::string& text) {
    if (quiet_ || !terminal_) return;
    // Carriage return, then erase to the end of the line.
    std::cerr << "\r\033[K" << text << std::flush;
    open_ = true;
}

void ProgressLine::EndLine() {
    if (open_) std::cerr << "\n";
    open_ = false;
}

} // namespace varnex::cli
