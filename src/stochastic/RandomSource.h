#pragma once

namespace varnex {

// A source of integers in 0..32767, the 15-bit deviates behind every Monte
// Carlo draw. The program has one process-wide source (see RandomStream.h);
// tests substitute scripted sources to reach exact deviates.
class RandomSource {
public:
    static constexpr int maxValue = 32767;

    virtual ~RandomSource() = default;
    virtual int Next() = 0;
};

} // namespace varnex
