#pragma once

#include <cstdint>

namespace varnex {

// The problems a distribution check can find, one bit each. Bit k is entry
// k + 1 of the message table (entry 0 is "None"). The bits are stored in
// project files as a 32-bit integer, so every bit is now taken: a reader
// older than a bit keeps it and merely shows no message for it.
namespace DistributionError {
enum : std::uint32_t {
    syntax = 1u << 0,
    argumentCount = 1u << 1,
    dataMissing = 1u << 2,
    minimumAboveMaximum = 1u << 3,
    minimumAboveLikely = 1u << 4,
    likelyAboveMaximum = 1u << 5,
    minimumBelowMinLimit = 1u << 6,
    minimumAboveMaxLimit = 1u << 7,
    likelyBelowMinLimit = 1u << 8,
    likelyAboveMaxLimit = 1u << 9,
    maximumBelowMinLimit = 1u << 10,
    maximumAboveMaxLimit = 1u << 11,
    trialsNotPositive = 1u << 12,
    probabilityNotPositive = 1u << 13,
    probabilityNotBelowOne = 1u << 14,
    meanBelowMinLimit = 1u << 15,
    meanAboveMaxLimit = 1u << 16,
    deviationNotPositive = 1u << 17,
    meanNotPositive = 1u << 18,
    rateNotPositive = 1u << 19,
    biasZero = 1u << 20,
    biasAboveOne = 1u << 21,
    valueBelowMinLimit = 1u << 22,
    valueAboveMaxLimit = 1u << 23,
    infiniteRange = 1u << 24,
    valueNotPositive = 1u << 25,
    minimumEqualsMaximum = 1u << 26,
    // Bit 20 stays for files that carry it; a negative bias now sets this.
    biasNegative = 1u << 27,
    trialsAboveMaximum = 1u << 28,
    limitNotNumber = 1u << 29,
    unitFactorOutOfRange = 1u << 30,
    logNormalOutOfRange = 1u << 31,
};
inline constexpr int bitCount = 32;

// The problems of a text that the fields cannot show (the arguments that
// failed to read keep old values): they last until the text is entered again,
// and such a text is never written back from the fields.
inline constexpr std::uint32_t unreadableText = syntax | argumentCount | trialsAboveMaximum;
} // namespace DistributionError

} // namespace varnex
