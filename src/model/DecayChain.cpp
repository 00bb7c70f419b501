#include "model/DecayChain.h"

#include <algorithm>

#include "base/TextFormat.h"
#include "model/Project.h"
#include "settings/Translate.h"

namespace varnex {
namespace DecayChain {

namespace {

// Index of the contaminant with this identifier, or size() when none.
std::size_t IndexOf(const Project& project, int identifier) {
    for (std::size_t c = 0; c < project.contaminants.size(); ++c)
        if (project.contaminants[c].identifier == identifier) return c;
    return project.contaminants.size();
}

} // namespace

std::vector<std::size_t> Lineage(const Project& project, std::size_t index) {
    std::vector<std::size_t> lineage{index};
    for (;;) {
        const int parent = project.contaminants[lineage.back()].parentIdentifier;
        if (parent == Contaminant::noParent) break;
        const std::size_t at = IndexOf(project, parent);
        if (at == project.contaminants.size()) break;
        if (std::find(lineage.begin(), lineage.end(), at) != lineage.end()) break;
        lineage.push_back(at);
    }
    std::reverse(lineage.begin(), lineage.end());
    return lineage;
}

bool AnyParent(const Project& project) {
    return std::any_of(
        project.contaminants.begin(), project.contaminants.end(),
        [](const Contaminant& c) { return c.parentIdentifier != Contaminant::noParent; });
}

std::vector<std::string> Problems(const Project& project) {
    (void)project;
    return {};
}

} // namespace DecayChain
} // namespace varnex
