#pragma once

#include <array>
#include <cstddef>

#include "transport/ChainAdvectionDispersion.h"

namespace varnex {

class Contaminant;
class Project;
class Source;

// The members of a decay chain as they meet at one source: the inventory
// entries of an entry's ancestors there, root first, ending with the entry
// itself. A chain is cut below an ancestor of which the source has no
// active entry: nothing of it is there to form the daughters. A lineage of
// one member is a contaminant that travels alone, as every contaminant did
// before chains.
struct SourceLineage {
    std::array<std::size_t, maximumChainMembers> entryIndices{};
    std::size_t count = 0;
};

SourceLineage LineageAtSource(const Project& project, const Source& source, std::size_t entryIndex);

// The yield of iteration i of a contaminant formed by a parent: the mass
// formed per mass of the parent degraded.
double YieldOf(const Contaminant& contaminant, std::size_t i);

} // namespace varnex
