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

// The names of the contaminants at these indices, as "A, B, C".
std::string Names(const Project& project, const std::vector<std::size_t>& indices) {
    std::string text;
    for (std::size_t index : indices) {
        if (!text.empty()) text += ", ";
        text += project.contaminants[index].name;
    }
    return text;
}

// The number of generations formed below contaminant `index` (0 without
// daughters). `path` holds the contaminants above on this descent, so that
// a cycle ends the count instead of recursing for ever.
std::size_t Depth(const Project& project, std::size_t index, std::vector<std::size_t>& path) {
    path.push_back(index);
    std::size_t deepest = 0;
    const int identifier = project.contaminants[index].identifier;
    for (std::size_t c = 0; c < project.contaminants.size(); ++c) {
        if (project.contaminants[c].parentIdentifier != identifier) continue;
        if (std::find(path.begin(), path.end(), c) != path.end()) continue;
        deepest = std::max(deepest, 1 + Depth(project, c, path));
    }
    path.pop_back();
    return deepest;
}

// The members of the cycle that contaminant `index` leads into, in chain
// order (parent before daughter) starting from the member listed first in
// the project; empty when following its parents ends without a repeat.
std::vector<std::size_t> CycleAbove(const Project& project, std::size_t index) {
    std::vector<std::size_t> walked{index};
    for (;;) {
        const int parent = project.contaminants[walked.back()].parentIdentifier;
        if (parent == Contaminant::noParent) return {};
        const std::size_t at = IndexOf(project, parent);
        if (at == project.contaminants.size()) return {};
        const auto repeat = std::find(walked.begin(), walked.end(), at);
        if (repeat != walked.end()) {
            // walked runs daughter to parent: from the repeat to the end is
            // the cycle, reversed.
            std::vector<std::size_t> cycle(repeat, walked.end());
            std::reverse(cycle.begin(), cycle.end());
            std::rotate(cycle.begin(), std::min_element(cycle.begin(), cycle.end()), cycle.end());
            return cycle;
        }
        walked.push_back(at);
    }
}

