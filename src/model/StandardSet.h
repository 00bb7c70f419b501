#pragma once

#include <string>
#include <vector>

#include "model/WaterQualityStandard.h"

namespace varnex {

// A set of water quality standards from one data file of the standards list.
struct StandardSet {
    std::string name;                          // display name
    std::string fileName;                      // data file in the Info folder
    std::vector<WaterQualityStandard> records; // in file order

    // The first record of the species, or nullptr.
    const WaterQualityStandard* Find(int contaminantIdentifier) const;
};

} // namespace varnex
