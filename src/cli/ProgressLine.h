#pragma once

#include <string>

namespace varnex::cli {

// The one progress line of a command on standard error: rewritten in place
// while standard error is a terminal, never written otherwise (a log gets
// whole lines from the command instead), never with --quiet.
class ProgressLine {
public:
    explicit ProgressLine(bool quiet);
    ~ProgressLine();

    bool Quiet() const { return quiet_; }
    // Whether the line is rewritten in place (standard error is a terminal).
    bool InPlace() const { return terminal_; }
    void Show(const std::string& text);
    // Ends a line in progress, so that a message can start on its own line.
    void EndLine();

private:
    bool quiet_;
    bool terminal_;
    bool open_ = false;
};

} // namespace varnex::cli
