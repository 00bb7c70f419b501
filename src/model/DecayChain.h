#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "model/ValidationProblem.h"

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

// The contaminants formed from contaminant `index` (those naming it as
// their parent), in the project's order.
std::vector<std::size_t> Daughters(const Project& project, std::size_t index);

// Whether any contaminant of the project names a parent.
bool AnyParent(const Project& project);

// Whether a run of the project degrades anything where chains act: the
// unsaturated zone (levels 2 and 3, "Biodegradation in UZ") or the aquifer
// (levels 3 and 3a, "Biodegradation in Aquifer"). Level 1 never does.
bool ChainsAct(const Project& project);

// Why a contaminant may not take `parentIdentifier` as its parent, for a
// form to refuse the choice; empty when it may. The choice would make a
// cycle (the parent is the contaminant or descends from it) or a chain of
// more than maximumMembers members (counting the contaminant's own
// daughters below it).
std::string ParentRefusal(const Project& project, std::size_t index, int parentIdentifier);

// The problems of the project's chains, each a sentence naming the
// contaminants concerned, with its place (the contaminant, or for a source
// the inventory entry): a parent that is not a contaminant of the project,
// a contaminant that is its own ancestor (a cycle, named in chain order), a
// chain of more than maximumMembers members (named root first), and, when
// chains act (ChainsAct), an active inventory entry whose daughter is not
// active at the same source, where the daughter formed would have no
// results. None of these arises in a project without parents. The yield is
// an input of the run and is tested with the others (RunInputs).
std::vector<ValidationProblem> LocatedProblems(const Project& project);

// The texts of LocatedProblems.
std::vector<std::string> Problems(const Project& project);

} // namespace DecayChain

} // namespace varnex
