#pragma once

#include <string>

namespace varnex {

// One problem found by the check before a run, with the entity and field it
// concerns, so that a front end can take the user to the place to mend it.
// The indexes are positions in the project's lists; -1 where they do not
// apply. `field` is the input's key ("thickness") or the name of a setting
// ("vertices", "name", "flowDirection", "timeSlices"), empty when the problem
// is not one field's.
struct ValidationProblem {
    enum class Entity {
        project,
        contaminant,  // index: the contaminant
        source,       // source
        sourceEntry,  // source, index: the inventory entry
        pathway,      // source, index: the pathway
        pathwayEntry, // source, index: the inventory entry, pathway
        receptor,     // index: the receptor (or -1 for the receptors as a whole)
        aquifer,
        simulation, // the timeslices
    };

    std::string text; // as the report words it, without the indentation
    Entity entity = Entity::project;
    int source = -1;
    int index = -1;
    int pathway = -1;
    std::string field;
};

} // namespace varnex
