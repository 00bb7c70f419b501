#pragma once

#include <vector>

#include "stochastic/StochasticParameter.h"

namespace varnex {

// One stochastic input of an entity type: its stable key (used by the JSON
// form and by correlation paths), the member that holds it, and its English
// label (translated when applied). Each entity lists its inputs once in a
// table of these, in stored order, and everything that visits an entity's
// inputs (labelling, renumbering, the text form) walks that table.
template <class Entity>
struct ParameterField {
    const char* key;
    StochasticParameter Entity::*member;
    const char* label; // English; empty for an unlabelled input
    // Internal units; a new input rejects values outside these.
    double minLimit = 0.0;
    double maxLimit = Distribution::defaultMaxLimit;
    // From the units the user types to the units of the calculations; 0:
    // none. Not stored in project files, so it is applied with the labels.
    double unitFactor = 0.0;
};

template <class Entity>
std::vector<StochasticParameter*> ParametersOf(Entity& entity) {
    std::vector<StochasticParameter*> parameters;
    for (const auto& field : Entity::ParameterFields())
        parameters.push_back(&(entity.*field.member));
    return parameters;
}

template <class Entity>
void RenumberParameters(Entity& entity) {
    for (const auto& field : Entity::ParameterFields()) (entity.*field.member).Renumber();
}

// Sets every input's label from the table, through the translation table,
// and its unit factor.
template <class Entity>
void ApplyFieldLabels(Entity& entity);

// Gives every input the limits of the table (new entities only: limits are
// stored with the input).
template <class Entity>
void ApplyFieldLimits(Entity& entity) {
    for (const auto& field : Entity::ParameterFields()) {
        (entity.*field.member).distribution.minLimit = field.minLimit;
        (entity.*field.member).distribution.maxLimit = field.maxLimit;
    }
}

} // namespace varnex

#include "settings/Translate.h"

template <class Entity>
void varnex::ApplyFieldLabels(Entity& entity) {
    for (const auto& field : Entity::ParameterFields()) {
        StochasticParameter& parameter = entity.*field.member;
        parameter.SetLabel(field.label[0] ? Translate(field.label) : std::string());
        parameter.distribution.unitFactor = field.unitFactor;
    }
}
