#include "persist/ProjectJsonWriter.h"

#include <set>

#include "model/Project.h"
#include "persist/CoordinateSystemText.h"
#include "persist/ProjectJsonFields.h"
#include "persist/ProjectJsonPath.h"
#include "stochastic/DistributionError.h"
#include "stochastic/DistributionType.h"
#include "stochastic/IterationCount.h"

namespace varnex {

namespace {

using Json = nlohmann::ordered_json;

// Enough digits to keep every digit a user types, few enough to hide the
// rounding of a unit conversion (250 mm/yr is 0.25 m/yr inside, and reads
// back as 250, not 250.00000000000003).
constexpr int distributionPrecision = 15;

Json Point(double x, double y) { return Json::array({x, y}); }

// The text of an input, or null when it has none that reads back as the
// same distribution: undefined, a type code no keyword has, or a text that
// could not be read when it was typed (its arguments hold leftovers, and
// writing them would turn a rejected input into an accepted one).
Json DistributionText(const Distribution& stored, double unitFactor) {
    Distribution distribution = stored;
    // The document's units are those of the input's table, whatever factor
    // the model's copy happens to carry.
    distribution.unitFactor = unitFactor;
    if (distribution.type == DistributionType::undefined) return nullptr;
    distribution.Validate();
    if (distribution.errorFlags & DistributionError::unreadableText) return nullptr;
    return distribution.Format(distributionPrecision);
}

} // namespace

template <class Entity>
Json ProjectJsonWriter::Input(const StochasticParameter& input,
                              const ParameterField<Entity>& field) const {
    Json text = DistributionText(input.distribution, field.unitFactor);
    const Distribution& d = input.distribution;
    if (d.minLimit == field.minLimit && d.maxLimit == field.maxLimit && !input.auxFlag &&
        input.auxValue == 0)
        return text;
    Json object = Json::object();
    object["distribution"] = std::move(text);
    if (d.minLimit != field.minLimit) object["minLimit"] = d.minLimit;
    if (d.maxLimit != field.maxLimit) object["maxLimit"] = d.maxLimit;
    if (input.auxFlag) object["auxFlag"] = true;
    if (input.auxValue != 0) object["auxValue"] = input.auxValue;
    return object;
}

template <class Entity>
void ProjectJsonWriter::WriteFields(const Entity& entity, Json& object) const {
    for (const auto& field : ProjectJsonFields<Entity>())
        std::visit([&](auto member) { object[field.key] = entity.*member; }, field.member);
}

template <class Entity>
void ProjectJsonWriter::WriteInputs(const Entity& entity, const std::string& path, Json& object) {
    for (const auto& field : Entity::ParameterFields()) {
        const StochasticParameter& input = entity.*field.member;
        object[field.key] = Input(input, field);
        pointers_.emplace(input.id, JsonPointerChild(path, field.key));
    }
}

template <class Entity>
void ProjectJsonWriter::WriteEntity(const Entity& entity, const std::string& path, Json& object) {
    WriteFields(entity, object);
    WriteInputs(entity, path, object);
}

Json ProjectJsonWriter::SourceObject(std::size_t index) {
    const Project& project = project_;
    const Source& source = project.sources[index];
    const std::string path = JsonPointerChild("/sources", index);
    Json object = Json::object();
    WriteFields(source, object);
    Json vertices = Json::array();
    for (const PlanPoint& vertex : source.vertices) vertices.push_back(Point(vertex.x, vertex.y));
    object["vertices"] = std::move(vertices);
    object["centre"] = Point(source.centre.x, source.centre.y);
    // A decline by factors has one per time slice; other settings have none.
    if (source.decliningSource == Source::userDefinedDecline)
        object["declineFactors"] = source.declineFactors;
    WriteInputs(source, path, object);

    Json pathways = Json::array();
    for (std::size_t p = 0; p < source.pathways.size(); ++p) {
        Json pathway = Json::object();
        WriteEntity(source.pathways[p], JsonPointerChild(JsonPointerChild(path, "pathways"), p),
                    pathway);
        pathways.push_back(std::move(pathway));
    }
    object["pathways"] = std::move(pathways);

    // Entries of species the project no longer has, and second entries of a
    // species, are not part of a consistent model: the inventory invariant
    // removes the first kind, and nothing reads the second.
    Json inventory = Json::array();
    std::set<int> written;
    for (const SourceContaminant& entry : source.inventory) {
        if (project.FindContaminant(entry.contaminant) == nullptr ||
            !written.insert(entry.contaminant).second)
            continue;
        const std::string entryPath =
            JsonPointerChild(JsonPointerChild(path, "inventory"), inventory.size());
        Json item = Json::object();
        WriteEntity(entry, entryPath, item);
        // One element per pathway, in pathway order; null where the model
        // has no record yet (the inventory invariant supplies one on
        // reading). Records of pathways the source no longer has belong to
        // nothing and are left out.
        Json properties = Json::array();
        for (std::size_t p = 0; p < source.pathways.size(); ++p) {
            const auto found = entry.pathwayProperties.find(static_cast<int>(p));
            if (found == entry.pathwayProperties.end()) {
                properties.push_back(nullptr);
                continue;
            }
            Json record = Json::object();
            WriteEntity(found->second,
                        JsonPointerChild(JsonPointerChild(entryPath, "pathwayProperties"), p),
                        record);
            properties.push_back(std::move(record));
        }
        item["pathwayProperties"] = std::move(properties);
        inventory.push_back(std::move(item));
    }
    object["inventory"] = std::move(inventory);
    return object;
}

// The contaminant's place in a decay chain: its parent by name, and its
// yield. Both are left out for a contaminant without a parent, so projects
// without chains read and write as before; a yield the user entered is
// kept even without a parent (after its parent was removed, or set before
// the parent by an edit), so that nothing entered is lost. A parent that
// names no contaminant is written as its identifier, which the reader
// reports, rather than dropped.
void ProjectJsonWriter::WriteChain(const Contaminant& contaminant, Json& object) const {
    if (contaminant.parentIdentifier != Contaminant::noParent) {
        const Contaminant* parent = project_.FindContaminant(contaminant.parentIdentifier);
        object["parent"] = parent ? Json(parent->name) : Json(contaminant.parentIdentifier);
    }
    if (contaminant.parentIdentifier != Contaminant::noParent ||
        contaminant.yield.distribution.type != DistributionType::undefined)
        object["yield"] = Input(contaminant.yield, Contaminant::YieldField());
}

Json ProjectJsonWriter::Correlations() const {
    Json records = Json::array();
    for (const auto& [reference, record] : project_.correlations) {
        const auto referencePointer = pointers_.find(record.referenceParameter);
        const auto correlatedPointer = pointers_.find(record.correlatedParameter);
        // A record naming an input the project does not have could never
        // be applied, and one that correlates an input with itself only
        // shuffles that input's samples.
        if (referencePointer == pointers_.end() || correlatedPointer == pointers_.end() ||
            record.referenceParameter == record.correlatedParameter)
            continue;
        Json item = Json::object();
        item["name"] = record.name;
        item["reference"] = referencePointer->second;
        item["correlated"] = correlatedPointer->second;
        item["value"] = record.value;
        records.push_back(std::move(item));
    }
    return records;
}

Json ProjectJsonWriter::Document() {
    pointers_.clear();
    const Project& project = project_;
    Json document = Json::object();
    document["format"] = projectJsonFormat;
    document["formatVersion"] = projectJsonFormatVersion;

    Json details = Json::object();
    WriteFields(project.details, details);
    document["details"] = std::move(details);
    document["iterations"] = IterationCount();
    // Written only when it is not the default, so that every project written
    // before the choice existed reads and writes back as the same text.
    if (project.samplingMethod != SamplingMethod::monteCarlo)
        document["samplingMethod"] = SamplingMethodName(project.samplingMethod);
    document["timeSlices"] = project.timeSlices;
    WriteFields(project, document);
    Json processes = Json::object();
    WriteFields(project.processes, processes);
    document["processes"] = std::move(processes);
    Json sitePlan = Json::object();
    WriteFields(project.sitePlan, sitePlan);
    document["sitePlan"] = std::move(sitePlan);
    // Both only when set, like the sampling method.
    if (project.coordinateSystemEpsg != 0)
        document["coordinateSystem"] = CoordinateSystemText(project.coordinateSystemEpsg);
    if (!project.plumeMap.IsDefault()) {
        const PlumeMapChoices& choices = project.plumeMap;
        Json plumeMap = Json::object();
        plumeMap["kind"] = PlumeMapKindName(choices.kind);
        plumeMap["quantity"] = PlumeMapQuantityName(choices.quantity);
        plumeMap["shownPercentile"] = choices.shownPercentile;
        plumeMap["percentiles"] = choices.percentiles;
        document["plumeMap"] = std::move(plumeMap);
    }

    Json aquifer = Json::object();
    WriteEntity(project.aquifer, "/aquifer", aquifer);
    document["aquifer"] = std::move(aquifer);

    Json contaminants = Json::array();
    for (std::size_t c = 0; c < project.contaminants.size(); ++c) {
        Json item = Json::object();
        WriteEntity(project.contaminants[c], JsonPointerChild("/contaminants", c), item);
        WriteChain(project.contaminants[c], item);
        contaminants.push_back(std::move(item));
    }
    document["contaminants"] = std::move(contaminants);

    Json sources = Json::array();
    for (std::size_t s = 0; s < project.sources.size(); ++s) sources.push_back(SourceObject(s));
    document["sources"] = std::move(sources);

    Json receptors = Json::array();
    for (const Receptor& receptor : project.receptors) {
        Json item = Json::object();
        WriteFields(receptor, item);
        receptors.push_back(std::move(item));
    }
    document["receptors"] = std::move(receptors);
    document["correlations"] = Correlations();
    return document;
}

} // namespace varnex
