#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace varnex {

class CompFile;

// One input's probability distribution: its type and arguments (internal
// units), the limits the owning input allows, the input's label, the factor
// from display units to internal units, and the problems found by the last
// check. Parses and writes the text form ("TRIANGULAR(0.1,0.25,0.4)"),
// checks it, draws Monte Carlo values from the process-wide random stream and
// stores itself in project files.
//
// Only the fields of the current type have meaning; the others keep whatever
// they last held and are stored and copied all the same.
class Distribution {
public:
    static constexpr double defaultMaxLimit = 1e30;

    Distribution() = default;
    Distribution(const Distribution&) = default;
    Distribution(Distribution&&) noexcept = default;
    Distribution& operator=(const Distribution&) = default;
    Distribution& operator=(Distribution&&) noexcept = default;
    virtual ~Distribution() = default;

    // Stored record, in file order. Archive errors pass through as
    // CompFileException.
    virtual void Read(CompFile& archive);
    virtual void Write(CompFile& archive) const;

    // Reads the text form, converts to internal units and checks it. The
    // whole text must be used; only white space may follow it.
    bool Parse(const std::string& text);
    // Recomputes errorFlags from the current fields.
    bool Validate();
    // The text form in display units, numbers with `precision` significant
    // digits (6 by default, as a stream writes a double; 15 keeps every digit
    // a user types while hiding the rounding of the unit conversion).
    std::string Format(int precision = 6) const;
    std::string ErrorText() const;

    // One random draw (or the central value), stored in `sample`. Draws that
    // are negative or not finite are discarded and drawn again.
    double Draw(bool central);
    double CentralValue();
    void Reset();
    bool IsEqual(const Distribution& other) const;
    // Converts a stored model to other units: the values with a unit and the
    // limits are multiplied; bias, trials, probability and rate are not.
    void ScaleValues(double factor);

    // Display-unit accessors: values with a unit are divided (getters) or
    // multiplied (setters) by unitFactor when it is not 0.
    double GetSingleValue() const;
    double GetMinimum() const;
    double GetLikely() const;
    double GetMaximum() const;
    double GetMean() const;
    double GetStandardDeviation() const;
    double GetRate() const { return rate; }
    int GetTrials() const { return trials; }
    void SetSingleValue(double value);
    void SetMinimumMaximum(double minimumValue, double maximumValue);
    void SetMinimumLikelyMaximum(double minimumValue, double likelyValue, double maximumValue);
    void SetMeanStandardDeviation(double meanValue, double deviationValue);
    void SetExponentialMean(double meanValue);
    void SetRate(double rateValue);
    void SetProbability(double probabilityValue);
    // A trial count as typed: truncated toward zero; a count that does not
    // fit the stored 16 bits is refused (returns false, `trials` unchanged).
    bool SetTrials(double count);

    const std::string& Label() const { return label; }
    void SetLabel(const std::string& text) { label = text; }

    double singleValue = 0.0;
    double unitFactor = 0.0;
    std::string label;
    std::int32_t type = 0;
    double minLimit = 0.0;
    double maxLimit = defaultMaxLimit;
    double sample = 0.0;
    double minimum = 0.0;
    double likely = 0.0;
    double maximum = 0.0;
    double mean = 0.0;
    double standardDeviation = 0.0;
    double bias = 0.0;
    std::int16_t trials = 0;
    double probability = 0.0;
    double rate = 0.0;
    std::uint32_t errorFlags = 0;

private:
    double ToInternal(double displayValue) const;
    double ToDisplay(double internalValue) const;
    bool ArgumentsAreNumbers() const;
    // The problems of the input's setting rather than of its text: a limit
    // that is not a number, a unit factor no unit has.
    std::uint32_t SettingFlags() const;
    void ReadArguments(std::string_view text, std::size_t open);
    void ReadPlainNumber(std::string_view text);
    void CheckRange(double value, std::uint32_t belowMinBit, std::uint32_t aboveMaxBit);
    double DrawOnce();

    // The text problems (DistributionError::unreadableText: "Syntax Error",
    // "Incorrect number of arguments", a trial count beyond 16 bits) of the
    // last Parse or Read. A check of the fields cannot see them, because
    // the arguments that failed to read still hold old values, so Validate
    // keeps reporting them until the text is entered again.
    std::uint32_t textFlags_ = 0;
    // The last Parse read a plain number followed by a comma and a digit
    // ("0,25"): the syntax error is most likely a decimal comma.
    bool decimalComma_ = false;
};

// Deviates in a draw with no finite value at the top of the 15-bit range:
// the exponential quantile at u = 1 is infinite, so the top deviate stands for
// the upper half of the last step, 1 - u = 0.5 / 32767.
inline constexpr double exponentialTopTail = 0.5 / 32767.0;

} // namespace varnex
