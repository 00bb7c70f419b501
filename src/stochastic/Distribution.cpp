#include "stochastic/Distribution.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>

#include "archive/CompFile.h"
#include "base/NumberText.h"
#include "stochastic/DistributionError.h"
#include "stochastic/DistributionLaws.h"
#include "stochastic/DistributionMessages.h"
#include "stochastic/DistributionType.h"
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

// White space as the C library classifies it in the "C" locale, the same set
// ScanDouble skips before a number.
bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::size_t SkipWhiteSpace(std::string_view text, std::size_t position) {
    while (position < text.size() && IsWhiteSpace(text[position])) ++position;
    return position;
}

// The fields the arguments of the current type are read into, in text order,
// and how many arguments the type takes. The trial count of BINOMIAL has no
// double field (it is read through SetTrials), so its target is null.
int ArgumentFields(Distribution& d, double* targets[3]) {
    targets[0] = targets[1] = targets[2] = nullptr;
    switch (d.type) {
    case DistributionType::single: targets[0] = &d.singleValue; return 1;
    case DistributionType::poisson: targets[0] = &d.rate; return 1;
    case DistributionType::exponential: targets[0] = &d.mean; return 1;
    case DistributionType::boolean: targets[0] = &d.bias; return 1;
    case DistributionType::uniform:
    case DistributionType::logUniform:
        targets[0] = &d.minimum;
        targets[1] = &d.maximum;
        return 2;
    case DistributionType::normal:
    case DistributionType::logNormal:
        targets[0] = &d.mean;
        targets[1] = &d.standardDeviation;
        return 2;
    case DistributionType::binomial: targets[1] = &d.probability; return 2;
    case DistributionType::triangular:
    case DistributionType::logTriangular:
        targets[0] = &d.minimum;
        targets[1] = &d.likely;
        targets[2] = &d.maximum;
        return 3;
    default: return 0;
    }
}

// True when every lognormal draw from these arguments is a finite number and
// the draws spread as the law says. The draw is exp(mu + sigma * z) with
// |z| < 6.4 (the polar method on 15-bit deviates cannot go further) and
// mu + sigma * z = ln m - sigma^2 / 2 + sigma * z <= ln m + z^2 / 2, so:
// - m^2 and m^2 + sd^2 must not overflow (beyond about 1.3e154 mu or sigma is
//   infinite or not a number and every draw is 0 or redrawn for ever); once
//   they are finite, ln m < 355 keeps every draw below e^376;
// - m^2 must be a normal double (m above about 1.5e-154): a smaller square
//   has lost its precision or is 0, and sigma comes out 0 or infinite;
// - the ratio (m^2 + sd^2) / m^2 must be finite; then sigma^2 < 710 and, with
//   ln m > -355, mu > -710, so at least half the draws are above zero.
// A tiny deviation may round sigma to 0; the draws are then the mean itself,
// which is the law to double precision, so that stays allowed.
bool LogNormalDrawable(double meanValue, double deviation) {
    const double m2 = meanValue * meanValue;
    if (!std::isnormal(m2)) return false;
    const LogMoments moments = LogNormalMoments(meanValue, deviation);
    return std::isfinite(moments.mu) && std::isfinite(moments.sigma);
}

// The smallest and largest unit factor accepted. The factors of the input
// tables lie between about 3e-6 (mm/yr to m/d) and 1; a factor beyond 1e30
// either way is no unit conversion but a damaged file or a mistyped option,
// and would carry ordinary values out of the range the limits are set in.
constexpr double smallestUnitFactor = 1e-30;
constexpr double largestUnitFactor = 1e30;

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
    decimalComma_ = false;
}

// The text form: a plain number (a SINGLE), or a keyword, "(", the arguments
// separated by commas, ")". The whole text must be used: text after a plain
// number or after the ")", a missing ")" and more arguments than the type
// takes are errors, as a text cut short silently would be drawn from numbers
// the user did not mean. White space is allowed where it always was (before
// a number, so after "(" or a comma; before ")") and, to forgive a pasted
// line end, at the end of the text. A blank between a number and its comma or
// between the keyword and "(" stays an error, as stored texts never have one.
bool Distribution::Parse(const std::string& typed) {
    type = DistributionType::undefined;
    errorFlags = 0;
    textFlags_ = 0;
    decimalComma_ = false;
    // The text is read as the C string it would be in a dialog field.
    const std::string_view text(typed.data(), std::min(typed.size(), typed.find('\0')));
    if (text.empty()) return Validate();

    const std::size_t open = text.find('(');
    if (open == std::string_view::npos) {
        type = DistributionType::single;
        ReadPlainNumber(text);
    } else {
        // Blanks belong to the name, so "NORMAL (1,2)" names no type.
        const std::string name = UpperAscii(text.substr(0, open));
        for (int code = 0; code < DistributionType::count && !name.empty(); ++code) {
            if (name == DistributionKeyword(code)) {
                type = code;
                break;
            }
        }
        if (type == DistributionType::undefined) {
            errorFlags = textFlags_ = syntax;
            return false;
        }
        ReadArguments(text, open);
    }
    if (errorFlags != 0) {
        textFlags_ = errorFlags;
        errorFlags |= SettingFlags();
        return false;
    }

    if (unitFactor != 0.0 && HasUnitArguments(type)) {
        double* targets[3];
        const int wanted = ArgumentFields(*this, targets);
        for (int k = 0; k < wanted; ++k)
            if (targets[k]) *targets[k] *= unitFactor;
    }
    return Validate();
}

