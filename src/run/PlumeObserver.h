#pragma once

#include <string>

namespace varnex {

// What the plume calculation tells the person waiting for it, and how they
// stop it. Called from the thread that called ComputePlume only.
class PlumeObserver {
public:
    virtual ~PlumeObserver() = default;
    // "%s - Calculating: %.2lf,%.2lf (%.0lf%%)": title, node x, y, percent.
    virtual void ProgressText(const std::string& text) { (void)text; }
    // The share of the work done, 0..1, for a progress bar.
    virtual void Fraction(double done) { (void)done; }
    // The message of a failed or refused calculation.
    virtual void Failed(const std::string& message) { (void)message; }
    // Polled between nodes; true stops the calculation.
    virtual bool StopRequested() { return false; }
};

} // namespace varnex
