#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "stochastic/Distribution.h"

namespace varnex {

class CompFile;

// One physical input of the model: a labelled distribution (with its limits
// and unit factor), an identity number used by input correlations, and one
// sample per Monte Carlo iteration (internal units) once a run has sampled it.
//
// Copies keep the identity and every distribution field but start without
// samples: a copied input is a new input that has not been sampled. Moves
// relocate the samples too, so entities held in growing sequences keep their
// inputs' samples.
class StochasticParameter {
public:
    // An input that takes its identity number later (Renumber), for an
    // input most projects never use: every input made draws the next
    // number, and the numbers are stored, so drawing one for it would
    // shift the numbers of every input made after it.
    struct Unnumbered {};
    static constexpr std::int32_t noIdentity = 0;

    StochasticParameter();
    explicit StochasticParameter(Unnumbered) : id(noIdentity) {}
    StochasticParameter(const StochasticParameter& other);
    StochasticParameter(StochasticParameter&& other) noexcept;
    // Copies what the copy constructor copies; the target's samples stay.
    StochasticParameter& operator=(const StochasticParameter& other);
    StochasticParameter& operator=(StochasticParameter&& other) noexcept;
    virtual ~StochasticParameter() = default;

    // A new identity, for the inputs of a duplicated entity.
    void Renumber();

    bool IsValid() { return distribution.Validate(); }
    bool IsEqual(const StochasticParameter& other) const {
        return distribution.IsEqual(other.distribution);
    }
    const std::string& Label() const { return distribution.Label(); }
    void SetLabel(const std::string& text) { distribution.SetLabel(text); }
    std::string Format() const { return distribution.Format(); }
    std::string ErrorText() const { return distribution.ErrorText(); }

    // Validates; when invalid appends one line to the report: a line feed
    // unless the report is empty, a tab, the owner's name and a blank (first
    // form only), then the error text. Returns whether the input is valid.
    bool AppendReport(std::string& report, const std::string& owner);
    bool AppendReport(std::string& report);

    // One value per iteration for the current iteration count N, drawn in
    // iteration order (or all central values).
    void SampleAll(bool central);
    double SampleOne(std::size_t iteration, bool central);
    // Sample `iteration`, for reading and for replacement by correlation.
    // An index beyond the samples is a programming error (std::out_of_range).
    double& SampleAt(std::size_t iteration);
    double SampleAt(std::size_t iteration) const;
    const std::vector<double>& Samples() const { return samples_; }
    std::size_t SampleCount() const { return samples_.size(); }
    // Sizes the samples to the current iteration count: leading values are
    // kept, new ones are 0.
    void Resize();
    void Resize(int count);
    void FreeSamples();
    // Takes `values` as the samples (one per iteration, already drawn), and
    // the last of them as the distribution's last sample, as SampleAll
    // leaves it.
    void SetSamples(std::vector<double>&& values);

    // Writes the samples as the "Dump" button does: the label, the count with
    // " iterations", then one "number<TAB>value" line per sample. Returns
    // false when the file cannot be written.
    bool DumpSamples(const std::string& path = "debug.txt") const;

    // Stored record; the sample block is present when the file being written
    // or read carries results.
    void Write(CompFile& archive) const;
    void Read(CompFile& archive);

    Distribution distribution;
    std::int32_t id;
    bool auxFlag = false;
    std::int32_t auxValue = 0;

private:
    std::vector<double> samples_;
};

} // namespace varnex
