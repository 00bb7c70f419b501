#pragma once

#include <string>
#include <vector>

namespace varnex {

class Project;
class ResultVector;

// Where a result vector of the statistics set belongs: a stable machine name
// of its kind and the names of its source, contaminant, pathway and receptor
// where they apply, and its time slice.
struct ResultEntry {
    ResultVector* vector = nullptr;
    std::string kind;
    std::string source;
    std::string contaminant;
    std::string pathway;
    std::string receptor;
    bool hasTime = false;
    double timeYears = 0.0;
    // A concentration, comparable with the contaminant's water quality
    // standard (mg/l); `standard` is 0 when the contaminant has none.
    bool concentration = false;
    double standard = 0.0;
};

// Sizes, clears and labels every result vector a run of the project writes,
// before sampling: sized to the iteration count N, all zeros, labels of the
// current language ("%lf" with the time slice in years, "%s" with the
// receptor's name). The vectors of inventory entries that take no part in
// the run (inactive, or not the plume contaminant in plume mode) are
// emptied rather than sized, since nothing writes them. Also creates every
// pathway property record and receptor record the run needs, so that no
// iteration ever creates one.
void PrepareResultStore(Project& project);

// The vectors whose statistics a run computes, in a fixed order.
std::vector<ResultEntry> StatisticsSet(Project& project);

} // namespace varnex
