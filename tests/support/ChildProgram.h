#pragma once

#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace varnex::test {

// One of the built programs (found beside the test programs) running as a
// child process with its standard output and error on pipes, so that a test
// can wait for it to reach a moment it announces, send it a signal there and
// then look at how it ended.
class ChildProgram {
public:
    struct Options {
        // Added to the test's own environment.
        std::vector<std::pair<std::string, std::string>> environment;
        // RLIMIT_FSIZE in bytes; negative: the test's own limit.
        long fileSizeLimit = -1;
    };

    ChildProgram(const std::string& program, const std::vector<std::string>& arguments,
                 const Options& options);
    // A child still running is killed and reaped.
    ~ChildProgram();
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;

    // Reads the outputs until standard error holds `text`; false when the
    // child ends first or `seconds` pass.
    bool WaitForError(const std::string& text, int seconds);
    void Signal(int signal);
    // Closes the reading end of standard output, as a reader such as
    // `head` does once it has what it wants.
    void CloseOutput();
    // Reads both outputs to their end and reaps the child; the wait status.
    int Wait();

    const std::string& Out() const { return out_; }
    const std::string& Err() const { return err_; }

private:
    // One poll of both pipes, up to `milliseconds`; false once both ended.
    bool ReadSome(int milliseconds);

    pid_t pid_ = -1;
    int outPipe_ = -1;
    int errPipe_ = -1;
    std::string out_;
    std::string err_;
    int status_ = 0;
};

// "exit N", "signal N" or "status N": how a child ended, for messages.
std::string DescribeStatus(int status);

} // namespace varnex::test
