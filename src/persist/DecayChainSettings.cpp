#include "persist/DecayChainSettings.h"

#include <cmath>
#include <map>

#include "base/NumberText.h"
#include "model/Project.h"
#include "stochastic/DistributionError.h"
#include "stochastic/DistributionType.h"

namespace varnex {
namespace DecayChainSettings {

namespace {

// Enough digits that every double reads back as itself.
constexpr int exactPrecision = 17;

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// A decimal integer with nothing else around it.
bool ParseInteger(const std::string& text, long long& value) {
    double number = 0.0;
    if (text.empty() || text.find_first_of(".eExXnN") != std::string::npos ||
        !ParseWholeNumber(text, number) || std::fabs(number) > 2147483647.0)
        return false;
    value = static_cast<long long>(number);
    return true;
}

Contaminant* Find(Project& project, long long identifier) {
    for (Contaminant& contaminant : project.contaminants)
        if (contaminant.identifier == identifier) return &contaminant;
    return nullptr;
}

} // namespace

bool IsChainKey(const std::string& key) {
    return StartsWith(key, parentPrefix) || StartsWith(key, yieldPrefix);
}

std::vector<Setting> Write(const Project& project, bool withResults) {
    std::vector<Setting> settings;
    for (const Contaminant& contaminant : project.contaminants) {
        const std::string id = std::to_string(contaminant.identifier);
        const bool hasParent = contaminant.parentIdentifier != Contaminant::noParent;
        if (hasParent)
            settings.emplace_back(parentPrefix + id, std::to_string(contaminant.parentIdentifier));
        const Distribution& yield = contaminant.yield.distribution;
        if (!hasParent && yield.type == DistributionType::undefined) continue;
        if (yield.type != DistributionType::undefined)
            settings.emplace_back(yieldPrefix + id, yield.Format(exactPrecision));
        const std::vector<double>& samples = contaminant.yield.Samples();
        if (!withResults || samples.empty()) continue;
        for (std::size_t start = 0, chunk = 0; start < samples.size();
             start += samplesPerChunk, ++chunk) {
            std::string text;
            for (std::size_t i = start; i < std::min(samples.size(), start + samplesPerChunk);
                 ++i) {
                if (!text.empty()) text += ' ';
                text += FormatG(samples[i], exactPrecision);
            }
            settings.emplace_back(samplesPrefix + id + " " + std::to_string(chunk),
                                  std::move(text));
        }
    }
    return settings;
}

void Apply(const std::vector<Setting>& settings, int iterations, Project& project) {
    // Samples by contaminant identifier, then chunk.
    std::map<long long, std::map<long long, std::string>> chunks;
    for (const auto& [key, value] : settings) {
        if (StartsWith(key, samplesPrefix)) {
            const std::string rest = key.substr(std::string(samplesPrefix).size());
            const std::size_t blank = rest.find(' ');
            long long identifier = 0, chunk = 0;
            if (blank != std::string::npos && ParseInteger(rest.substr(0, blank), identifier) &&
                ParseInteger(rest.substr(blank + 1), chunk) && chunk >= 0)
                chunks[identifier][chunk] = value;
        } else if (StartsWith(key, parentPrefix)) {
            long long identifier = 0, parent = 0;
            Contaminant* contaminant = nullptr;
            if (ParseInteger(key.substr(std::string(parentPrefix).size()), identifier) &&
                ParseInteger(value, parent) && (contaminant = Find(project, identifier)))
                contaminant->parentIdentifier = static_cast<int>(parent);
        } else if (StartsWith(key, yieldPrefix)) {
            long long identifier = 0;
            Contaminant* contaminant = nullptr;
            if (ParseInteger(key.substr(std::string(yieldPrefix).size()), identifier) &&
                (contaminant = Find(project, identifier))) {
                // Parsed like a typed text: one that does not read keeps its
                // error for the check to report.
                contaminant->yield.distribution.Parse(value);
            }
        }
    }
    for (Contaminant& contaminant : project.contaminants) {
        // A yield in use takes an identity, after the loaded inputs raised
        // the counter past theirs; an unused one stays without, so that
        // loading a project without chains leaves the counter where it
        // always did (the identities of inputs made after it are saved).
        if (contaminant.parentIdentifier != Contaminant::noParent ||
            contaminant.yield.distribution.type != DistributionType::undefined)
            contaminant.NumberYield();
        const auto found = chunks.find(contaminant.identifier);
        if (found == chunks.end()) continue;
        std::vector<double> samples;
        bool complete = true;
        long long expected = 0;
        for (const auto& [chunk, text] : found->second) {
            complete = complete && chunk == expected++;
            std::size_t position = 0;
            double value = 0.0;
            while (complete && position < text.size()) {
                if (!ScanDouble(text, position, value) || !std::isfinite(value)) {
                    complete = false;
                    break;
                }
                samples.push_back(value);
            }
        }
        if (complete && samples.size() == static_cast<std::size_t>(iterations))
            contaminant.yield.SetSamples(std::move(samples));
    }
}

} // namespace DecayChainSettings
} // namespace varnex
