#pragma once

#include <string>
#include <vector>

#include "model/ReceptorContaminant.h"

namespace varnex {

// A point downstream at which concentrations arriving through the aquifer
// are assessed.
class Receptor {
public:
    double x = 0.0; // site plan, m
    double y = 0.0;
    bool visible = true; // drawn on the site plan
    std::string name;    // unique among receptors
    // True for a receptor created together with a source.
    bool attached = false;

    // Aquifer-frame position, set at the start of a run.
    double rotatedX = 0.0;
    double rotatedY = 0.0;
    // Results of a run, one record per contaminant.
    std::vector<ReceptorContaminant> results;

    // The record of a contaminant, created with empty vectors if absent.
    ReceptorContaminant& ResultsFor(int contaminantIdentifier);
    // The record of a contaminant, or null; never creates one (iterations
    // on several threads read the list at once).
    ReceptorContaminant* FindResults(int contaminantIdentifier);
};

} // namespace varnex
