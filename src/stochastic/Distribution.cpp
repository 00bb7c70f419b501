#include "stochastic/Distribution.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "persist/CompFile.h"
#include "stochastic/DistributionError.h"
#include "stochastic/DistributionMessages.h"
#include "stochastic/DistributionType.h"
#include "settings/NumberText.h"
#include "stochastic/RandomStream.h"

namespace varnex {

namespace {

using namespace DistributionError;

// A draw that keeps failing (only possible for a distribution that bypassed
// its check) gives up after this many attempts instead of hanging the run.
constexpr long maximumDrawAttempts = 100000;

// Beyond this rate e^-rate approaches the smallest doubles and the product
// form of the Poisson draw would stop at underflow instead of at e^-rate.
constexpr double poissonProductRateLimit = 700.0;
// Beyond this rate the normal approximation is used; its skewness error,
// 1/sqrt(rate), is below 0.001, and the draw costs two deviates instead of
// one per unit of rate.
constexpr double poissonNormalRateLimit = 1e6;

std::string UpperAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

// Reads the arguments like scanf's "%*[^(](%lf, %lf, ...)": the name up to the
// first "(" is skipped, each number may be preceded by white space, each comma
// must follow its number directly. Returns how many numbers were converted.
int ScanArguments(std::string_view text, int wanted, double* values) {
    const std::size_t open = text.find('(');
    if (open == std::string_view::npos || open == 0) return 0;
    std::size_t position = open + 1;
    int converted = 0;
    while (converted < wanted) {
        if (converted > 0) {
            if (position >= text.size() || text[position] != ',') break;
            ++position;
        }
        if (!ScanDouble(text, position, values[converted])) break;
        ++converted;
    }
    return converted;
}

// One standard normal variate by the polar method, as mean + sd * w2 * f. The
// first variate of each pair is discarded, as the program always has, so each
// normal draw consumes its own pair of deviates.
double PolarNormal(double meanValue, double deviation, long& attempts) {
    double w1 = 0.0, w2 = 0.0, s = 0.0;
    do {
        w1 = 2.0 * UniformDeviate() - 1.0;
        w2 = 2.0 * UniformDeviate() - 1.0;
        s = w1 * w1 + w2 * w2;
    } while (s > 1.0 && ++attempts < maximumDrawAttempts);
    return meanValue + deviation * w2 * std::sqrt(-2.0 * std::log(s) / s);
}

double TriangularValue(double u, double low, double mode, double high) {
    const double p = (mode - low) / (high - low);
    if (u < p) return low + std::sqrt(u / p) * (mode - low);
    return high - std::sqrt((1.0 - u) / (1.0 - p)) * (high - mode);
}

// A deviate of 0 stands for the lower half of the first step, u = 0.5 / 32767,
// in the Poisson draw: ln 0 would end the count at once, at a small value
// that has nothing to do with the rate. For rates up to 11 the product with
// this deviate still falls below e^-rate, so those draws are unchanged.
double PoissonDeviate() {
    const double u = UniformDeviate();
    return u > 0.0 ? u : exponentialTopTail;
}

std::string LimitText(double limit) { return " (" + FormatG(limit) + ")"; }

} // namespace

double Distribution::ToInternal(double displayValue) const {
    return unitFactor != 0.0 ? displayValue * unitFactor : displayValue;
}

double Distribution::ToDisplay(double internalValue) const {
    return unitFactor != 0.0 ? internalValue / unitFactor : internalValue;
}

void Distribution::Reset() {
    singleValue = 0.0;
    unitFactor = 0.0;
    type = DistributionType::undefined;
    minLimit = 0.0;
    maxLimit = defaultMaxLimit;
    sample = 0.0;
    minimum = likely = maximum = 0.0;
    mean = standardDeviation = 0.0;
    bias = 0.0;
    trials = 0;
    probability = 0.0;
    rate = 0.0;
    errorFlags = 0;
    textFlags_ = 0;
}

bool Distribution::Parse(const std::string& typed) {
    type = DistributionType::undefined;
    errorFlags = 0;
    textFlags_ = 0;
    // The text is read as the C string it would be in a dialog field.
    const std::string_view text(typed.data(), std::min(typed.size(), typed.find('\0')));
    if (text.empty()) return Validate();

    std::string working;
    const std::size_t open = text.find('(');
    if (open == std::string_view::npos) {
        working = "SINGLE(" + std::string(text) + ")";
        type = DistributionType::single;
    } else {
        // Blanks belong to the name, so "NORMAL (1,2)" names no type.
        const std::string name = UpperAscii(text.substr(0, open));
        if (name.empty()) errorFlags |= syntax;
        for (int code = 0; code < DistributionType::count; ++code) {
            if (name == DistributionKeyword(code)) {
                type = code;
                break;
            }
        }
        if (type == DistributionType::undefined) errorFlags |= syntax;
        working = std::string(text);
    }
    if (type == DistributionType::undefined || errorFlags != 0) {
        type = DistributionType::undefined;
        textFlags_ = errorFlags;
        return false;
    }

    double values[3] = {0.0, 0.0, 0.0};
    int wanted = 1;
    switch (type) {
    case DistributionType::uniform:
    case DistributionType::logUniform:
    case DistributionType::normal:
    case DistributionType::logNormal:
    case DistributionType::binomial: wanted = 2; break;
    case DistributionType::triangular:
    case DistributionType::logTriangular: wanted = 3; break;
    default: break;
    }
    const int converted = ScanArguments(working, wanted, values);
    // Like the scan it mirrors, the fields converted before a failure are
    // stored; the rest keep their old values.
    double* targets[3] = {nullptr, nullptr, nullptr};
    switch (type) {
    case DistributionType::single: targets[0] = &singleValue; break;
    case DistributionType::poisson: targets[0] = &rate; break;
    case DistributionType::exponential: targets[0] = &mean; break;
    case DistributionType::boolean: targets[0] = &bias; break;
    case DistributionType::uniform:
    case DistributionType::logUniform: targets[0] = &minimum; targets[1] = &maximum; break;
    case DistributionType::normal:
    case DistributionType::logNormal: targets[0] = &mean; targets[1] = &standardDeviation; break;
    case DistributionType::binomial: targets[1] = &probability; break;
    case DistributionType::triangular:
    case DistributionType::logTriangular:
        targets[0] = &minimum; targets[1] = &likely; targets[2] = &maximum;
        break;
    default: break;
    }
    for (int k = 0; k < converted; ++k) {
        // Numbers that are not finite ("nan", "inf", "1e999") can never be
        // sampled or compared against limits.
        if (!std::isfinite(values[k])) errorFlags |= syntax;
        if (targets[k]) *targets[k] = values[k];
    }
    if (type == DistributionType::binomial && converted >= 1 && std::isfinite(values[0])) {
        if (!SetTrials(values[0])) errorFlags |= syntax;
    }
    if (converted < wanted) errorFlags |= argumentCount;
    if (errorFlags != 0) {
        textFlags_ = errorFlags;
        return false;
    }

    if (unitFactor != 0.0 && HasUnitArguments(type)) {
        for (int k = 0; k < wanted; ++k)
            if (targets[k]) *targets[k] *= unitFactor;
    }
    return Validate();
}

bool Distribution::SetTrials(double count) {
    const double whole = std::trunc(count);
    if (!(whole >= -32768.0 && whole <= 32767.0)) return false;
    trials = static_cast<std::int16_t>(whole);
    textFlags_ = 0;
    return true;
}

bool Distribution::ArgumentsAreNumbers() const {
    if (std::isnan(minLimit) || std::isnan(maxLimit)) return false;
    switch (type) {
    case DistributionType::single: return std::isfinite(singleValue);
    case DistributionType::uniform:
    case DistributionType::logUniform: return std::isfinite(minimum) && std::isfinite(maximum);
    case DistributionType::triangular:
    case DistributionType::logTriangular:
        return std::isfinite(minimum) && std::isfinite(likely) && std::isfinite(maximum);
    case DistributionType::normal:
    case DistributionType::logNormal: return std::isfinite(mean) && std::isfinite(standardDeviation);
    case DistributionType::poisson: return std::isfinite(rate);
    case DistributionType::binomial: return std::isfinite(probability);
    case DistributionType::exponential: return std::isfinite(mean);
    case DistributionType::boolean: return std::isfinite(bias);
    default: return true;
    }
}

void Distribution::CheckRange(double value, std::uint32_t belowMinBit, std::uint32_t aboveMaxBit) {
    if (value < minLimit) errorFlags |= belowMinBit;
    if (maxLimit > 0.0 && value > maxLimit) errorFlags |= aboveMaxBit;
}

bool Distribution::Validate() {
    errorFlags = 0;
    if (type == DistributionType::undefined) {
        errorFlags = dataMissing;
        return false;
    }
    if (textFlags_ != 0) {
        errorFlags = textFlags_;
        return false;
    }
    // A code no keyword has (only from a damaged file) and arguments that are
    // not numbers cannot be drawn from.
    if (type < 0 || type >= DistributionType::count || !ArgumentsAreNumbers()) {
        errorFlags = syntax;
        return false;
    }
    switch (type) {
    case DistributionType::single:
        CheckRange(singleValue, valueBelowMinLimit, valueAboveMaxLimit);
        if (singleValue < 0.0) errorFlags |= valueNotPositive;
        break;
    case DistributionType::uniform:
    case DistributionType::logUniform:
        CheckRange(minimum, minimumBelowMinLimit, minimumAboveMaxLimit);
        CheckRange(maximum, maximumBelowMinLimit, maximumAboveMaxLimit);
        if (minimum > maximum) errorFlags |= minimumAboveMaximum;
        if (minimum == maximum) errorFlags |= minimumEqualsMaximum;
        if (minimum < 0.0) errorFlags |= valueNotPositive;
        if (maximum < 0.0) errorFlags |= valueNotPositive;
        if (type == DistributionType::logUniform) {
            if (minimum == 0.0) errorFlags |= valueNotPositive;
            if (maximum == 0.0) errorFlags |= valueNotPositive;
        }
        break;
    case DistributionType::triangular:
    case DistributionType::logTriangular:
        CheckRange(minimum, minimumBelowMinLimit, minimumAboveMaxLimit);
        CheckRange(likely, likelyBelowMinLimit, likelyAboveMaxLimit);
        CheckRange(maximum, maximumBelowMinLimit, maximumAboveMaxLimit);
        if (minimum == maximum) errorFlags |= minimumEqualsMaximum;
        if (minimum > likely) errorFlags |= minimumAboveLikely;
        if (minimum > maximum) errorFlags |= minimumAboveMaximum;
        if (likely > maximum) errorFlags |= likelyAboveMaximum;
        if (minimum < 0.0 || likely < 0.0 || maximum < 0.0) errorFlags |= valueNotPositive;
        if (type == DistributionType::logTriangular &&
            (minimum == 0.0 || likely == 0.0 || maximum == 0.0))
            errorFlags |= valueNotPositive;
        break;
    case DistributionType::normal:
    case DistributionType::logNormal:
        CheckRange(mean, valueBelowMinLimit, valueAboveMaxLimit);
        if (standardDeviation <= 0.0) errorFlags |= deviationNotPositive;
        if (mean < 0.0) errorFlags |= meanNotPositive;
        if (type == DistributionType::logNormal) {
            if (mean == 0.0) errorFlags |= meanNotPositive;
            if (standardDeviation == 0.0) errorFlags |= deviationNotPositive;
        }
        break;
    case DistributionType::poisson:
        if (rate <= 0.0) errorFlags |= rateNotPositive;
        break;
    case DistributionType::binomial:
        if (trials < 1) errorFlags |= trialsNotPositive;
        if (probability < 0.0) errorFlags |= probabilityNotPositive;
        if (probability > 1.0) errorFlags |= probabilityNotBelowOne;
        break;
    case DistributionType::exponential:
        if (mean < 0.0) errorFlags |= meanNotPositive;
        if (mean < minLimit) errorFlags |= meanBelowMinLimit;
        if (maxLimit > 0.0 && mean > maxLimit) errorFlags |= meanAboveMaxLimit;
        break;
    case DistributionType::boolean:
        if (bias > 1.0) errorFlags |= biasAboveOne;
        if (bias < 0.0) errorFlags |= biasZero;
        break;
    default: break;
    }
    return errorFlags == 0;
}

std::string Distribution::ErrorText() const {
    if (errorFlags == 0) return std::string();
    std::string text = label;
    if (!label.empty()) text += " - ";
    bool first = true;
    for (int bit = 0; bit < DistributionError::bitCount; ++bit) {
        if ((errorFlags & (1u << bit)) == 0) continue;
        if (!first) text += "\n ";
        first = false;
        text += DistributionMessage(bit + 1);
        if (MessageCarriesMinLimit(bit)) text += LimitText(minLimit);
        if (MessageCarriesMaxLimit(bit)) text += LimitText(maxLimit);
    }
    return text;
}

std::string Distribution::Format(int precision) const {
    if (type == DistributionType::undefined) return "UNDEFINED";
    const std::string keyword = DistributionKeyword(type);
    if (keyword.empty()) return std::string();
    auto unit = [this, precision](double value) { return FormatG(ToDisplay(value), precision); };
    std::string arguments;
    switch (type) {
    case DistributionType::single: arguments = unit(singleValue); break;
    case DistributionType::uniform:
    case DistributionType::logUniform: arguments = unit(minimum) + "," + unit(maximum); break;
    case DistributionType::triangular:
    case DistributionType::logTriangular:
        arguments = unit(minimum) + "," + unit(likely) + "," + unit(maximum);
        break;
    case DistributionType::normal:
    case DistributionType::logNormal: arguments = unit(mean) + "," + unit(standardDeviation); break;
    case DistributionType::poisson: arguments = FormatG(rate, precision); break;
    case DistributionType::binomial:
        arguments = std::to_string(trials) + "," + FormatG(probability, precision);
        break;
    case DistributionType::exponential: arguments = unit(mean); break;
    case DistributionType::boolean: arguments = FormatG(bias, precision); break;
    default: break;
    }
    return keyword + "(" + arguments + ")";
}

double Distribution::CentralValue() {
    switch (type) {
    case DistributionType::single: sample = singleValue; break;
    case DistributionType::uniform: sample = (maximum + minimum) * 0.5; break;
    case DistributionType::logUniform:
        sample = (minimum > 0.0 && maximum > 0.0)
                     ? std::pow(10.0, (std::log10(minimum) + std::log10(maximum)) * 0.5)
                     : 0.0;
        break;
    case DistributionType::triangular:
    case DistributionType::logTriangular: sample = likely; break;
    case DistributionType::normal:
    case DistributionType::logNormal:
    case DistributionType::exponential: sample = mean; break;
    case DistributionType::poisson: sample = rate; break;
    case DistributionType::binomial: sample = trials * probability; break;
    case DistributionType::boolean: sample = 0.0; break;
    default: break;
    }
    return sample;
}

double Distribution::DrawOnce() {
    switch (type) {
    case DistributionType::single: return singleValue;
    case DistributionType::uniform: return minimum + UniformDeviate() * (maximum - minimum);
    case DistributionType::logUniform: {
        const double a = std::log10(minimum);
        const double b = std::log10(maximum);
        return std::pow(10.0, a + UniformDeviate() * (b - a));
    }
    case DistributionType::triangular:
    case DistributionType::logTriangular: {
        const double u = UniformDeviate();
        if (u < 1e-8) return minimum;
        if (u > 0.99999999) return maximum;
        if (maximum == minimum) return likely;
        if (type == DistributionType::triangular) return TriangularValue(u, minimum, likely, maximum);
        return std::pow(10.0, TriangularValue(u, std::log10(minimum), std::log10(likely),
                                              std::log10(maximum)));
    }
    case DistributionType::normal: {
        long attempts = 0;
        return PolarNormal(mean, standardDeviation, attempts);
    }
    case DistributionType::logNormal: {
        // Moments of the variable itself turned into those of its logarithm.
        const double m2 = mean * mean;
        const double sd2 = standardDeviation * standardDeviation;
        const double sigma = std::sqrt(std::log((sd2 + m2) / m2));
        const double mu = std::log(m2 / std::sqrt(m2 + sd2));
        long attempts = 0;
        return std::exp(PolarNormal(mu, sigma, attempts));
    }
    case DistributionType::poisson: {
        // Knuth: multiply deviates until the product falls to e^-rate.
        int k = -1;
        if (rate <= poissonProductRateLimit) {
            const double limit = std::exp(-rate);
            double p = 1.0;
            do {
                ++k;
                p *= PoissonDeviate();
            } while (p > limit);
            return k;
        }
        if (rate <= poissonNormalRateLimit) {
            // The same test in logarithms, which cannot underflow.
            double logP = 0.0;
            do {
                ++k;
                logP += std::log(PoissonDeviate());
            } while (logP > -rate);
            return k;
        }
        long attempts = 0;
        return std::floor(PolarNormal(rate, std::sqrt(rate), attempts) + 0.5);
    }
    case DistributionType::binomial: {
        int successes = 0;
        for (int trial = 0; trial < trials; ++trial)
            if (UniformDeviate() < probability) ++successes;
        return successes;
    }
    case DistributionType::exponential: {
        const double u = UniformDeviate();
        const double tail = u < 1.0 ? 1.0 - u : exponentialTopTail;
        // ln(1) is 0, and -mean * 0 would be a negative zero.
        const double value = -mean * std::log(tail);
        return value == 0.0 ? 0.0 : value;
    }
    case DistributionType::boolean: return UniformDeviate() > 0.5 - 0.5 * bias ? 1.0 : 0.0;
    default: return sample;
    }
}

double Distribution::Draw(bool central) {
    if (type == DistributionType::undefined) return sample;
    if (central) return CentralValue();
    if (type < 0 || type >= DistributionType::count) return sample;
    if (type == DistributionType::single) return sample = singleValue;
    for (long attempt = 0; attempt < maximumDrawAttempts; ++attempt) {
        sample = DrawOnce();
        if (sample >= 0.0 && std::isfinite(sample)) return sample;
    }
    // Reached only by a distribution that never passed its check.
    return CentralValue();
}

bool Distribution::IsEqual(const Distribution& other) const {
    if (type != other.type) return false;
    switch (type) {
    case DistributionType::single: return singleValue == other.singleValue;
    case DistributionType::uniform:
    case DistributionType::logUniform: return minimum == other.minimum && maximum == other.maximum;
    case DistributionType::triangular:
    case DistributionType::logTriangular:
        return minimum == other.minimum && likely == other.likely && maximum == other.maximum;
    case DistributionType::normal:
    case DistributionType::logNormal:
        return mean == other.mean && standardDeviation == other.standardDeviation;
    case DistributionType::poisson: return rate == other.rate;
    case DistributionType::binomial: return trials == other.trials && probability == other.probability;
    case DistributionType::exponential: return mean == other.mean;
    case DistributionType::boolean: return bias == other.bias;
    default: return true;
    }
}

void Distribution::ScaleValues(double factor) {
    sample *= factor;
    singleValue *= factor;
    minimum *= factor;
    likely *= factor;
    maximum *= factor;
    mean *= factor;
    standardDeviation *= factor;
    minLimit *= factor;
    maxLimit *= factor;
}

double Distribution::GetSingleValue() const { return ToDisplay(singleValue); }
double Distribution::GetMinimum() const { return ToDisplay(minimum); }
double Distribution::GetLikely() const { return ToDisplay(likely); }
double Distribution::GetMaximum() const { return ToDisplay(maximum); }
double Distribution::GetMean() const { return ToDisplay(mean); }
double Distribution::GetStandardDeviation() const { return ToDisplay(standardDeviation); }

void Distribution::SetSingleValue(double value) {
    singleValue = ToInternal(value);
    textFlags_ = 0;
}

void Distribution::SetMinimumMaximum(double minimumValue, double maximumValue) {
    minimum = ToInternal(minimumValue);
    maximum = ToInternal(maximumValue);
    textFlags_ = 0;
}

void Distribution::SetMinimumLikelyMaximum(double minimumValue, double likelyValue,
                                           double maximumValue) {
    minimum = ToInternal(minimumValue);
    likely = ToInternal(likelyValue);
    maximum = ToInternal(maximumValue);
    textFlags_ = 0;
}

void Distribution::SetMeanStandardDeviation(double meanValue, double deviationValue) {
    mean = ToInternal(meanValue);
    standardDeviation = ToInternal(deviationValue);
    textFlags_ = 0;
}

void Distribution::SetExponentialMean(double meanValue) {
    mean = ToInternal(meanValue);
    textFlags_ = 0;
}

void Distribution::SetRate(double rateValue) {
    rate = rateValue;
    textFlags_ = 0;
}

void Distribution::SetProbability(double probabilityValue) {
    probability = probabilityValue;
    textFlags_ = 0;
}

void Distribution::Write(CompFile& archive) const {
    archive.WriteString(label)
        .WriteDouble(singleValue)
        .WriteDouble(minimum)
        .WriteDouble(likely)
        .WriteDouble(maximum)
        .WriteDouble(mean)
        .WriteDouble(standardDeviation)
        .WriteDouble(bias)
        .WriteShort(trials)
        .WriteDouble(probability)
        .WriteDouble(rate)
        .WriteShort(static_cast<std::int16_t>(type))
        .WriteDouble(minLimit)
        .WriteDouble(maxLimit)
        .WriteInt(static_cast<std::int32_t>(errorFlags));
}

void Distribution::Read(CompFile& archive) {
    std::int16_t storedType = 0;
    std::int32_t storedFlags = 0;
    archive.ReadString(label)
        .ReadDouble(singleValue)
        .ReadDouble(minimum)
        .ReadDouble(likely)
        .ReadDouble(maximum)
        .ReadDouble(mean)
        .ReadDouble(standardDeviation)
        .ReadDouble(bias)
        .ReadShort(trials)
        .ReadDouble(probability)
        .ReadDouble(rate)
        .ReadShort(storedType)
        .ReadDouble(minLimit)
        .ReadDouble(maxLimit)
        .ReadInt(storedFlags);
    type = storedType;
    errorFlags = static_cast<std::uint32_t>(storedFlags);
    // The flags are restored as stored, without a new check; but a file must
    // never bring in arguments that cannot be drawn from, and a text that was
    // unreadable when it was saved stays unreadable.
    if (type != DistributionType::undefined && !ArgumentsAreNumbers()) errorFlags |= syntax;
    if (type < 0 || type >= DistributionType::count) errorFlags |= syntax;
    textFlags_ = errorFlags & (syntax | argumentCount);
}

} // namespace varnex
