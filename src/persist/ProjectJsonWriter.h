#pragma once

#include <cstdint>
#include <map>
#include <nlohmann/json.hpp>
#include <string>

namespace varnex {

class Contaminant;

class Project;
class StochasticParameter;
template <class Entity>
struct ParameterField;

// Builds the JSON document of a project (layout in docs/project-json.md).
// While it writes the inputs it notes each input's JSON pointer, so that the
// correlations, written last, can name their inputs by place instead of by
// the identity numbers, which mean nothing outside this program's run.
class ProjectJsonWriter {
public:
    explicit ProjectJsonWriter(const Project& project) : project_(project) {}
    nlohmann::ordered_json Document();
    // After Document(): the JSON pointer of every input written, by identity.
    const std::map<std::int32_t, std::string>& InputPointers() const { return pointers_; }

private:
    template <class Entity>
    void WriteEntity(const Entity& entity, const std::string& path, nlohmann::ordered_json& object);
    template <class Entity>
    void WriteFields(const Entity& entity, nlohmann::ordered_json& object) const;
    template <class Entity>
    void WriteInputs(const Entity& entity, const std::string& path, nlohmann::ordered_json& object);
    template <class Entity>
    nlohmann::ordered_json Input(const StochasticParameter& input,
                                 const ParameterField<Entity>& field) const;
    void WriteChain(const Contaminant& contaminant, nlohmann::ordered_json& object) const;
    nlohmann::ordered_json SourceObject(std::size_t index);
    nlohmann::ordered_json Correlations() const;

    const Project& project_;
    // Input identity -> pointer of the first input written with it.
    std::map<std::int32_t, std::string> pointers_;
};

} // namespace varnex
