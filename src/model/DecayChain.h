#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace varnex {

class Project;

// Chains of sequential first-order decay, parent -> daughter -> ..., formed
// by the contaminants' parents (Contaminant::parentIdentifier). A chain is
// linear: a contaminant has at most one parent, and a parent may feed
// several daughters, each its own chain through it.
namespace DecayChain {

// The longest chain the transport solution handles.
inline constexpr std::size_t maximumMembers = 4;

// The contaminants whose degradation forms contaminant `index`, root first
// and `index` last, as indices into project.contaminants: for
// PCE -> TCE -> DCE -> VC the lineage of VC is {PCE, TCE, DCE, VC}; without
// a parent just {index}. A parent identifier that names no contaminant ends
// the lineage there, and a cycle is cut before it repeats a member, so the
// result is always finite; validation reports both (Problems).
std::vector<std::size_t> Lineage(const Project& project, std::size_t index);

// Whether any contaminant of the project names a parent.
bool AnyParent(const Project& project);

// The problems of the project's chains, each a sentence naming the
// contaminants concerned: a parent that is not a contaminant of the
// project, a contaminant that is its own ancestor (a cycle), a chain of
// more than maximumMembers members.
std::vector<std::string> Problems(const Project& project);

} // namespace DecayChain

} // namespace varnex
