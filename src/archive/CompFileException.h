#pragma once

#include <exception>
#include <string>

namespace varnex {

// The archive's error. The message is a fixed prefix chosen by the code
// followed immediately by the file name; these prefixes are part of what users
// see and are kept exactly as the program has always written them.
class CompFileException : public std::exception {
public:
    enum Code { allocationFailed = 0, readFailed = 2, writeFailed = 3 };

    // `systemError`: the errno of the failed system call behind it, 0 when
    // the archive itself refused (a damaged file, a value it cannot hold).
    CompFileException(int code, const std::string& fileName, int systemError = 0);

    int ErrorCode() const noexcept { return code_; }
    int SystemError() const noexcept { return systemError_; }
    const std::string& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    int code_;
    int systemError_;
    std::string message_;
};

} // namespace varnex
