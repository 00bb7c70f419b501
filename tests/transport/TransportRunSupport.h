#pragma once

// Running small deterministic projects through the whole run driver and
// comparing their result vectors with the independent reference numbers of
// tests/reference/transport_chains.py.

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <iomanip>
#include <string>
#include <vector>

#include "model/Project.h"
#include "persist/ProjectJson.h"
#include "results/ResultVector.h"
#include "run/ResultStore.h"
#include "run/RunDriver.h"
#include "run/RunObserver.h"

namespace varnex::test {

class CollectingObserver : public RunObserver {
public:
    void Warning(const std::string& text) override { warnings.push_back(text); }
    void Failed(const std::string& message) override { failures.push_back(message); }
    std::vector<std::string> warnings;
    std::vector<std::string> failures;
};

inline std::string TransportFixture(const std::string& name) {
    return std::string(VARNEX_SOURCE_DIR) + "/tests/transport/data/" + name;
}

// Loads tests/transport/data/<name>; fails the test on any reading problem.
inline Project LoadTransportFixture(const std::string& name) {
    Project project;
    std::vector<std::string> problems;
    const bool loaded = LoadProjectJsonFile(TransportFixture(name), project, problems);
    std::string all;
    for (const std::string& problem : problems) all += problem + "\n";
    EXPECT_TRUE(loaded) << name << ":\n" << all;
    return project;
}

struct RunResult {
    bool succeeded = false;
    std::vector<std::string> warnings;
    std::vector<std::string> failures;
};

inline RunResult RunProject(Project& project, int threads = 1) {
    CollectingObserver observer;
    RunOptions options;
    options.threads = threads;
    RunResult result;
    result.succeeded = RunSimulation(project, observer, options);
    result.warnings = observer.warnings;
    result.failures = observer.failures;
    return result;
}

// The kernel matches the closed form to about 1e-8 relative at the Péclet
// numbers of these cases; 1e-6 leaves room without hiding a wrong input. An
// expected 0 (nothing has arrived yet, by construction of the chain) must be
// an exact 0; values far below the inlet concentration (the foot of a
// breakthrough curve) are held to an absolute 1e-10 mg/l, which is the
// inversion's absolute accuracy there.
constexpr double referenceTolerance = 1e-6;

inline ::testing::AssertionResult MatchesReference(double actual, double expected) {
    if (expected == 0.0) {
        if (actual == 0.0) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "expected exactly 0, got " << actual;
    }
    const double tolerance = std::max(referenceTolerance * std::fabs(expected), 1e-10);
    if (std::fabs(actual - expected) <= tolerance) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "got " << std::setprecision(15) << actual << ", expected " << expected
           << " (relative difference " << (actual - expected) / expected << ")";
}

// Every value of the vector (every iteration of a run with single-valued
// inputs) against the reference.
inline ::testing::AssertionResult AllMatchReference(const ResultVector& vector, double expected) {
    if (vector.Size() == 0) return ::testing::AssertionFailure() << vector.Label() << ": no values";
    for (std::size_t i = 0; i < vector.Size(); ++i) {
        ::testing::AssertionResult one = MatchesReference(vector.At(i), expected);
        if (!one)
            return ::testing::AssertionFailure()
                   << vector.Label() << " [" << i << "]: " << one.message();
    }
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult NoNonFiniteValue(Project& project) {
    for (const ResultEntry& entry : StatisticsSet(project))
        for (std::size_t i = 0; i < entry.vector->Size(); ++i)
            if (!std::isfinite(entry.vector->At(i)))
                return ::testing::AssertionFailure() << entry.kind << " " << entry.vector->Label()
                                                     << " [" << i << "] = " << entry.vector->At(i);
    return ::testing::AssertionSuccess();
}

inline PathwayContaminant& RecordOf(Project& project, std::size_t source, std::size_t pathway,
                                    std::size_t entry = 0) {
    return project.sources.at(source).inventory.at(entry).pathwayProperties.at(
        static_cast<int>(pathway));
}

// Sets an input's single value in internal units (the distribution's
// arguments are held in internal units).
inline void SetSingleInternal(StochasticParameter& input, double value) {
    ASSERT_TRUE(input.distribution.Parse("SINGLE(1)"));
    input.distribution.singleValue = value;
}

} // namespace varnex::test
