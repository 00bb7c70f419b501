#pragma once

namespace varnex {

// Constants shared by the unsaturated zone, mixing zone and aquifer
// calculations. Inputs arrive in m/year, years and m/s; the
// advection-dispersion kernel works in seconds.
namespace TransportConstants {

// A Julian year, 365.25 days of 86,400 s.
constexpr double secondsPerYear = 31557600.0;
constexpr double daysPerYear = 365.25;
// m/year to m/s.
constexpr double metresPerYearToMetresPerSecond = 1.0 / secondsPerYear;
// ln 2 to ten decimals, as the decay rates have always been computed; the
// difference to the full-precision value (about 5e-12 relative) is far
// below the uncertainty of any half-life.
constexpr double ln2 = 0.6931471806;
// The travel time recorded when the water never arrives: a receptor
// upstream of the source, or a layer or aquifer in which the water does not
// move. Far beyond the last possible time slice.
constexpr double neverArrivesYears = 1000000.0;
// At "Level 3a" a receptor reached within this retarded travel time sees
// the concentration entering the aquifer unchanged (years).
constexpr double directArrivalYears = 1.0;
// The vertical dispersion term of the mixing zone depth, sqrt(0.0112 Ls²):
// vertical spreading over the length Ls of the source with a vertical
// dispersivity proportional to that length.
constexpr double mixingZoneCoefficient = 0.0112;

} // namespace TransportConstants

} // namespace varnex
