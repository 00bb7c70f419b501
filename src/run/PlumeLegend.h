#pragma once

#include <string>

namespace varnex {

// The 16 colour bands of a drawn plume. Band k = 0 ... 14 runs from the
// previous band's upper bound (1e-30 for the first) to 10^(k - 12) mg/l;
// band 15 holds everything above 100 mg/l.
constexpr int plumeBandCount = 16;

double PlumeBandUpperBound(int band);
double PlumeBandLowerBound(int band);
// The band of a concentration (mg/l): the first whose upper bound it does
// not exceed; -1 below 1e-30 (nothing to draw).
int PlumeBand(double concentrationMgPerL);
// "%g - %g %s" (lower, upper, "mg/l"); the last band "%s %g %s" ("Above",
// 100, "mg/l"). Translated.
std::string PlumeBandText(int band);
// "%s %s" ("Concentration of", the contaminant's name). Translated.
std::string PlumeLegendTitle(const std::string& contaminantName);

} // namespace varnex
