#include "persist/ProjectJsonReader.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "model/Project.h"
#include "model/TextLimit.h"
#include "persist/CoordinateSystemText.h"
#include "persist/ProjectJsonFields.h"
#include "persist/ProjectJsonPath.h"
#include "stochastic/DistributionError.h"
#include "stochastic/DistributionType.h"

namespace varnex {

namespace {

using Json = ProjectJsonReader::Json;

// How a value that was not wanted looks: its JSON type, and for a scalar the
// value itself (shortened), so that the user can find it in the text.
std::string Found(const Json& value) {
    std::string text = value.type_name();
    if (value.is_structured() || value.is_null()) return text;
    std::string shown = value.dump(-1, ' ', false, Json::error_handler_t::replace);
    if (shown.size() > 60) shown = shown.substr(0, 57) + "...";
    return text + " " + shown;
}

std::string RangeText(std::int64_t minimum, std::int64_t maximum) {
    return "an integer from " + std::to_string(minimum) + " to " + std::to_string(maximum);
}

// The distribution's messages on one line: its error text continues on
// lines that start with a blank.
std::string OneLine(std::string text) {
    std::string::size_type at = 0;
    while ((at = text.find("\n ", at)) != std::string::npos) text.replace(at, 2, "; ");
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

const Json* Member(const Json& object, const char* key) {
    const auto found = object.find(key);
    return found == object.end() ? nullptr : &*found;
}

} // namespace

void ProjectJsonReader::Problem(const std::string& path, const std::string& message) {
    problems_.Add(JsonProblem(path, message));
}

bool ProjectJsonReader::ExpectObject(const Json& value, const std::string& path) {
    if (value.is_object()) return true;
    Problem(path, "expected an object, found " + Found(value));
    return false;
}

bool ProjectJsonReader::ExpectArray(const Json& value, const std::string& path) {
    if (value.is_array()) return true;
    Problem(path, "expected an array, found " + Found(value));
    return false;
}

void ProjectJsonReader::CheckKeys(const Json& object, const std::string& path,
                                  const std::set<std::string>& allowed) {
    for (const auto& item : object.items())
        if (!allowed.count(item.key())) Problem(JsonPointerChild(path, item.key()), "unknown key");
}

template <class Entity>
std::set<std::string> ProjectJsonReader::KeysOf(std::initializer_list<const char*> further) const {
    std::set<std::string> keys(further.begin(), further.end());
    for (const auto& field : ProjectJsonFields<Entity>()) keys.insert(field.key);
    if constexpr (requires { Entity::ParameterFields(); })
        for (const auto& field : Entity::ParameterFields()) keys.insert(field.key);
    return keys;
}

bool ProjectJsonReader::ReadInteger(const Json& value, const std::string& path,
                                    std::int64_t minimum, std::int64_t maximum,
                                    std::int64_t& result) {
    if (!value.is_number_integer()) {
        Problem(path, "expected an integer, found " + Found(value));
        return false;
    }
    // Compared before any conversion: a value beyond the target's range
    // must never be narrowed into it.
    bool inRange = false;
    if (value.is_number_unsigned()) {
        const std::uint64_t number = value.get<std::uint64_t>();
        inRange = maximum >= 0 && number <= static_cast<std::uint64_t>(maximum) &&
                  (minimum <= 0 || number >= static_cast<std::uint64_t>(minimum));
        if (inRange) result = static_cast<std::int64_t>(number);
    } else {
        const std::int64_t number = value.get<std::int64_t>();
        inRange = number >= minimum && number <= maximum;
        if (inRange) result = number;
    }
    if (!inRange)
        Problem(path, "must be " + RangeText(minimum, maximum) + ", found " + Found(value));
    return inRange;
}

bool ProjectJsonReader::ReadNumber(const Json& value, const std::string& path, double& result) {
    if (!value.is_number()) {
        Problem(path, "expected a number, found " + Found(value));
        return false;
    }
    const double number = value.get<double>();
    if (!std::isfinite(number)) {
        Problem(path, "expected a finite number, found " + Found(value));
        return false;
    }
    result = number;
    return true;
}

void ProjectJsonReader::ReadValue(const Json& value, const std::string& path, std::int64_t,
                                  std::int64_t, bool& target) {
    if (value.is_boolean())
        target = value.get<bool>();
    else
        Problem(path, "expected true or false, found " + Found(value));
}

void ProjectJsonReader::ReadValue(const Json& value, const std::string& path, std::int64_t minimum,
                                  std::int64_t maximum, int& target) {
    std::int64_t number = 0;
    if (ReadInteger(value, path, std::max<std::int64_t>(minimum, std::numeric_limits<int>::min()),
                    std::min<std::int64_t>(maximum, std::numeric_limits<int>::max()), number))
        target = static_cast<int>(number);
}

void ProjectJsonReader::ReadValue(const Json& value, const std::string& path, std::int64_t minimum,
                                  std::int64_t maximum, std::int16_t& target) {
    std::int64_t number = 0;
    if (ReadInteger(
            value, path, std::max<std::int64_t>(minimum, std::numeric_limits<std::int16_t>::min()),
            std::min<std::int64_t>(maximum, std::numeric_limits<std::int16_t>::max()), number))
        target = static_cast<std::int16_t>(number);
}

void ProjectJsonReader::ReadValue(const Json& value, const std::string& path, std::int64_t,
                                  std::int64_t, double& target) {
    ReadNumber(value, path, target);
}

void ProjectJsonReader::ReadValue(const Json& value, const std::string& path, std::int64_t,
                                  std::int64_t, std::string& target) {
    if (!value.is_string()) {
        Problem(path, "expected a string, found " + Found(value));
        return;
    }
    // Refused here, where the text enters, rather than by the save.
    const std::string& text = value.get_ref<const std::string&>();
    if (!TextFits(text)) {
        Problem(path, "the text is " + std::to_string(StoredTextBytes(text)) +
                          " bytes long, but a project file holds at most " +
                          std::to_string(maxTextBytes) + " bytes of text in one field");
        return;
    }
    target = text;
}

bool ProjectJsonReader::ReadPoint(const Json& value, const std::string& path, double& x,
                                  double& y) {
    if (!value.is_array() || value.size() != 2) {
        Problem(path, "expected a point [x, y], found " + Found(value));
        return false;
    }
    const bool xRead = ReadNumber(value[0], JsonPointerChild(path, 0), x);
    const bool yRead = ReadNumber(value[1], JsonPointerChild(path, 1), y);
    return xRead && yRead;
}

template <class Entity>
void ProjectJsonReader::ReadFields(const Json& object, const std::string& path, Entity& entity) {
    for (const auto& field : ProjectJsonFields<Entity>()) {
        const std::string fieldPath = JsonPointerChild(path, field.key);
        const Json* value = Member(object, field.key);
        if (value == nullptr) {
            if (field.required) Problem(fieldPath, "missing required key");
            continue;
        }
        std::visit(
            [&](auto member) {
                ReadValue(*value, fieldPath, field.minimum, field.maximum, entity.*member);
            },
            field.member);
    }
}

template <class Entity>
void ProjectJsonReader::ReadInputs(const Json& object, const std::string& path, Entity& entity) {
    for (const auto& field : Entity::ParameterFields()) {
        StochasticParameter& input = entity.*field.member;
        const std::string inputPath = JsonPointerChild(path, field.key);
        // Every input of an entity the document has can be correlated, also
        // one the document leaves out (it is undefined then).
        inputs_[inputPath] = input.id;
        if (const Json* value = Member(object, field.key)) ReadInput(*value, inputPath, input);
    }
}

template <class Entity>
bool ProjectJsonReader::ReadSection(const Json& document, const char* key, Entity& entity) {
    const Json* section = Member(document, key);
    if (section == nullptr) return false;
    const std::string path = JsonPointerChild("", key);
    if (!ExpectObject(*section, path)) return false;
    CheckKeys(*section, path, KeysOf<Entity>());
    ReadFields(*section, path, entity);
    return true;
}

void ProjectJsonReader::ReadDistributionText(const Json& value, const std::string& path,
                                             StochasticParameter& input) {
    if (value.is_null()) {
        input.distribution.type = DistributionType::undefined;
        input.distribution.errorFlags = 0;
        return;
    }
    if (!value.is_string()) {
        Problem(path, "expected a distribution text or null, found " + Found(value));
        return;
    }
    const std::string text = value.get<std::string>();
    if (text.empty()) {
        Problem(path, "empty distribution text (an undefined input is null)");
        return;
    }
    // A dialog field would end the text at the first NUL; a document that
    // holds one means something else than what would be read.
    if (text.find('\0') != std::string::npos) {
        Problem(path, "distribution text contains a NUL character");
        return;
    }
    // Values outside the input's limits are read: they are the check's
    // business before a run, not the reader's. Only a text that does not
    // say what distribution it is cannot be kept.
    input.distribution.Parse(text);
    if (input.distribution.errorFlags & DistributionError::unreadableText)
        Problem(path, Found(value) + " cannot be read: " + OneLine(input.distribution.ErrorText()));
}

void ProjectJsonReader::ReadInput(const Json& value, const std::string& path,
                                  StochasticParameter& input) {
    if (!value.is_object()) {
        if (value.is_string() || value.is_null())
            ReadDistributionText(value, path, input);
        else
            Problem(path, "expected a distribution text, null or an object, found " + Found(value));
        return;
    }
    CheckKeys(value, path, {"distribution", "minLimit", "maxLimit", "auxFlag", "auxValue"});
    Distribution& distribution = input.distribution;
    // The limits first: the text's check measures against them.
    if (const Json* limit = Member(value, "minLimit"))
        ReadNumber(*limit, JsonPointerChild(path, "minLimit"), distribution.minLimit);
    if (const Json* limit = Member(value, "maxLimit"))
        ReadNumber(*limit, JsonPointerChild(path, "maxLimit"), distribution.maxLimit);
    if (const Json* flag = Member(value, "auxFlag"))
        ReadValue(*flag, JsonPointerChild(path, "auxFlag"), 0, 0, input.auxFlag);
    if (const Json* aux = Member(value, "auxValue")) {
        int auxValue = 0;
        ReadValue(*aux, JsonPointerChild(path, "auxValue"), std::numeric_limits<int>::min(),
                  std::numeric_limits<int>::max(), auxValue);
        input.auxValue = auxValue;
    }
    if (const Json* text = Member(value, "distribution"))
        ReadDistributionText(*text, JsonPointerChild(path, "distribution"), input);
    else
        Problem(JsonPointerChild(path, "distribution"), "missing required key");
}

bool ProjectJsonReader::ReadFormat(const Json& document) {
    bool readable = true;
    const Json* format = Member(document, "format");
    if (format == nullptr) {
        Problem("/format", "missing required key");
        readable = false;
    } else if (!format->is_string() || format->get<std::string>() != projectJsonFormat) {
        Problem("/format",
                std::string("expected \"") + projectJsonFormat + "\", found " + Found(*format));
        readable = false;
    }
    const Json* version = Member(document, "formatVersion");
    std::int64_t number = 0;
    if (version == nullptr) {
        Problem("/formatVersion", "missing required key");
        readable = false;
    } else if (!ReadInteger(*version, "/formatVersion", 1, std::numeric_limits<std::int64_t>::max(),
                            number)) {
        readable = false;
    } else if (number > projectJsonFormatVersion) {
        Problem("/formatVersion", "version " + std::to_string(number) +
                                      " is newer than this program reads (" +
                                      std::to_string(projectJsonFormatVersion) + ")");
        readable = false;
    }
    return readable;
}

void ProjectJsonReader::ReadIterations(const Json& document) {
    const Json* value = Member(document, "iterations");
    std::int64_t count = 0;
    if (value && ReadInteger(*value, "/iterations", 0, maximumIterationCount, count))
        iterations_ = static_cast<int>(count);
}

// Optional: a project without it samples by plain Monte Carlo.
void ProjectJsonReader::ReadSamplingMethod(const Json& document) {
    const Json* value = Member(document, "samplingMethod");
    if (value == nullptr) return;
    const std::optional<SamplingMethod> method =
        value->is_string() ? ParseSamplingMethod(value->get<std::string>()) : std::nullopt;
    if (!method) {
        Problem("/samplingMethod",
                "expected \"Monte Carlo\" or \"Latin Hypercube\", found " + Found(*value));
        return;
    }
    project_.samplingMethod = *method;
}

// Optional: without it the site plan has no coordinate reference system.
// Only the form is checked; whether GDAL knows the code is for the front
// ends to tell.
void ProjectJsonReader::ReadCoordinateSystem(const Json& document) {
    const Json* value = Member(document, "coordinateSystem");
    if (value == nullptr) return;
    const std::optional<int> epsg =
        value->is_string() ? ParseCoordinateSystemText(value->get<std::string>()) : std::nullopt;
    if (!epsg) {
        Problem("/coordinateSystem",
                "expected \"EPSG:\" and a positive whole number, found " + Found(*value));
        return;
    }
    project_.coordinateSystemEpsg = *epsg;
}

// Optional, and so is each member: what is missing keeps its default.
void ProjectJsonReader::ReadPlumeMap(const Json& document) {
    const Json* object = Member(document, "plumeMap");
    if (object == nullptr || !ExpectObject(*object, "/plumeMap")) return;
    CheckKeys(*object, "/plumeMap", {"kind", "quantity", "shownPercentile", "percentiles"});
    PlumeMapChoices& choices = project_.plumeMap;
    if (const Json* value = Member(*object, "kind")) {
        const std::optional<PlumeMapKind> kind =
            value->is_string() ? ParsePlumeMapKind(value->get<std::string>()) : std::nullopt;
        if (kind)
            choices.kind = *kind;
        else
            Problem("/plumeMap/kind",
                    "expected \"central values\" or \"probability\", found " + Found(*value));
    }
    if (const Json* value = Member(*object, "quantity")) {
        const std::optional<PlumeMapQuantity> quantity =
            value->is_string() ? ParsePlumeMapQuantity(value->get<std::string>()) : std::nullopt;
        if (quantity)
            choices.quantity = *quantity;
        else
            Problem("/plumeMap/quantity",
                    "expected \"exceedance\", \"mean\" or \"percentile\", found " + Found(*value));
    }
    bool levelsRead = true;
    if (const Json* value = Member(*object, "percentiles")) {
        std::vector<int> levels;
        if (!ExpectArray(*value, "/plumeMap/percentiles")) {
            levelsRead = false;
        } else if (value->empty()) {
            Problem("/plumeMap/percentiles", "at least one percentile level is required");
            levelsRead = false;
        }
        for (std::size_t i = 0; levelsRead && i < value->size(); ++i) {
            std::int64_t level = 0;
            if (ReadInteger((*value)[i], JsonPointerChild("/plumeMap/percentiles", i), 1, 99,
                            level))
                levels.push_back(static_cast<int>(level));
            else
                levelsRead = false;
        }
        std::sort(levels.begin(), levels.end());
        if (levelsRead && std::adjacent_find(levels.begin(), levels.end()) != levels.end()) {
            Problem("/plumeMap/percentiles", "each percentile level may appear only once");
            levelsRead = false;
        }
        if (levelsRead) choices.percentiles = levels;
    }
    if (const Json* value = Member(*object, "shownPercentile")) {
        std::int64_t level = 0;
        if (ReadInteger(*value, "/plumeMap/shownPercentile", 1, 99, level)) {
            choices.shownPercentile = static_cast<int>(level);
            const std::vector<int>& levels = choices.percentiles;
            if (levelsRead &&
                std::find(levels.begin(), levels.end(), choices.shownPercentile) == levels.end())
                Problem("/plumeMap/shownPercentile",
                        "expected one of the percentile levels computed (" +
                            PercentileLevelsText(levels) + "), found " + Found(*value));
        }
    }
}

void ProjectJsonReader::ReadTimeSlices(const Json& document) {
    const Json* value = Member(document, "timeSlices");
    if (value == nullptr || !ExpectArray(*value, "/timeSlices")) return;
    if (value->empty()) {
        Problem("/timeSlices", "at least one time slice is required");
        return;
    }
    if (value->size() > static_cast<std::size_t>(Project::maximumTimeSlices)) {
        Problem("/timeSlices", "at most " + std::to_string(Project::maximumTimeSlices) +
                                   " time slices are allowed, found " +
                                   std::to_string(value->size()));
        return;
    }
    // Decline factors are given per time slice in this order, so the list is
    // taken as written, not sorted.
    std::vector<double> slices;
    for (std::size_t i = 0; i < value->size(); ++i) {
        const std::string path = JsonPointerChild("/timeSlices", i);
        double year = 0.0;
        if (!ReadNumber((*value)[i], path, year)) continue;
        if (year < Project::firstTimeSliceYear || year > Project::lastTimeSliceYear) {
            Problem(path, "must be from 1 to 1000000 years, found " + Found((*value)[i]));
            continue;
        }
        if (!slices.empty() && year <= slices.back()) {
            Problem(path, "time slices must be in ascending order, without repetitions");
            continue;
        }
        slices.push_back(year);
    }
    project_.timeSlices = std::move(slices);
}

void ProjectJsonReader::ReadAquifer(const Json& document) {
    const Json* section = Member(document, "aquifer");
    Aquifer& aquifer = project_.aquifer;
    if (section == nullptr) {
        // The aquifer's inputs exist all the same and can be correlated.
        ReadInputs(Json::object(), "/aquifer", aquifer);
        return;
    }
    if (!ExpectObject(*section, "/aquifer")) return;
    CheckKeys(*section, "/aquifer", KeysOf<Aquifer>());
    ReadFields(*section, "/aquifer", aquifer);
    ReadInputs(*section, "/aquifer", aquifer);
}

void ProjectJsonReader::ReadContaminants(const Json& document) {
    const Json* list = Member(document, "contaminants");
    if (list == nullptr || !ExpectArray(*list, "/contaminants")) return;
    // Besides the table: the decay chain's parent and yield.
    const std::set<std::string> keys = KeysOf<Contaminant>({"parent", "yield"});
    // A parent may be listed after its daughter: names are resolved once
    // every contaminant is read.
    std::vector<std::pair<std::size_t, const Json*>> parents;
    std::map<std::string, std::string> names;
    std::map<int, std::string> identifiers;
    for (std::size_t i = 0; i < list->size(); ++i) {
        const Json& object = (*list)[i];
        const std::string path = JsonPointerChild("/contaminants", i);
        if (!ExpectObject(object, path)) continue;
        CheckKeys(object, path, keys);
        Contaminant contaminant;
        ReadFields(object, path, contaminant);
        ReadInputs(object, path, contaminant);
        // Not among the inputs a correlation may name (Contaminant::yield).
        if (const Json* yield = Member(object, "yield"))
            ReadInput(*yield, JsonPointerChild(path, "yield"), contaminant.yield);
        if (const Json* parent = Member(object, "parent"))
            parents.emplace_back(project_.contaminants.size(), parent);
        if (Member(object, "name")) {
            const auto [first, added] =
                names.emplace(contaminant.name, JsonPointerChild(path, "name"));
            if (!added)
                Problem(JsonPointerChild(path, "name"), "duplicate contaminant name \"" +
                                                            contaminant.name + "\" (also " +
                                                            first->second + ")");
        }
        if (contaminant.identifier > 0) {
            const auto [first, added] =
                identifiers.emplace(contaminant.identifier, JsonPointerChild(path, "identifier"));
            if (!added)
                Problem(JsonPointerChild(path, "identifier"),
                        "duplicate contaminant identifier " +
                            std::to_string(contaminant.identifier) + " (also " + first->second +
                            ")");
        }
        contaminantIdentifiers_.insert(contaminant.identifier);
        project_.contaminants.push_back(std::move(contaminant));
    }
    ReadParents(parents);
}

// Each parent is a contaminant's name (as the writer writes it) or its
// identifier; null is none. Cycles and chains too long are the check's
// business before a run, as for every other value that reads but cannot
// run.
void ProjectJsonReader::ReadParents(
    const std::vector<std::pair<std::size_t, const Json*>>& parents) {
    for (const auto& [index, value] : parents) {
        const std::string path =
            JsonPointerChild(JsonPointerChild("/contaminants", index), "parent");
        Contaminant& daughter = project_.contaminants[index];
        if (value->is_null()) continue;
        if (value->is_string()) {
            const std::string name = value->get<std::string>();
            const auto found =
                std::find_if(project_.contaminants.begin(), project_.contaminants.end(),
                             [&](const Contaminant& c) { return c.name == name; });
            if (found == project_.contaminants.end())
                Problem(path, "no contaminant is named \"" + name + "\"");
            else
                daughter.parentIdentifier = found->identifier;
            daughter.NumberYield();
            continue;
        }
        std::int64_t identifier = 0;
        if (!value->is_number_integer()) {
            Problem(path, "expected a contaminant's name or null, found " + Found(*value));
        } else if (ReadInteger(*value, path, 0, std::numeric_limits<int>::max(), identifier)) {
            if (!contaminantIdentifiers_.count(static_cast<int>(identifier)))
                Problem(path, "no contaminant has the identifier " + std::to_string(identifier));
            else
                daughter.parentIdentifier = static_cast<int>(identifier);
            daughter.NumberYield();
        }
    }
}

bool ProjectJsonReader::ReadPathways(const Json& object, const std::string& path, Source& source) {
    const Json* list = Member(object, "pathways");
    const std::string listPath = JsonPointerChild(path, "pathways");
    const std::size_t count = list && list->is_array() ? list->size() : 1;
    const std::size_t records = count * std::max<std::size_t>(project_.contaminants.size(), 1);
    if (records > pathwayRecordsLeft_) {
        Problem(
            listPath,
            "the project would need more than " + std::to_string(maximumPathwayRecords) +
                " records of pathway properties (pathways times contaminants, over all sources)");
        pathwayRecordsLeft_ = 0;
        return false;
    }
    pathwayRecordsLeft_ -= records;
    if (list == nullptr) {
        // A new source's one pathway.
        ReadInputs(Json::object(), JsonPointerChild(listPath, 0), source.pathways.front());
        return true;
    }
    if (!ExpectArray(*list, listPath)) return true;
    if (list->empty()) {
        Problem(listPath, "a source needs at least one unsaturated pathway");
        return true;
    }
    const std::set<std::string> keys = KeysOf<UnsaturatedPathway>();
    source.pathways.clear();
    for (std::size_t p = 0; p < list->size(); ++p) {
        const Json& item = (*list)[p];
        const std::string itemPath = JsonPointerChild(listPath, p);
        // A bad element still holds its place, so that the pathway indices
        // of the inventory keep meaning what the document means.
        source.pathways.emplace_back();
        UnsaturatedPathway& pathway = source.pathways.back();
        if (!ExpectObject(item, itemPath)) continue;
        CheckKeys(item, itemPath, keys);
        ReadFields(item, itemPath, pathway);
        pathway.ApplyNames(source.Soakaway());
        ReadInputs(item, itemPath, pathway);
    }
    return true;
}

void ProjectJsonReader::ReadInventory(const Json& object, const std::string& path, Source& source) {
    const Json* list = Member(object, "inventory");
    const std::string listPath = JsonPointerChild(path, "inventory");
    if (list == nullptr || !ExpectArray(*list, listPath)) return;
    const std::set<std::string> keys = KeysOf<SourceContaminant>({"pathwayProperties"});
    const std::set<std::string> recordKeys = KeysOf<PathwayContaminant>();
    std::map<int, std::string> species;
    for (std::size_t i = 0; i < list->size(); ++i) {
        const Json& item = (*list)[i];
        const std::string itemPath = JsonPointerChild(listPath, i);
        if (!ExpectObject(item, itemPath)) continue;
        CheckKeys(item, itemPath, keys);
        SourceContaminant entry;
        ReadFields(item, itemPath, entry);
        // Only an identifier that was read is looked up; one that was not is
        // reported already.
        const Json* identifier = Member(item, "contaminant");
        bool known = false;
        if (identifier && identifier->is_number_integer() && *identifier == entry.contaminant) {
            const std::string identifierPath = JsonPointerChild(itemPath, "contaminant");
            if (!contaminantIdentifiers_.count(entry.contaminant)) {
                Problem(identifierPath,
                        "no contaminant has the identifier " + std::to_string(entry.contaminant));
            } else {
                const auto [first, added] = species.emplace(entry.contaminant, itemPath);
                known = added;
                if (!added)
                    Problem(identifierPath, "a second entry for contaminant " +
                                                std::to_string(entry.contaminant) +
                                                " (the first is " + first->second + ")");
            }
        }
        // The concentration's label follows how it was measured.
        entry.ApplyNames();
        ReadInputs(item, itemPath, entry);

        const std::string propertiesPath = JsonPointerChild(itemPath, "pathwayProperties");
        const Json* properties = Member(item, "pathwayProperties");
        // Records are made only for the entries of the project's species, so
        // that their number stays within the count the pathways were
        // admitted with.
        if (known && properties && ExpectArray(*properties, propertiesPath)) {
            for (std::size_t p = 0; p < properties->size(); ++p) {
                const Json& element = (*properties)[p];
                const std::string recordPath = JsonPointerChild(propertiesPath, p);
                if (p >= source.pathways.size()) {
                    Problem(recordPath, "the source has no pathway " + std::to_string(p) +
                                            " (it has " + std::to_string(source.pathways.size()) +
                                            ")");
                    continue;
                }
                // Null: no record yet; the inventory invariant supplies one.
                if (element.is_null() || !ExpectObject(element, recordPath)) continue;
                CheckKeys(element, recordPath, recordKeys);
                PathwayContaminant record;
                ReadFields(element, recordPath, record);
                ReadInputs(element, recordPath, record);
                entry.pathwayProperties.emplace(static_cast<int>(p), std::move(record));
            }
        }
        source.inventory.push_back(std::move(entry));
    }
}

void ProjectJsonReader::ReadSource(const Json& object, const std::string& path, Source& source) {
    ReadFields(object, path, source);
    if (const Json* vertices = Member(object, "vertices")) {
        const std::string verticesPath = JsonPointerChild(path, "vertices");
        if (ExpectArray(*vertices, verticesPath)) {
            for (std::size_t v = 0; v < vertices->size(); ++v) {
                PlanPoint vertex;
                if (ReadPoint((*vertices)[v], JsonPointerChild(verticesPath, v), vertex.x,
                              vertex.y))
                    source.vertices.push_back(vertex);
            }
        }
    }
    if (const Json* centre = Member(object, "centre"))
        ReadPoint(*centre, JsonPointerChild(path, "centre"), source.centre.x, source.centre.y);
    if (const Json* factors = Member(object, "declineFactors")) {
        const std::string factorsPath = JsonPointerChild(path, "declineFactors");
        if (source.decliningSource != Source::userDefinedDecline) {
            Problem(factorsPath, "decline factors belong only to a source with decliningSource 2");
        } else if (ExpectArray(*factors, factorsPath)) {
            for (std::size_t f = 0; f < factors->size(); ++f) {
                double factor = 0.0;
                if (ReadNumber((*factors)[f], JsonPointerChild(factorsPath, f), factor))
                    source.declineFactors.push_back(factor);
            }
        }
    }
    if (Member(object, "attachedReceptor"))
        attachedReceptors_.emplace_back(JsonPointerChild(path, "attachedReceptor"),
                                        source.attachedReceptor);
    const bool pathwaysRead = ReadPathways(object, path, source);
    ReadInputs(object, path, source);
    // Without its pathways the inventory's records would be judged against
    // the wrong ones.
    if (pathwaysRead) ReadInventory(object, path, source);
}

void ProjectJsonReader::ReadSources(const Json& document) {
    const Json* list = Member(document, "sources");
    if (list == nullptr || !ExpectArray(*list, "/sources")) return;
    if (list->size() > static_cast<std::size_t>(Project::maximumSources))
        Problem("/sources", "at most " + std::to_string(Project::maximumSources) +
                                " sources, found " + std::to_string(list->size()));
    const std::set<std::string> keys =
        KeysOf<Source>({"vertices", "centre", "declineFactors", "pathways", "inventory"});
    std::map<std::string, std::string> names;
    for (std::size_t s = 0; s < list->size(); ++s) {
        const Json& object = (*list)[s];
        const std::string path = JsonPointerChild("/sources", s);
        if (!ExpectObject(object, path)) continue;
        CheckKeys(object, path, keys);
        Source source;
        ReadSource(object, path, source);
        if (Member(object, "name")) {
            const auto [first, added] = names.emplace(source.name, JsonPointerChild(path, "name"));
            if (!added)
                Problem(JsonPointerChild(path, "name"), "duplicate source name \"" + source.name +
                                                            "\" (also " + first->second + ")");
        }
        project_.sources.push_back(std::move(source));
    }
}

void ProjectJsonReader::ReadReceptors(const Json& document) {
    const Json* list = Member(document, "receptors");
    if (list == nullptr || !ExpectArray(*list, "/receptors")) return;
    if (list->size() > static_cast<std::size_t>(Project::maximumReceptors)) {
        Problem("/receptors", "at most " + std::to_string(Project::maximumReceptors) +
                                  " receptors are allowed, found " + std::to_string(list->size()));
        return;
    }
    const std::set<std::string> keys = KeysOf<Receptor>();
    std::map<std::string, std::string> names;
    for (std::size_t r = 0; r < list->size(); ++r) {
        const Json& object = (*list)[r];
        const std::string path = JsonPointerChild("/receptors", r);
        // A bad element keeps its place: sources name receptors by index.
        project_.receptors.emplace_back();
        Receptor& receptor = project_.receptors.back();
        if (!ExpectObject(object, path)) continue;
        CheckKeys(object, path, keys);
        ReadFields(object, path, receptor);
        if (Member(object, "name")) {
            const auto [first, added] =
                names.emplace(receptor.name, JsonPointerChild(path, "name"));
            if (!added)
                Problem(JsonPointerChild(path, "name"), "duplicate receptor name \"" +
                                                            receptor.name + "\" (also " +
                                                            first->second + ")");
        }
    }
}

void ProjectJsonReader::CheckAttachedReceptors() {
    const int count = static_cast<int>(project_.receptors.size());
    for (const auto& [path, index] : attachedReceptors_)
        if (index >= count)
            Problem(path, "there is no receptor " + std::to_string(index) + " (the document has " +
                              std::to_string(count) + ")");
}

std::int32_t ProjectJsonReader::ResolveInput(const Json& value, const std::string& path) {
    if (!value.is_string()) {
        Problem(path, "expected a JSON pointer to an input, found " + Found(value));
        return 0;
    }
    const std::string text = value.get<std::string>();
    std::string pointer;
    try {
        // Written forms of one place differ only in escapes; the parsed
        // pointer has one form.
        pointer = Json::json_pointer(text).to_string();
    } catch (const std::exception&) {
        Problem(path, Found(value) + " is not a JSON pointer (it must start with \"/\")");
        return 0;
    }
    const auto found = inputs_.find(pointer);
    if (found == inputs_.end()) {
        Problem(path, Found(value) + " does not name a stochastic input of this document");
        return 0;
    }
    return found->second;
}

void ProjectJsonReader::ReadCorrelations(const Json& document) {
    const Json* list = Member(document, "correlations");
    if (list == nullptr || !ExpectArray(*list, "/correlations")) return;
    std::map<std::int32_t, std::string> references;
    for (std::size_t c = 0; c < list->size(); ++c) {
        const Json& object = (*list)[c];
        const std::string path = JsonPointerChild("/correlations", c);
        if (!ExpectObject(object, path)) continue;
        CheckKeys(object, path, {"name", "reference", "correlated", "value"});
        Correlation record;
        bool complete = true;
        if (const Json* name = Member(object, "name"))
            ReadValue(*name, JsonPointerChild(path, "name"), 0, 0, record.name);
        for (const char* role : {"reference", "correlated"}) {
            const std::string rolePath = JsonPointerChild(path, role);
            const Json* pointer = Member(object, role);
            std::int32_t id = 0;
            if (pointer == nullptr)
                Problem(rolePath, "missing required key");
            else
                id = ResolveInput(*pointer, rolePath);
            complete = complete && id != 0;
            (std::string(role) == "reference" ? record.referenceParameter
                                              : record.correlatedParameter) = id;
        }
        const Json* value = Member(object, "value");
        const std::string valuePath = JsonPointerChild(path, "value");
        if (value == nullptr) {
            Problem(valuePath, "missing required key");
            complete = false;
        } else if (!ReadNumber(*value, valuePath, record.value)) {
            complete = false;
        } else if (record.value < -1.0 || record.value > 1.0) {
            Problem(valuePath, "must be from -1 to 1, found " + Found(*value));
            complete = false;
        }
        if (!complete) continue;
        if (record.referenceParameter == record.correlatedParameter) {
            Problem(JsonPointerChild(path, "correlated"),
                    "an input cannot be correlated with itself");
            continue;
        }
        // The list keeps one record per reference input.
        const auto [first, added] = references.emplace(record.referenceParameter, path);
        if (!added) {
            Problem(JsonPointerChild(path, "reference"),
                    "this input is already the reference of " + first->second);
            continue;
        }
        project_.correlations.Add(record);
    }
}

void ProjectJsonReader::Read(const Json& document) {
    if (!ExpectObject(document, "")) return;
    if (!ReadFormat(document)) return;
    CheckKeys(document, "",
              {"format", "formatVersion", "details", "iterations", "samplingMethod", "timeSlices",
               "simulationLevel", "standardSelection", "processes", "sitePlan", "coordinateSystem",
               "plumeMap", "aquifer", "contaminants", "sources", "receptors", "correlations"});
    ReadSection(document, "details", project_.details);
    ReadIterations(document);
    ReadSamplingMethod(document);
    ReadTimeSlices(document);
    ReadFields(document, "", project_);
    ReadSection(document, "processes", project_.processes);
    ReadSection(document, "sitePlan", project_.sitePlan);
    ReadCoordinateSystem(document);
    ReadPlumeMap(document);
    ReadAquifer(document);
    ReadContaminants(document);
    ReadSources(document);
    ReadReceptors(document);
    CheckAttachedReceptors();
    ReadCorrelations(document);
}

} // namespace varnex
