#pragma once

#include <cstddef>
#include <initializer_list>
#include <vector>

#include "stochastic/RandomSource.h"

namespace varnex::test {

// Replaces the process-wide random stream for its lifetime with a script of
// 15-bit values, repeated cyclically, so a test can reach exact deviates such
// as r = 0 or r = 32767. Counts how many values were consumed.
class ScriptedRandomSource : public RandomSource {
public:
    explicit ScriptedRandomSource(std::vector<int> values);
    ScriptedRandomSource(std::initializer_list<int> values)
        : ScriptedRandomSource(std::vector<int>(values)) {}
    ~ScriptedRandomSource() override;
    ScriptedRandomSource(const ScriptedRandomSource&) = delete;
    ScriptedRandomSource& operator=(const ScriptedRandomSource&) = delete;

    int Next() override;
    std::size_t Consumed() const { return consumed_; }

private:
    std::vector<int> values_;
    std::size_t consumed_ = 0;
};

// Puts every piece of program-wide state back to a fresh program's: the
// random stream (state 1), the iteration count, the parameter identity
// counter, the file version and results flag, the translation and message
// tables.
void ResetProgramState();

} // namespace varnex::test