void Distribution::ReadPlainNumber(std::string_view text) {
    std::size_t position = 0;
    double value = 0.0;
    // No number at all: the one argument of the SINGLE is missing.
    if (!ScanDouble(text, position, value)) {
        errorFlags |= argumentCount;
        return;
    }
    // Numbers that are not finite ("nan", "inf", "1e999") can never be
    // sampled or compared against limits.
    if (!std::isfinite(value)) errorFlags |= syntax;
    singleValue = value;
    position = SkipWhiteSpace(text, position);
    if (position == text.size()) return;
    errorFlags |= syntax;
    // "0,25" is a quarter typed the way much of Europe writes it; read as 0
    // it would be a thousand times off, so it is refused with a hint.
    decimalComma_ = text[position] == ',' && position + 1 < text.size() &&
                    text[position + 1] >= '0' && text[position + 1] <= '9';
}

// Reads the arguments like scanf's "(%lf, %lf, ...)" (white space before each
// number, each comma directly after its number), then requires the ")" and
// nothing but white space after it. Like the scan it mirrors, the fields
// converted before a failure are stored; the rest keep their old values.
void Distribution::ReadArguments(std::string_view text, std::size_t open) {
    double* targets[3];
    const int wanted = ArgumentFields(*this, targets);
    double values[3] = {0.0, 0.0, 0.0};
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
    for (int k = 0; k < converted; ++k) {
        if (!std::isfinite(values[k])) errorFlags |= syntax;
        if (targets[k]) *targets[k] = values[k];
    }
    if (type == DistributionType::binomial && converted >= 1 && std::isfinite(values[0])) {
        // The count is stored in 16 bits. A count too large cannot be kept
        // and is a problem of the text; one far below zero is kept as the
        // lowest count, which the check refuses as not positive.
        if (std::trunc(values[0]) > 32767.0)
            errorFlags |= trialsAboveMaximum;
        else if (!SetTrials(values[0]))
            trials = std::numeric_limits<std::int16_t>::min();
    }
    if (converted < wanted) {
        errorFlags |= argumentCount;
        return;
    }
    position = SkipWhiteSpace(text, position);
    if (position < text.size() && text[position] == ',') {
        errorFlags |= argumentCount; // more arguments than the type takes
        return;
    }
    if (position >= text.size() || text[position] != ')' ||
        SkipWhiteSpace(text, position + 1) != text.size())
        errorFlags |= syntax;
}

bool Distribution::SetTrials(double count) {
    const double whole = std::trunc(count);
    if (!(whole >= -32768.0 && whole <= 32767.0)) return false;
    trials = static_cast<std::int16_t>(whole);
    textFlags_ = 0;
    return true;
}

bool Distribution::ArgumentsAreNumbers() const {
    switch (type) {
    case DistributionType::single: return std::isfinite(singleValue);
    case DistributionType::uniform:
    case DistributionType::logUniform: return std::isfinite(minimum) && std::isfinite(maximum);
    case DistributionType::triangular:
    case DistributionType::logTriangular:
        return std::isfinite(minimum) && std::isfinite(likely) && std::isfinite(maximum);
    case DistributionType::normal:
    case DistributionType::logNormal:
        return std::isfinite(mean) && std::isfinite(standardDeviation);
    case DistributionType::poisson: return std::isfinite(rate);
    case DistributionType::binomial: return std::isfinite(probability);
    case DistributionType::exponential: return std::isfinite(mean);
    case DistributionType::boolean: return std::isfinite(bias);
    default: return true;
    }
}

std::uint32_t Distribution::SettingFlags() const {
    std::uint32_t flags = 0;
    // A limit that is not a number compares false with everything, so every
    // value would pass it unchecked. (An infinite limit is a fair "none".)
    if (std::isnan(minLimit) || std::isnan(maxLimit)) flags |= limitNotNumber;
    if (unitFactor != 0.0 && !(unitFactor >= smallestUnitFactor && unitFactor <= largestUnitFactor))
        flags |= unitFactorOutOfRange;
    return flags;
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
    // The input's setting is checked here, not where it is set, so that every
    // way in (project files, the JSON form, the command line) is covered.
    const std::uint32_t settingFlags = SettingFlags();
    if (textFlags_ != 0 || settingFlags != 0) {
        errorFlags = textFlags_ | settingFlags;
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
            if (mean > 0.0 && standardDeviation > 0.0 &&
                !LogNormalDrawable(mean, standardDeviation))
                errorFlags |= logNormalOutOfRange;
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
        if (bias < 0.0) errorFlags |= biasNegative;
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
        // Only while the syntax error is still that of the text read.
        if (bit == 0 && decimalComma_ && (textFlags_ & syntax) != 0)
            text += "\n " + DecimalSeparatorHint();
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
        if (u < triangularLowEnd) return minimum;
        if (u > triangularHighEnd) return maximum;
        if (maximum == minimum) return likely;
        if (type == DistributionType::triangular)
            return TriangularValue(u, minimum, likely, maximum);
        return std::pow(
            10.0, TriangularValue(u, std::log10(minimum), std::log10(likely), std::log10(maximum)));
    }
    case DistributionType::normal: {
        long attempts = 0;
        return PolarNormal(mean, standardDeviation, attempts);
    }
    case DistributionType::logNormal: {
        // Moments of the variable itself turned into those of its logarithm.
        const LogMoments moments = LogNormalMoments(mean, standardDeviation);
        long attempts = 0;
        return std::exp(PolarNormal(moments.mu, moments.sigma, attempts));
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
    case DistributionType::binomial:
        return trials == other.trials && probability == other.probability;
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
    if (std::isnan(minLimit) || std::isnan(maxLimit)) errorFlags |= limitNotNumber;
    textFlags_ = errorFlags & unreadableText;
    decimalComma_ = false;
}

} // namespace varnex
