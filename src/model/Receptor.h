#pragma once

#include <string>

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
};

} // namespace varnex
