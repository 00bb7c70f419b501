#pragma once

#include <cstdint>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "persist/ProblemList.h"
#include "stochastic/IterationCount.h"

namespace varnex {

class Project;
class Source;
class StochasticParameter;
template <class Entity>
struct ProjectJsonField;

// Fills a reset project from a parsed JSON document (layout in
// docs/project-json.md), checking every value against what the model can
// hold. It never stops at the first problem: each bad, unknown or missing
// field adds one problem naming its JSON pointer, and reading goes on with
// the rest of the document, so that one attempt shows the user everything
// to fix. Only a document of another format or a newer version is refused
// as a whole. The caller decides what to keep: the project is complete only
// when no problem was found, and the inventory invariant is not yet applied.
class ProjectJsonReader {
public:
    using Json = nlohmann::ordered_json;

    // Every source holds one record of pathway properties per pathway and
    // contaminant, so a few bytes of document ("{}" for a pathway) can ask
    // for kilobytes of model each. A large real project (30 sources, the 64
    // species of the shipped standards files, ten layers each: about 19,000)
    // stays well below this; a document beyond it is refused before the
    // records are made.
    static constexpr std::size_t maximumPathwayRecords = 50000;

    ProjectJsonReader(Project& project, ProblemList& problems)
        : project_(project), problems_(problems) {}
    void Read(const Json& document);
    // The document's program-wide iteration count.
    int Iterations() const { return iterations_; }

private:
    void Problem(const std::string& path, const std::string& message);
    bool ExpectObject(const Json& value, const std::string& path);
    bool ExpectArray(const Json& value, const std::string& path);
    void CheckKeys(const Json& object, const std::string& path,
                   const std::set<std::string>& allowed);
    template <class Entity>
    std::set<std::string> KeysOf(std::initializer_list<const char*> further = {}) const;

    bool ReadInteger(const Json& value, const std::string& path, std::int64_t minimum,
                     std::int64_t maximum, std::int64_t& result);
    bool ReadNumber(const Json& value, const std::string& path, double& result);
    void ReadValue(const Json& value, const std::string& path, std::int64_t, std::int64_t,
                   bool& target);
    void ReadValue(const Json& value, const std::string& path, std::int64_t minimum,
                   std::int64_t maximum, int& target);
    void ReadValue(const Json& value, const std::string& path, std::int64_t minimum,
                   std::int64_t maximum, std::int16_t& target);
    void ReadValue(const Json& value, const std::string& path, std::int64_t, std::int64_t,
                   double& target);
    void ReadValue(const Json& value, const std::string& path, std::int64_t, std::int64_t,
                   std::string& target);
    bool ReadPoint(const Json& value, const std::string& path, double& x, double& y);

    template <class Entity>
    void ReadFields(const Json& object, const std::string& path, Entity& entity);
    template <class Entity>
    void ReadInputs(const Json& object, const std::string& path, Entity& entity);
    template <class Entity>
    bool ReadSection(const Json& document, const char* key, Entity& entity);
    void ReadInput(const Json& value, const std::string& path, StochasticParameter& input);
    void ReadDistributionText(const Json& value, const std::string& path,
                              StochasticParameter& input);

    bool ReadFormat(const Json& document);
    void ReadIterations(const Json& document);
    void ReadSamplingMethod(const Json& document);
    void ReadCoordinateSystem(const Json& document);
    void ReadPlumeMap(const Json& document);
    void ReadTimeSlices(const Json& document);
    void ReadAquifer(const Json& document);
    void ReadContaminants(const Json& document);
    void ReadParents(const std::vector<std::pair<std::size_t, const Json*>>& parents);
    void ReadSources(const Json& document);
    void ReadSource(const Json& object, const std::string& path, Source& source);
    // False when the document's pathways are not read (too many).
    bool ReadPathways(const Json& object, const std::string& path, Source& source);
    void ReadInventory(const Json& object, const std::string& path, Source& source);
    void ReadReceptors(const Json& document);
    void CheckAttachedReceptors();
    void ReadCorrelations(const Json& document);
    // The identity of the input a correlation's pointer names, or 0.
    std::int32_t ResolveInput(const Json& value, const std::string& path);

    Project& project_;
    ProblemList& problems_;
    int iterations_ = defaultIterationCount;
    // What is left of maximumPathwayRecords; a pathway counts once per
    // contaminant (and once without contaminants, for its own inputs).
    std::size_t pathwayRecordsLeft_ = maximumPathwayRecords;
    // Pointer of every input of every entity read -> its identity. Entities
    // move as their sequences grow; identities stay.
    std::map<std::string, std::int32_t> inputs_;
    // The identifiers of the contaminants read, for the inventory's
    // references.
    std::set<int> contaminantIdentifiers_;
    // Attached receptor indices with their paths, checked once the
    // receptors are known.
    std::vector<std::pair<std::string, int>> attachedReceptors_;
};

} // namespace varnex
