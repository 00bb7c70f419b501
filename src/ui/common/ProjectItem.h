#pragma once

#include <QMetaType>

namespace varnex::ui {

// What an item of the project explorer stands for: the kind of entity and
// its place in the project's sequences, so that panes and commands find the
// entity again without holding pointers into the project.
struct ProjectItem {
    enum class Kind {
        none,
        sourceGroup,
        source,
        pathway,
        receptorGroup,
        receptor,
        contaminantGroup,
        contaminant,
        aquifer
    };

    Kind kind = Kind::none;
    int index = -1;        // source, receptor or contaminant
    int pathwayIndex = -1; // pathway of the source `index`
};

} // namespace varnex::ui

Q_DECLARE_METATYPE(varnex::ui::ProjectItem)
