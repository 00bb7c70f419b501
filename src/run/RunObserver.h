#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>

namespace varnex {

// What a run tells the person waiting for it, and how they can stop it. The
// desktop program shows these in its progress window and message boxes; the
// command-line tool prints them. Every text arrives translated. The driver
// calls the observer from the thread that called RunSimulation only.
class RunObserver {
public:
    virtual ~RunObserver() = default;

    // "Sampling", "Correlating Inputs", "Calculating", "Calculating Statistics".
    virtual void StageText(const std::string& text) { (void)text; }
    // "Iteration: %d of %d".
    virtual void IterationText(const std::string& text) { (void)text; }
    // How far the current stage has got: `done` of `total` iterations
    // (0 of N when a stage begins, N of N once its iterations are all done).
    virtual void IterationsDone(std::size_t done, std::size_t total) {
        (void)done;
        (void)total;
    }
    // "Estimated Time Remaining for Stage: " followed by hh:mm:ss.
    virtual void TimeRemainingText(const std::string& text) { (void)text; }
    // A warning the user should read before looking at the results.
    virtual void Warning(const std::string& text) { (void)text; }
    // The message of a failed run (not called for a stop).
    virtual void Failed(const std::string& message) { (void)message; }
    // Called between iterations; true asks the run to stop, as the Stop
    // button does after the user confirmed it.
    virtual bool StopRequested() { return false; }
    // Called by every worker thread before each iteration of the
    // "Calculating" stage, from several threads at once: a front end that is
    // asking the user whether to stop blocks here until the question is
    // answered (and must return once a stop is decided). Must be thread-safe.
    virtual void WaitWhilePaused() {}
    // Wall-clock time in whole seconds (replaceable for tests).
    virtual std::int64_t NowSeconds() { return static_cast<std::int64_t>(std::time(nullptr)); }
};

} // namespace varnex
