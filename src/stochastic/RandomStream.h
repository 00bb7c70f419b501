#pragma once

#include <cstdint>

#include "stochastic/RandomSource.h"

namespace varnex {

// The linear congruential generator of the classic C runtime:
// state = state * 214013 + 2531011 (mod 2^32), output (state >> 16) & 0x7FFF,
// initial state 1. A fresh process therefore always reproduces the same run
// (41, 18467, 6334, 26500, 19169, ...), which lets users and reviewers repeat
// an assessment exactly.
class RandomStream : public RandomSource {
public:
    static constexpr std::uint32_t initialState = 1;

    int Next() override {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFFu);
    }
    void Seed(std::uint32_t seed) { state_ = seed; }
    std::uint32_t State() const { return state_; }

private:
    std::uint32_t state_ = initialState;
};

// The process-wide stream, shared by every draw in the program. Only the
// command-line tool reseeds it; the desktop program never does, so the stream
// continues across runs until the program ends.
RandomSource& ProcessRandomSource();
int Rand();
void SetRandomSeed(std::uint32_t seed);

// A uniform deviate in [0, 1] with both ends possible: r / 32767.
inline constexpr double uniformDeviateFactor = 3.051850947599719e-05;
double UniformDeviate();

// Replaces the process-wide source (tests only); nullptr restores the
// generator, which keeps its state.
void SetProcessRandomSource(RandomSource* source);

} // namespace varnex
