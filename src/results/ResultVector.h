#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace varnex {

class CompFile;

// One result of a run: a labelled series of one value per Monte Carlo
// iteration (index = iteration number), with its summary statistics.
class ResultVector {
public:
    static constexpr int percentileCount = 7;

    // No values until prepared; percentile levels 5, 10, 25, 50, 75, 90, 95.
    ResultVector();
    explicit ResultVector(std::string label);

    // Resizes the values to n (to N when n is 0), keeping leading values and
    // adding zeros; with `zero` every value becomes 0.
    void Prepare(std::size_t n, bool zero);
    // The value of iteration i; an index beyond the values is a programming
    // error (std::out_of_range).
    double& At(std::size_t i);
    double At(std::size_t i) const;
    std::size_t Size() const { return values_.size(); }
    const std::vector<double>& Values() const { return values_; }

    const std::string& Label() const { return label_; }
    void SetLabel(std::string label) { label_ = std::move(label); }

    // Minimum, maximum, mean, sample variance and standard deviation, and the
    // seven nearest-rank percentiles of the current values. With no values
    // everything is 0.
    void ComputeStatistics();
    // Whether the statistics are all numbers: false only for values whose
    // spread is beyond the double range (above about 1e154).
    bool StatisticsRepresentable() const;
    double Sum() const { return sum_; }
    double Minimum() const { return minimum_; }
    double Maximum() const { return maximum_; }
    double Mean() const { return mean_; }
    double StandardDeviation() const { return standardDeviation_; }
    double Variance() const { return variance_; }
    double PercentileValue(int index) const {
        return percentileValues_.at(static_cast<std::size_t>(index));
    }
    int PercentileLevel(int index) const {
        return percentileLevels_.at(static_cast<std::size_t>(index));
    }

    // Stored as the value count (32-bit) and the values; reading recomputes
    // the statistics. Labels are not stored.
    void Write(CompFile& archive) const;
    void Read(CompFile& archive);

private:
    // The mean and spread from values scaled by their largest magnitude.
    void ScaledMoments(const std::vector<double>& sorted);
    std::string label_;
    double sum_ = 0.0;
    std::array<double, percentileCount> percentileValues_{};
    std::array<int, percentileCount> percentileLevels_{5, 10, 25, 50, 75, 90, 95};
    double minimum_ = 0.0;
    double maximum_ = 0.0;
    double standardDeviation_ = 0.0;
    double mean_ = 0.0;
    double variance_ = 0.0;
    std::vector<double> values_;
};

} // namespace varnex
