#pragma once

#include <exception>
#include <string>

namespace varnex {

// The error of a calculation or an input check. The message is already
// translated; `Display()` tells the handler that caught it whether to show it
// to the user (preference errors, for example, are raised unshown).
class Exception : public std::exception {
public:
    Exception(std::string message, bool display = true)
        : message_(std::move(message)), display_(display) {}

    const std::string& Message() const noexcept { return message_; }
    bool Display() const noexcept { return display_; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
    bool display_;
};

} // namespace varnex
