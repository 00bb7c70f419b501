#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <variant>
#include <vector>

namespace varnex {

// The identification of a project's JSON form. A reader accepts documents of
// its own version and older ones; a newer version is refused as a whole,
// since its keys cannot be judged one by one.
inline constexpr const char* projectJsonFormat = "varnex-project";
inline constexpr int projectJsonFormatVersion = 1;

// One plain (not stochastic) field of an entity in the JSON form: its key,
// which is the member's name, the member, and for integers the values the
// model can hold. Each entity lists its plain fields once, in written order;
// the writer and the reader both walk that list, so the two cannot disagree
// about a key. Stochastic inputs are listed by the entities' own
// ParameterFields() tables, and nested sequences (vertices, pathways,
// inventory, ...) are handled by the reader and writer themselves.
template <class Entity>
struct ProjectJsonField {
    using Member = std::variant<bool Entity::*, int Entity::*, std::int16_t Entity::*,
                                double Entity::*, std::string Entity::*>;

    const char* key;
    Member member;
    // Integers only; narrowed further by the member's own type.
    std::int64_t minimum = std::numeric_limits<std::int32_t>::min();
    std::int64_t maximum = std::numeric_limits<std::int32_t>::max();
    // A missing required key is a problem; a missing optional key keeps the
    // value of a new entity.
    bool required = false;
};

// The table of an entity: ProjectDetails, ActiveProcesses, SitePlan, Aquifer,
// Source, UnsaturatedPathway, SourceContaminant, PathwayContaminant,
// Receptor, Contaminant, and Project (its settings kept at the top level).
template <class Entity>
const std::vector<ProjectJsonField<Entity>>& ProjectJsonFields();

} // namespace varnex
