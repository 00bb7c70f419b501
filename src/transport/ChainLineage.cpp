#include "transport/ChainLineage.h"

#include <algorithm>
#include <vector>

#include "model/DecayChain.h"
#include "model/Project.h"

namespace varnex {

namespace {

std::size_t ContaminantIndex(const Project& project, int identifier) {
    for (std::size_t c = 0; c < project.contaminants.size(); ++c)
        if (project.contaminants[c].identifier == identifier) return c;
    return project.contaminants.size();
}

} // namespace

SourceLineage LineageAtSource(const Project& project, const Source& source,
                              std::size_t entryIndex) {
    SourceLineage lineage;
    lineage.entryIndices[0] = entryIndex;
    lineage.count = 1;
    const std::size_t c = ContaminantIndex(project, source.inventory.at(entryIndex).contaminant);
    if (c == project.contaminants.size() ||
        project.contaminants[c].parentIdentifier == Contaminant::noParent)
        return lineage;
    const std::vector<std::size_t> chain = DecayChain::Lineage(project, c);
    // Walk up from the entry while the source holds the next ancestor.
    std::array<std::size_t, maximumChainMembers> upward{};
    std::size_t found = 0;
    upward[found++] = entryIndex;
    for (std::size_t n = chain.size() - 1; n-- > 0 && found < maximumChainMembers;) {
        const int identifier = project.contaminants[chain[n]].identifier;
        const auto at = std::find_if(
            source.inventory.begin(), source.inventory.end(),
            [identifier](const SourceContaminant& e) { return e.contaminant == identifier; });
        if (at == source.inventory.end() || !at->active) break;
        upward[found++] = static_cast<std::size_t>(at - source.inventory.begin());
    }
    lineage.count = found;
    for (std::size_t n = 0; n < found; ++n) lineage.entryIndices[n] = upward[found - 1 - n];
    return lineage;
}

double YieldOf(const Contaminant& contaminant, std::size_t i) {
    return contaminant.yield.SampleAt(i);
}

} // namespace varnex
