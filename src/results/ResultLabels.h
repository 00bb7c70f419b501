#pragma once

#include <string>

namespace varnex {

// The labels of the result vectors, translated once, for the run's
// preparation of the result store and for the results read back from a
// project file (which stores no labels): both must label a vector alike,
// or the statistics of a saved run would read differently from the run's.
// Formats take the time slice in years ("%lf") and, for per-receptor
// concentrations, the receptor's name ("%s").
struct ResultLabels {
    ResultLabels(); // translates every text through the current table

    std::string sourceConcentration;   // "... at %lf years"
    std::string uzConcentration;       // "... at %lf years"
    std::string uzMatrixConcentration; // "... at %lf years"
    std::string dilutedConcentration;  // "... at %lf years"
    std::string receptorConcentration; // "... at %lf years at %s"
    std::string totalConcentration;    // "... at %lf years"
    std::string receptorUnretarded;    // "Receptor %s ..."
    std::string receptorRetarded;      // "Receptor %s ..."
    std::string receptorAquifer;       // "Receptor %s ..."

    std::string uzUnretardedTravelTime;
    std::string uzRetardedTravelTime;
    std::string uzMatrixUnretardedTravelTime;
    std::string uzMatrixRetardedTravelTime;
    std::string uzRetardedVelocity;
    std::string uzRetardedMatrixVelocity;
    std::string totalUnretardedTravelTime;
    std::string totalRetardedTravelTime;

    // A time-slice label: `format` filled with the time in years, and the
    // receptor's name when one is given.
    static std::string AtTime(const std::string& format, double years,
                              const std::string* receptorName = nullptr);
    // A per-receptor label: `format` filled with the receptor's name.
    static std::string ForReceptor(const std::string& format, const std::string& receptorName);
};

} // namespace varnex
