#include "persist/ProjectJsonEdit.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <nlohmann/json.hpp>

#include "base/NumberText.h"
#include "model/Project.h"
#include "persist/ProjectJson.h"
#include "stochastic/Distribution.h"

namespace varnex {

JsonEditValue JsonEditValue::Text(std::string text) {
    JsonEditValue value;
    value.text = std::move(text);
    return value;
}

JsonEditValue JsonEditValue::Integer(long long integer, std::string text) {
    JsonEditValue value;
    value.kind = Kind::integer;
    value.integer = integer;
    value.number = static_cast<double>(integer);
    value.text = std::move(text);
    return value;
}

JsonEditValue JsonEditValue::Number(double number, std::string text) {
    JsonEditValue value;
    value.kind = Kind::number;
    value.number = number;
    value.text = std::move(text);
    return value;
}

JsonEditValue JsonEditValue::Truth(bool truth) {
    JsonEditValue value;
    value.kind = Kind::truth;
    value.truth = truth;
    value.text = truth ? "true" : "false";
    return value;
}

JsonEditValue JsonEditValue::OfCell(const std::string& cell) {
    std::string trimmed = cell;
    trimmed.erase(0, trimmed.find_first_not_of(" \t"));
    trimmed.erase(trimmed.find_last_not_of(" \t") + 1);
    std::string lowered = trimmed;
    for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lowered == "true" || lowered == "false") return Truth(lowered == "true");
    double number = 0.0;
    if (!trimmed.empty() && ParseWholeNumber(trimmed, number) && std::isfinite(number)) {
        const bool whole =
            trimmed.find_first_of(".eE") == std::string::npos && std::fabs(number) < 9.0e15;
        return whole ? Integer(static_cast<long long>(number), trimmed) : Number(number, trimmed);
    }
    return Text(trimmed);
}

namespace {

JsonEditResult Refused(JsonEditProblem problem, const std::string& pointer,
                       const std::string& why) {
    return {problem, "\"" + pointer + "\" " + why};
}

enum class ChainPlace { none, parent, yield };

// Whether the pointer names "/contaminants/<i>/parent" or ".../yield" of a
// contaminant the document has.
ChainPlace ChainPlaceOf(const nlohmann::json& document, const std::string& pointer) {
    const std::string prefix = "/contaminants/";
    if (pointer.compare(0, prefix.size(), prefix) != 0) return ChainPlace::none;
    const std::size_t slash = pointer.find('/', prefix.size());
    if (slash == std::string::npos) return ChainPlace::none;
    const std::string index = pointer.substr(prefix.size(), slash - prefix.size());
    if (index.empty() || index.size() > 9 || (index.size() > 1 && index[0] == '0') ||
        !std::all_of(index.begin(), index.end(),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
        return ChainPlace::none;
    const auto list = document.find("contaminants");
    if (list == document.end() || !list->is_array() || std::stoul(index) >= list->size())
        return ChainPlace::none;
    const std::string key = pointer.substr(slash + 1);
    if (key == "parent") return ChainPlace::parent;
    if (key == "yield") return ChainPlace::yield;
    return ChainPlace::none;
}

} // namespace

JsonEditResult EditProjectJson(Project& project, const std::string& pointer,
                               const JsonEditValue& value) {
    using Kind = JsonEditValue::Kind;
    nlohmann::json document = nlohmann::json::parse(WriteProjectJson(project));
    nlohmann::json::json_pointer at;
    try {
        at = nlohmann::json::json_pointer(pointer);
    } catch (const nlohmann::json::exception&) {
        return {JsonEditProblem::notAPointer,
                "\"" + pointer + "\" is not a JSON pointer (\"/sources/0/name\")"};
    }
    // A contaminant's place in a decay chain is in the form only once it
    // has one (a project without chains writes as before), yet a script
    // may set it on any contaminant.
    const ChainPlace chain = ChainPlaceOf(document, pointer);
    if (chain != ChainPlace::none && !document.contains(at)) document[at] = nullptr;
    if (pointer.empty() || !document.contains(at))
        return Refused(JsonEditProblem::namesNothing, pointer,
                       "names nothing in the project's JSON form");
    const std::map<std::int32_t, std::string> inputs = InputJsonPointers(project);
    const bool input = chain == ChainPlace::yield ||
                       std::any_of(inputs.begin(), inputs.end(),
                                   [&](const auto& entry) { return entry.second == pointer; });
    nlohmann::json& target = document[at];
    const bool numeric = value.kind == Kind::integer || value.kind == Kind::number;
    if (chain == ChainPlace::parent) {
        // A contaminant's name (or identifier); an empty text: no parent.
        if (value.kind == Kind::text)
            target = value.text.empty() ? nlohmann::json(nullptr) : nlohmann::json(value.text);
        else if (value.kind == Kind::integer)
            target = value.integer;
        else
            return Refused(JsonEditProblem::wrongType, pointer,
                           "takes a contaminant's name, or an empty text for none");
    } else if (target.is_string() || (input && target.is_null())) {
        // An input's distribution is a text; a number given for it is its
        // single value, written as it was given.
        if (value.kind != Kind::text && !(input && numeric))
            return Refused(JsonEditProblem::wrongType, pointer,
                           input ? "takes a text or a number" : "takes a text");
        if (input) {
            Distribution distribution;
            if (!distribution.Parse(value.text) || !distribution.Validate())
                return {JsonEditProblem::invalid,
                        "\"" + pointer + "\": " + distribution.ErrorText()};
        }
        target = value.text;
    } else if (target.is_boolean()) {
        if (value.kind != Kind::truth)
            return Refused(JsonEditProblem::wrongType, pointer, "takes true or false");
        target = value.truth;
    } else if (target.is_number_integer()) {
        if (value.kind != Kind::integer)
            return Refused(JsonEditProblem::wrongType, pointer, "takes a whole number");
        target = value.integer;
    } else if (target.is_number()) {
        if (!numeric) return Refused(JsonEditProblem::wrongType, pointer, "takes a number");
        target = value.number;
    } else {
        return Refused(JsonEditProblem::wrongType, pointer,
                       "is a list or an object; set its members one by one");
    }
    Project edited;
    std::vector<std::string> problems;
    if (!ReadProjectJson(document.dump(), edited, problems)) {
        std::string message = "\"" + pointer + "\" cannot take this value:";
        for (const std::string& problem : problems) message += "\n  " + problem;
        return {JsonEditProblem::invalid, message};
    }
    project = std::move(edited);
    return {};
}

} // namespace varnex
