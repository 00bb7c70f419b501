#pragma once

#include <set>
#include <string>
#include <vector>

#include "model/RunInputs.h"

namespace varnex {

class Project;
class Source;
class SourceContaminant;
class StochasticParameter;

// Which inputs one result vector of a finished run depends on, each with the
// prefix that names its compartment in a sensitivity row: none for the
// contaminant, "Source ", "U/S Zone %s " with the pathway's name, "Aquifer ".
//
// Every input listed is one the run used (RunInputs::All), so every listed
// input has been sampled; the list is that description narrowed to what the
// calculations of the chosen result actually read:
// - contaminant: koc, when a partition coefficient derived from it enters the
//   result (the source term's, an included layer's, or the aquifer's);
// - source: for concentrations, the soil properties and the inventory entry's
//   inputs the source term reads for this entry (at "Level 3a", the
//   concentration entered at the aquifer, for receptor concentrations; and
//   the infiltration the computed mixing zone reads);
// - pathways, at "Level 2" and "Level 3": the water entering the top layer
//   (infiltration or the soakaway's inputs, and the overall unsaturated zone
//   thickness the layers are scaled to), named after the first pathway; each
//   included layer down to the chosen pathway (all layers for receptor
//   results) with its sorption and, for concentrations, its decay; and of
//   the other layers only what caps the infiltration;
// - aquifer, for receptor results above "Level 2": the flow, retardation and
//   dispersion inputs of the travel time, and for concentrations also the
//   mixing zone, lateral spreading, decay and background;
// - for the concentrations of a daughter of a decay chain, also the inputs
//   of each ancestor at the source that shape the same result, named after
//   the ancestor ("Tetrachloroethene: Source Concentration [mg/l]"), and the
//   yields down the chain.
class SensitivityInputs {
public:
    struct Input {
        StochasticParameter* parameter = nullptr;
        std::string prefix;
    };

    explicit SensitivityInputs(Project& project);

    // The inputs result `resultCode` of inventory entry `entry` of `source`
    // depends on, each once, in compartment order. `pathwayIndex` is the
    // pathway of a pathway result (codes 0 and 3) and ignored otherwise.
    std::vector<Input> For(int resultCode, Source& source, SourceContaminant& entry,
                           std::size_t pathwayIndex) const;

private:
    // The inputs of the entry's own transport, without what its ancestors in
    // a decay chain contribute.
    std::vector<Input> OwnInputs(int resultCode, Source& source, SourceContaminant& entry,
                                 std::size_t pathwayIndex) const;

    Project& project_;
    RunInputs runInputs_;
    std::set<const StochasticParameter*> used_;
};

} // namespace varnex
