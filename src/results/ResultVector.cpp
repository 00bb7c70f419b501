#include "results/ResultVector.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <utility>

#include "archive/CompFile.h"
#include "archive/CompFileException.h"
#include "results/ResultStatistics.h"
#include "stochastic/IterationCount.h"

namespace varnex {

namespace {

// The program-wide iteration count as a size; a negative count (a damaged
// project) sizes nothing rather than wrapping round to a huge size.
std::size_t CurrentIterationCount() {
    return static_cast<std::size_t>(std::max(IterationCount(), 0));
}

// A damaged count must not make the reader reserve gigabytes before the first
// value turns out to be missing: memory beyond this grows with the values
// actually read.
constexpr std::size_t maximumUpfrontReserve = 65536;

} // namespace

// A vector takes its memory when a run prepares it, not when its entity is
// created: a project holds result vectors for every inventory entry of every
// source, most of which a run never writes, and sizing them all to N at
// creation would cost gigabytes for a large project at 10,000 iterations.
ResultVector::ResultVector() = default;

ResultVector::ResultVector(std::string label) : label_(std::move(label)) {}

void ResultVector::Prepare(std::size_t n, bool zero) {
    const std::size_t size = n == 0 ? CurrentIterationCount() : n;
    if (zero) {
        values_.assign(size, 0.0);
    } else {
        values_.resize(size, 0.0);
    }
}

double& ResultVector::At(std::size_t i) { return values_.at(i); }

double ResultVector::At(std::size_t i) const { return values_.at(i); }

void ResultVector::ComputeStatistics() {
    const std::size_t n = values_.size();
    if (n == 0) {
        // Percentiles are cleared too: an emptied vector must not go on
        // showing the percentiles of an earlier run.
        sum_ = 0.0;
        percentileValues_.fill(0.0);
        minimum_ = maximum_ = mean_ = standardDeviation_ = variance_ = 0.0;
        return;
    }

    std::vector<double> sorted(values_);
    SortValues(sorted);

    for (std::size_t j = 0; j < percentileValues_.size(); ++j) {
        percentileValues_[j] = Percentile(sorted, percentileLevels_[j]);
    }
    minimum_ = sorted.front();
    maximum_ = sorted.back();

    // Summed from the smallest value up, so that small values are not lost
    // against a large running total before they have accumulated.
    double sum = 0.0;
    double sumOfSquares = 0.0;
    for (const double x : sorted) {
        sum += x;
        sumOfSquares += x * x;
    }
    sum_ = sum;
    const double count = static_cast<double>(n);
    mean_ = sum / count;

    if (n < 2) {
        variance_ = 0.0;
        standardDeviation_ = 0.0;
    } else {
        // One-pass (textbook) sample variance with denominator n - 1. It can
        // come out slightly negative by cancellation when all values are
        // (nearly) equal, hence the absolute value under the root.
        variance_ = (count * sumOfSquares - sum * sum) / (count * (count - 1.0));
        standardDeviation_ = std::sqrt(std::fabs(variance_));
    }
    // Values near the top of the double range overflow these sums although
    // every value is finite; the same statistics are then formed from the
    // values scaled by the largest magnitude, which cannot overflow.
    if (!std::isfinite(mean_) || !std::isfinite(variance_)) ScaledMoments(sorted);
}

bool ResultVector::StatisticsRepresentable() const {
    return std::isfinite(mean_) && std::isfinite(variance_) && std::isfinite(standardDeviation_);
}

void ResultVector::ScaledMoments(const std::vector<double>& sorted) {
    const double count = static_cast<double>(sorted.size());
    const double scale = std::max(std::fabs(sorted.front()), std::fabs(sorted.back()));
    if (!std::isfinite(scale)) return; // values that are not finite have no moments to rescue
    double sum = 0.0;
    double sumOfSquares = 0.0;
    for (const double x : sorted) {
        const double scaled = x / scale;
        sum += scaled;
        sumOfSquares += scaled * scaled;
    }
    mean_ = sum / count * scale;
    sum_ = sum * scale; // may still exceed the range: only the mean is shown
    if (sorted.size() < 2) return;
    const double scaledVariance =
        std::fabs(count * sumOfSquares - sum * sum) / (count * (count - 1.0));
    standardDeviation_ = std::sqrt(scaledVariance) * scale;
    // A spread beyond 1e154 has a variance no double holds; it stays
    // infinite here, and the run refuses such results by name.
    variance_ = scaledVariance * scale * scale;
}

void ResultVector::Write(CompFile& archive) const {
    if (values_.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        // The count is stored in 32 bits; truncating it would write a file
        // that reads back as something else.
        throw CompFileException(CompFileException::writeFailed, archive.FileName());
    }
    archive.WriteInt(static_cast<std::int32_t>(values_.size()));
    for (const double value : values_) archive.WriteDouble(value);
}

void ResultVector::Read(CompFile& archive) {
    const std::int32_t count = archive.ReadInt();
    // No run has more iterations than the largest iteration count.
    if (count < 0 || count > maximumIterationCount)
        throw CompFileException(CompFileException::readFailed, archive.FileName());

    // Read into a fresh vector so that a failed read leaves this one as it
    // was; a missing value makes ReadDouble throw.
    std::vector<double> values;
    values.reserve(std::min(static_cast<std::size_t>(count), maximumUpfrontReserve));
    for (std::int32_t i = 0; i < count; ++i) values.push_back(archive.ReadDouble());

    values_ = std::move(values);
    ComputeStatistics();
}

} // namespace varnex
