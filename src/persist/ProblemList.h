#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace varnex {

// The problems found in a document, collected all together as the user
// needs them, but only the first hundred listed: a document of millions of
// bad values would otherwise print gigabytes. The rest are counted, and
// Finish says how many there were.
class ProblemList {
public:
    static constexpr std::size_t listed = 100;

    explicit ProblemList(std::vector<std::string>& lines) : lines_(lines) {}

    void Add(std::string text) {
        if (lines_.size() < listed)
            lines_.push_back(std::move(text));
        else
            ++unlisted_;
    }
    bool Empty() const { return lines_.empty(); }
    // Appends "... and N more problems" when any went unlisted.
    void Finish() {
        if (unlisted_ > 0)
            lines_.push_back("... and " + std::to_string(unlisted_) +
                             (unlisted_ == 1 ? " more problem" : " more problems"));
        unlisted_ = 0;
    }

private:
    std::vector<std::string>& lines_;
    std::size_t unlisted_ = 0;
};

} // namespace varnex
