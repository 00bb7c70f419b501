#include "model/TimeSlices.h"

#include <algorithm>

#include "base/TextFormat.h"
#include "model/Project.h"
#include "settings/Translate.h"
#include "stochastic/IterationCount.h"

namespace varnex {

namespace {

void AddMessage(std::string& messages, const std::string& message) {
    if (!messages.empty()) messages += "\n";
    messages += message;
}

void AddYear(std::vector<int>& years, long long year) {
    const int whole = static_cast<int>(year);
    if (std::find(years.begin(), years.end(), whole) == years.end()) years.push_back(whole);
}

} // namespace

std::string CalculateTimeSlices(int startYear, int endYear, int stepYears, bool logarithmic,
                                std::vector<int>& years) {
    const int lastYear = static_cast<int>(Project::lastTimeSliceYear);
    std::string messages;
    if (startYear < 1) AddMessage(messages, Translate("Start Year must be > 0"));
    if (endYear > startYear && endYear > lastYear) {
        AddMessage(messages, FormatText(TranslateFormat("End Year must be <= %.0lf"),
                                        {Project::lastTimeSliceYear}));
    }
    if (endYear <= startYear) AddMessage(messages, Translate("End Year must be > Start Year"));
    if (!logarithmic && stepYears < 1) AddMessage(messages, Translate("Step must be > 0"));
    if (!messages.empty()) return messages;

    if (!logarithmic) {
        for (long long year = startYear; year <= endYear; year += stepYears) AddYear(years, year);
        return messages;
    }
    for (long long decade = 1; decade <= endYear; decade *= 10) {
        for (long long year = decade; year < decade * 10 && year <= endYear; year += decade)
            if (year >= startYear) AddYear(years, year);
    }
    return messages;
}

bool AcceptSimulationParameters(Project& project, const std::vector<int>& years, int iterations,
                                std::string& errorText) {
    if (years.empty()) {
        errorText = Translate("At least one timeslice is required.");
        return false;
    }
    for (int year : years) {
        if (year < Project::firstTimeSliceYear || year > Project::lastTimeSliceYear) {
            errorText = Translate("Timeslices must be from 1 to 1000000 years.");
            return false;
        }
    }
    if (iterations < 0 || iterations > maximumIterationCount) {
        errorText = Translate("The number of iterations must be from 0 to 10000.");
        return false;
    }
    std::vector<double> slices(years.begin(), years.end());
    std::sort(slices.begin(), slices.end());
    slices.erase(std::unique(slices.begin(), slices.end()), slices.end());
    if (slices.size() > static_cast<std::size_t>(Project::maximumTimeSlices)) {
        errorText = Translate("At most 100 timeslices are allowed.");
        return false;
    }
    if (slices != project.timeSlices || iterations != IterationCount()) project.InvalidateResults();
    project.timeSlices = std::move(slices);
    SetIterationCount(iterations);
    return true;
}

} // namespace varnex
