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
    if (pointer.empty() || !document.contains(at))
        return Refused(JsonEditProblem::namesNothing, pointer,
                       "names nothing in the project's JSON form");
    const std::map<std::int32_t, std::string> inputs = InputJsonPointers(project);
    const bool input = std::any_of(inputs.begin(), inputs.end(),
                                   [&](const auto& entry) { return entry.second == pointer; });
    nlohmann::json& target = document[at];
    const bool numeric = value.kind == Kind::integer || value.kind == Kind::number;
    if (target.is_string() || (input && target.is_null())) {
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
