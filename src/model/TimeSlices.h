#pragma once

#include <string>
#include <vector>

namespace varnex {

class Project;

// "Calculate Timeslices" of the "Simulation Parameters" dialog: checks the
// inputs and, when they pass, adds to `years` every year of the series that
// is not listed yet. Returns the messages (one a line) instead of calculating
// when an input is wrong; empty on success.
//   linear: start, start + step, ... up to end;
//   logarithmic: 1..9, 10, 20..90, 100, 200, ... kept between start and end.
std::string CalculateTimeSlices(int startYear, int endYear, int stepYears, bool logarithmic,
                                std::vector<int>& years);

// The dialog's acceptance: the years become the project's time slices,
// ascending, and the iteration count is stored. Refused, with the message in
// `errorText`, for an empty list, a year outside 1..1000000 or an iteration
// count outside 0..10000.
bool AcceptSimulationParameters(Project& project, const std::vector<int>& years, int iterations,
                                std::string& errorText);

} // namespace varnex
