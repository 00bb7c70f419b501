// Adding, duplicating and removing the entities of a project while keeping
// its references (attached receptors, pathway keys, contaminant identifiers,
// correlations) consistent.

#include <algorithm>

#include "model/PlanGeometry.h"
#include "model/Project.h"
#include "settings/Translate.h"

namespace varnex {

namespace {

std::string DuplicateNameText(const char* english, const std::string& name) {
    return Translate(english) + ": \"" + name + "\"";
}

// 5 m beyond the source's furthest vertex along the flow, level with it
// across the flow: the vertices are turned into the aquifer frame, the point
// is placed there and turned back.
PlanPoint AttachedReceptorPosition(const Source& source, double flowDirection) {
    if (source.vertices.empty()) return PlanPoint();
    PlanPoint furthest =
        RotatePoint(source.vertices.front().x, source.vertices.front().y, flowDirection - 90.0);
    for (const PlanPoint& vertex : source.vertices) {
        const PlanPoint rotated = RotatePoint(vertex.x, vertex.y, flowDirection - 90.0);
        if (rotated.x > furthest.x) furthest = rotated;
    }
    return RotatePoint(furthest.x + 5.0, furthest.y, 90.0 - flowDirection);
}

} // namespace

bool Project::AddSource(Source source, std::string& errorText, bool withReceptor) {
    if (sources.size() >= static_cast<std::size_t>(maximumSources)) {
        errorText = Translate("Maximum number of sources exceeded.");
        return false;
    }
    for (const Source& existing : sources) {
        if (existing.name == source.name) {
            errorText = DuplicateNameText(TranslatableText("Duplicate source name"), source.name);
            return false;
        }
    }
    if (!withReceptor) {
        sources.push_back(std::move(source));
        SyncInventory(sources.back());
        InvalidateResults();
        return true;
    }
    if (receptors.size() >= static_cast<std::size_t>(maximumReceptors)) {
        errorText = Translate("Maximum number of receptors exceeded.");
        return false;
    }
    Receptor receptor;
    receptor.name = source.name + Translate(" Receptor");
    for (const Receptor& existing : receptors) {
        if (existing.name == receptor.name) {
            errorText =
                DuplicateNameText(TranslatableText("Duplicate receptor name"), receptor.name);
            return false;
        }
    }
    receptor.attached = true;
    const PlanPoint position = AttachedReceptorPosition(source, aquifer.flowDirection);
    receptor.x = position.x;
    receptor.y = position.y;
    receptors.push_back(receptor);
    source.attachedReceptor = static_cast<int>(receptors.size()) - 1;
    sources.push_back(std::move(source));
    SyncInventory(sources.back());
    InvalidateResults();
    return true;
}

bool Project::AddReceptor(const Receptor& receptor, std::string& errorText) {
    if (receptors.size() >= static_cast<std::size_t>(maximumReceptors)) {
        errorText = Translate("Maximum number of receptors exceeded.");
        return false;
    }
    for (const Receptor& existing : receptors) {
        if (existing.name == receptor.name) {
            errorText =
                DuplicateNameText(TranslatableText("Duplicate receptor name"), receptor.name);
            return false;
        }
    }
    receptors.push_back(receptor);
    InvalidateResults();
    return true;
}

std::size_t Project::AddContaminant() {
    int largest = 1001;
    for (const Contaminant& existing : contaminants)
        largest = std::max(largest, existing.identifier);
    Contaminant contaminant;
    contaminant.name = Translate("New species");
    contaminant.identifier = largest + 1;
    contaminants.push_back(std::move(contaminant));
    SyncAllInventories();
    InvalidateResults();
    return contaminants.size() - 1;
}

bool Project::DuplicateSource(std::size_t index, std::string& errorText) {
    Source copy = sources.at(index);
    copy.name += Translate(" - duplicate");
    // Every input of the copy is a new input, so correlations and results
    // can tell the two sources apart.
    copy.Renumber();
    const bool withReceptor = copy.attachedReceptor >= 0;
    copy.attachedReceptor = -1;
    return AddSource(std::move(copy), errorText, withReceptor);
}

void Project::RemoveSource(std::size_t index) {
    Source& source = sources.at(index);
    RemoveCorrelationsOf(source.AllParameters());
    // Its receptor stays, as an ordinary receptor the user may remove.
    if (source.attachedReceptor >= 0 &&
        source.attachedReceptor < static_cast<int>(receptors.size()))
        receptors[static_cast<std::size_t>(source.attachedReceptor)].attached = false;
    sources.erase(sources.begin() + static_cast<std::ptrdiff_t>(index));
    InvalidateResults();
}

bool Project::RemoveReceptor(std::size_t index, std::string& errorText) {
    const int removed = static_cast<int>(index);
    for (const Source& source : sources) {
        if (source.attachedReceptor == removed) {
            errorText = Translate("Cannot remove receptor attached to source");
            return false;
        }
    }
    receptors.erase(receptors.begin() + static_cast<std::ptrdiff_t>(index));
    for (Source& source : sources)
        if (source.attachedReceptor > removed) --source.attachedReceptor;
    InvalidateResults();
    return true;
}

bool Project::RemoveContaminant(std::size_t index, std::string& errorText) {
    Contaminant& contaminant = contaminants.at(index);
    if (contaminant.identifier <= Contaminant::largestStandardIdentifier) {
        errorText = Translate("You cannot remove a default contaminant");
        return false;
    }
    std::vector<StochasticParameter*> removed = ParametersOf(contaminant);
    for (Source& source : sources) {
        for (SourceContaminant& entry : source.inventory) {
            if (entry.contaminant != contaminant.identifier) continue;
            for (StochasticParameter* p : ParametersOf(entry)) removed.push_back(p);
            for (auto& [key, record] : entry.pathwayProperties)
                for (StochasticParameter* p : ParametersOf(record)) removed.push_back(p);
        }
    }
    RemoveCorrelationsOf(removed);
    // Its daughters are no longer formed from anything: they lose their
    // parent rather than keep an identifier that names nothing (or, once a
    // new species takes the number, the wrong contaminant). Each keeps its
    // yield, for the parent the user may choose next.
    for (Contaminant& daughter : contaminants)
        if (daughter.parentIdentifier == contaminant.identifier)
            daughter.parentIdentifier = Contaminant::noParent;
    contaminants.erase(contaminants.begin() + static_cast<std::ptrdiff_t>(index));
    SyncAllInventories();
    InvalidateResults();
    return true;
}

void Project::AddPathway(std::size_t sourceIndex) {
    Source& source = sources.at(sourceIndex);
    UnsaturatedPathway pathway;
    pathway.name =
        Translate("Unsaturated Pathway") + " " + std::to_string(source.pathways.size() + 1);
    source.pathways.push_back(std::move(pathway));
    SyncInventory(source);
    InvalidateResults();
}

bool Project::RemovePathway(std::size_t sourceIndex, std::size_t pathwayIndex,
                            std::string& errorText) {
    Source& source = sources.at(sourceIndex);
    if (source.pathways.size() <= 1) {
        errorText = Translate("A source needs at least one unsaturated pathway.");
        return false;
    }
    const int removed = static_cast<int>(pathwayIndex);
    std::vector<StochasticParameter*> parameters = ParametersOf(source.pathways.at(pathwayIndex));
    for (SourceContaminant& entry : source.inventory) {
        auto found = entry.pathwayProperties.find(removed);
        if (found != entry.pathwayProperties.end())
            for (StochasticParameter* p : ParametersOf(found->second)) parameters.push_back(p);
    }
    RemoveCorrelationsOf(parameters);
    source.pathways.erase(source.pathways.begin() + static_cast<std::ptrdiff_t>(pathwayIndex));
    // The records of the pathways below move up with them.
    for (SourceContaminant& entry : source.inventory) {
        std::map<int, PathwayContaminant> renumbered;
        for (auto& [key, record] : entry.pathwayProperties) {
            if (key == removed) continue;
            renumbered.emplace(key > removed ? key - 1 : key, std::move(record));
        }
        entry.pathwayProperties = std::move(renumbered);
    }
    InvalidateResults();
    return true;
}

} // namespace varnex