ValidationProblem ContaminantProblem(std::string text, std::size_t index, const char* field) {
    ValidationProblem problem;
    problem.text = std::move(text);
    problem.entity = ValidationProblem::Entity::contaminant;
    problem.index = static_cast<int>(index);
    problem.field = field;
    return problem;
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

std::vector<std::size_t> Daughters(const Project& project, std::size_t index) {
    std::vector<std::size_t> daughters;
    const int identifier = project.contaminants.at(index).identifier;
    for (std::size_t c = 0; c < project.contaminants.size(); ++c)
        if (project.contaminants[c].parentIdentifier == identifier) daughters.push_back(c);
    return daughters;
}

bool AnyParent(const Project& project) {
    return std::any_of(
        project.contaminants.begin(), project.contaminants.end(),
        [](const Contaminant& c) { return c.parentIdentifier != Contaminant::noParent; });
}

bool ChainsAct(const Project& project) {
    const int level = project.simulationLevel;
    const bool unsaturatedZone =
        (level == SimulationLevel::level2 || level == SimulationLevel::level3) &&
        project.processes.biodegradationUz;
    const bool aquifer = (level == SimulationLevel::level3 || level == SimulationLevel::level3a) &&
                         project.processes.biodegradationAquifer;
    return unsaturatedZone || aquifer;
}

std::string ParentRefusal(const Project& project, std::size_t index, int parentIdentifier) {
    if (parentIdentifier == Contaminant::noParent) return {};
    const Contaminant& contaminant = project.contaminants.at(index);
    const std::size_t parent = IndexOf(project, parentIdentifier);
    if (parent == project.contaminants.size())
        return FormatText(TranslateFormat("No contaminant of the project has the identifier %d."),
                          {static_cast<long long>(parentIdentifier)});
    if (parent == index)
        return FormatText(TranslateFormat("%s cannot be its own parent."), {contaminant.name});
    const std::vector<std::size_t> above = Lineage(project, parent);
    if (std::find(above.begin(), above.end(), index) != above.end())
        return FormatText(
            TranslateFormat("%s cannot be the parent of %s: it is formed from %s, which would "
                            "make a cycle."),
            {project.contaminants[parent].name, contaminant.name, contaminant.name});
    std::vector<std::size_t> path;
    const std::size_t members = above.size() + 1 + Depth(project, index, path);
    if (members > maximumMembers)
        return FormatText(TranslateFormat("With %s as the parent of %s, the decay chain would "
                                          "have %d members; at most %d are allowed."),
                          {project.contaminants[parent].name, contaminant.name,
                           static_cast<long long>(members),
                           static_cast<long long>(maximumMembers)});
    return {};
}

std::vector<ValidationProblem> LocatedProblems(const Project& project) {
    std::vector<ValidationProblem> problems;
    if (!AnyParent(project)) return problems;
    const std::size_t count = project.contaminants.size();
    std::vector<bool> inCycle(count, false);

    for (std::size_t c = 0; c < count; ++c) {
        const Contaminant& contaminant = project.contaminants[c];
        if (contaminant.parentIdentifier == Contaminant::noParent) continue;
        if (IndexOf(project, contaminant.parentIdentifier) == count)
            problems.push_back(ContaminantProblem(
                FormatText(
                    TranslateFormat("The parent of %s is not a contaminant of the "
                                    "project (identifier %d)."),
                    {contaminant.name, static_cast<long long>(contaminant.parentIdentifier)}),
                c, "parent"));
    }

    // Each cycle once, where its first member in the project's list stands.
    for (std::size_t c = 0; c < count; ++c) {
        const std::vector<std::size_t> cycle = CycleAbove(project, c);
        if (cycle.empty() || inCycle[cycle.front()]) continue;
        for (std::size_t member : cycle) inCycle[member] = true;
        std::vector<std::size_t> named = cycle;
        named.push_back(cycle.front());
        problems.push_back(ContaminantProblem(
            FormatText(TranslateFormat("The decay chain %s is a cycle: a contaminant cannot be "
                                       "formed from itself."),
                       {Names(project, named)}),
            cycle.front(), "parent"));
    }

    // A chain too long is named once, by its last member: the one whose
    // lineage is too long while none of its daughters' is. A lineage that
    // runs into a cycle is that cycle's problem, not this one.
    std::vector<bool> tooLong(count, false);
    for (std::size_t c = 0; c < count; ++c)
        tooLong[c] = CycleAbove(project, c).empty() && Lineage(project, c).size() > maximumMembers;
    for (std::size_t c = 0; c < count; ++c) {
        if (!tooLong[c]) continue;
        bool lastMember = true;
        for (std::size_t d = 0; d < count; ++d)
            lastMember = lastMember && !(tooLong[d] && project.contaminants[d].parentIdentifier ==
                                                           project.contaminants[c].identifier);
        if (!lastMember) continue;
        const std::vector<std::size_t> lineage = Lineage(project, c);
        problems.push_back(ContaminantProblem(
            FormatText(TranslateFormat("The decay chain %s has %d members; at most %d are "
                                       "allowed."),
                       {Names(project, lineage), static_cast<long long>(lineage.size()),
                        static_cast<long long>(maximumMembers)}),
            c, "parent"));
    }

    // A daughter formed at a source is computed there only when its own
    // entry is active; otherwise the mass the parent passes down the chain
    // would be formed and lost without a result to show it.
    if (!ChainsAct(project)) return problems;
    for (std::size_t s = 0; s < project.sources.size(); ++s) {
        const Source& source = project.sources[s];
        for (std::size_t d = 0; d < count; ++d) {
            const Contaminant& daughter = project.contaminants[d];
            if (daughter.parentIdentifier == Contaminant::noParent) continue;
            const Contaminant* parent = project.FindContaminant(daughter.parentIdentifier);
            if (parent == nullptr) continue;
            bool parentActive = false;
            int daughterEntry = -1;
            bool daughterActive = false;
            for (std::size_t e = 0; e < source.inventory.size(); ++e) {
                const SourceContaminant& entry = source.inventory[e];
                if (entry.contaminant == parent->identifier && entry.active) parentActive = true;
                if (entry.contaminant == daughter.identifier) {
                    if (daughterEntry < 0) daughterEntry = static_cast<int>(e);
                    daughterActive = daughterActive || entry.active;
                }
            }
            if (!parentActive || daughterActive) continue;
            ValidationProblem problem;
            problem.text = FormatText(
                TranslateFormat("At source %s, %s is active but %s, which it forms, is not: the "
                                "%s formed there would have no results. Make %s active there "
                                "too."),
                {source.name, parent->name, daughter.name, daughter.name, daughter.name});
            problem.entity = ValidationProblem::Entity::sourceEntry;
            problem.source = static_cast<int>(s);
            problem.index = daughterEntry;
            problem.field = "active";
            problems.push_back(std::move(problem));
        }
    }
    return problems;
}

std::vector<std::string> Problems(const Project& project) {
    std::vector<std::string> texts;
    for (const ValidationProblem& problem : LocatedProblems(project)) texts.push_back(problem.text);
    return texts;
}

} // namespace DecayChain
} // namespace varnex
