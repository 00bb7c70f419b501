#include "analysis/SensitivityAnalysis.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "analysis/SensitivityInputs.h"
#include "base/NumberText.h"
#include "base/TextFormat.h"
#include "model/Project.h"
#include "results/ResultVector.h"
#include "settings/Translate.h"
#include "stochastic/DistributionType.h"
#include "stochastic/RankCorrelation.h"
#include "stochastic/StochasticParameter.h"

namespace varnex {

namespace {

bool AllFinite(const std::vector<double>& v) {
    return std::all_of(v.begin(), v.end(), [](double value) { return std::isfinite(value); });
}

bool Constant(const std::vector<double>& v) {
    const auto [low, high] = std::minmax_element(v.begin(), v.end());
    return *low == *high;
}

// Whether a coefficient can be formed at all. Constant samples or results
// are tested directly: their sums of squares would otherwise be rounding
// noise rather than 0, and the quotient of two noises any number at all.
bool Correlatable(const StochasticParameter& parameter, const ResultVector& result) {
    if (parameter.distribution.type == DistributionType::single) return false;
    const std::vector<double>& x = parameter.Samples();
    const std::vector<double>& y = result.Values();
    if (y.empty() || x.size() != y.size()) return false;
    if (!AllFinite(x) || !AllFinite(y)) return false;
    return !Constant(x) && !Constant(y);
}

double Bounded(double coefficient) {
    if (!std::isfinite(coefficient)) return 0.0;
    return std::clamp(coefficient, -1.0, 1.0);
}

} // namespace

double ProductMomentCoefficient(const StochasticParameter& parameter, const ResultVector& result) {
    if (!Correlatable(parameter, result)) return 0.0;
    const std::vector<double>& x = parameter.Samples();
    const std::vector<double>& y = result.Values();
    const std::size_t n = y.size();
    double sumX = 0.0;
    double sumY = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        sumX += x[i];
        sumY += y[i];
    }
    // The mean of the values as they stand (what the result's statistics
    // hold after a run, without depending on their being computed).
    const double meanX = sumX / static_cast<double>(n);
    const double meanY = sumY / static_cast<double>(n);
    double sxy = 0.0;
    double sxx = 0.0;
    double syy = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double dx = x[i] - meanX;
        const double dy = y[i] - meanY;
        sxy += dy * dx;
        sxx += dx * dx;
        syy += dy * dy;
    }
    const double d = std::sqrt(syy * sxx);
    if (d == 0.0) return 0.0;
    return Bounded(sxy / d);
}

namespace {

// The rank coefficient with the iterations already ordered by the input's
// samples: the ordering depends on the input alone, so a ranking that pairs
// one input with many result vectors orders its samples once.
double RankCoefficientInOrder(const std::vector<double>& x, const std::vector<std::size_t>& index,
                              const std::vector<double>& y) {
    const std::size_t n = y.size();
    double sumR = 0.0;
    double sumR2 = 0.0;
    double sumY = 0.0;
    double sumY2 = 0.0;
    double sumRY = 0.0;
    double sumX = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double r = static_cast<double>(i + 1);
        const double value = y[index[i]];
        sumR += r;
        sumR2 += r * r;
        sumY += value;
        sumY2 += value * value;
        sumRY += r * value;
        sumX += x[i];
    }
    if (sumY == 0.0 || sumX == 0.0) return 0.0;
    const double m = static_cast<double>(n);
    const double a = m * sumR2 - sumR * sumR;
    const double b = m * sumY2 - sumY * sumY;
    if (a <= 0.0 || b <= 0.0) return 0.0;
    return Bounded((m * sumRY - sumY * sumR) / (std::sqrt(b) * std::sqrt(a)));
}

} // namespace

double RankCoefficient(const StochasticParameter& parameter, const ResultVector& result) {
    if (!Correlatable(parameter, result)) return 0.0;
    return RankCoefficientInOrder(parameter.Samples(), GapExchangeRanking(parameter.Samples()),
                                  result.Values());
}

namespace {

bool Admits(int selected, std::size_t index) {
    return selected == SensitivitySelection::all || static_cast<std::size_t>(selected) == index;
}

class EntryBuilder {
public:
    EntryBuilder(Project& project, const SensitivitySelection& selection)
        : selection_(selection), inputs_(project) {}

    // One entry per input of `list` against `result`; `label` names a row
    // from the input's prefix and label, `context` says where the result
    // was taken.
    template <typename Label>
    void Append(const std::vector<SensitivityInputs::Input>& list, const ResultVector& result,
                Label label, const SensitivityLabelParts& context) {
        for (const SensitivityInputs::Input& input : list) {
            SensitivityEntry entry;
            entry.label = label(input.prefix, input.parameter->Label());
            entry.parts = context;
            entry.parts.input = input.prefix + input.parameter->Label();
            entry.isSingleValue = input.parameter->distribution.type == DistributionType::single;
            entry.coefficient = selection_.rank
                                    ? Rank(*input.parameter, result)
                                    : ProductMomentCoefficient(*input.parameter, result);
            entries_.push_back(std::move(entry));
        }
    }

    const SensitivityInputs& Inputs() const { return inputs_; }
    std::vector<SensitivityEntry>& Entries() { return entries_; }

private:
    // RankCoefficient, with each input's samples ordered once per ranking:
    // the aquifer's inputs, say, are paired with every source, receptor and
    // contaminant, and the ordering is the whole cost of a coefficient.
    double Rank(const StochasticParameter& parameter, const ResultVector& result) {
        if (!Correlatable(parameter, result)) return 0.0;
        auto found = orders_.find(&parameter);
        if (found == orders_.end())
            found = orders_.emplace(&parameter, GapExchangeRanking(parameter.Samples())).first;
        return RankCoefficientInOrder(parameter.Samples(), found->second, result.Values());
    }

    const SensitivitySelection& selection_;
    SensitivityInputs inputs_;
    std::vector<SensitivityEntry> entries_;
    std::unordered_map<const StochasticParameter*, std::vector<std::size_t>> orders_;
};

template <typename T>
const T* At(const std::vector<T>& v, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= v.size()) return nullptr;
    return &v[static_cast<std::size_t>(index)];
}

} // namespace

std::vector<SensitivityEntry> ComputeEntries(Project& project,
                                             const SensitivitySelection& selection) {
    using namespace SensitivityResult;
    EntryBuilder builder(project, selection);
    const int code = selection.result;
    const int slice = selection.timeSlice;
    const std::string oneFormat = TranslateFormat("%s - %s - %s%s");
    const std::string allPathwaysFormat = TranslateFormat("%s - %s - %s - %s%s");
    const std::string receptorFormat = TranslateFormat("%s - %s - %s%s - %s");

    for (std::size_t c = 0; c < project.contaminants.size(); ++c) {
        if (!Admits(selection.contaminant, c)) continue;
        const Contaminant& contaminant = project.contaminants[c];
        for (std::size_t s = 0; s < project.sources.size(); ++s) {
            if (!Admits(selection.source, s)) continue;
            Source& source = project.sources[s];
            auto found = std::find_if(source.inventory.begin(), source.inventory.end(),
                                      [&](const SourceContaminant& e) {
                                          return e.contaminant == contaminant.identifier;
                                      });
            if (found == source.inventory.end() || !project.EntryTakesPart(*found)) continue;
            SourceContaminant& entry = *found;

            auto oneLabel = [&](const std::string& prefix, const std::string& label) {
                return FormatText(oneFormat, {contaminant.name, source.name, prefix, label});
            };
            SensitivityLabelParts context;
            context.contaminant = contaminant.name;
            context.source = source.name;
            switch (code) {
            case sourceConcentration:
                if (const ResultVector* result = At(entry.sourceConcentrations, slice))
                    builder.Append(builder.Inputs().For(code, source, entry, 0), *result, oneLabel,
                                   context);
                break;
            case unsaturatedZoneTravelTime:
            case baseOfUnsaturatedZoneConcentration: {
                // The pathway choice belongs to one source; with every
                // source, every pathway is visited.
                const int chosen = selection.source == SensitivitySelection::all
                                       ? SensitivitySelection::all
                                       : selection.pathway;
                for (std::size_t p = 0; p < source.pathways.size(); ++p) {
                    if (!Admits(chosen, p)) continue;
                    // Excluded layers are not offered (their travel time is
                    // 0 and they pass concentrations on), except the first.
                    if (chosen == SensitivitySelection::all && p > 0 && !source.pathways[p].include)
                        continue;
                    auto record = entry.pathwayProperties.find(static_cast<int>(p));
                    if (record == entry.pathwayProperties.end()) continue;
                    const ResultVector* result = code == unsaturatedZoneTravelTime
                                                     ? &record->second.retardedTravelTime
                                                     : At(record->second.concentrations, slice);
                    if (!result) continue;
                    const auto inputs = builder.Inputs().For(code, source, entry, p);
                    if (chosen != SensitivitySelection::all) {
                        builder.Append(inputs, *result, oneLabel, context);
                    } else {
                        const std::string& pathwayName = source.pathways[p].name;
                        SensitivityLabelParts layer = context;
                        layer.pathway = pathwayName;
                        builder.Append(
                            inputs, *result,
                            [&](const std::string& prefix, const std::string& label) {
                                return FormatText(allPathwaysFormat, {pathwayName, contaminant.name,
                                                                      source.name, prefix, label});
                            },
                            layer);
                    }
                }
                break;
            }
            case receptorTravelTime:
            case receptorConcentration: {
                const auto inputs = builder.Inputs().For(code, source, entry, 0);
                for (std::size_t r = 0; r < project.receptors.size(); ++r) {
                    if (!Admits(selection.receptor, r)) continue;
                    const ResultVector* result = nullptr;
                    if (code == receptorTravelTime) {
                        result = At(entry.receptorRetardedTravelTimes, static_cast<int>(r));
                    } else if (const auto* perSlice =
                                   At(entry.receptorConcentrations, static_cast<int>(r))) {
                        result = At(*perSlice, slice);
                    }
                    if (!result) continue;
                    const std::string& receptorName = project.receptors[r].name;
                    SensitivityLabelParts at = context;
                    at.receptor = receptorName;
                    builder.Append(
                        inputs, *result,
                        [&](const std::string& prefix, const std::string& label) {
                            return FormatText(receptorFormat, {contaminant.name, source.name,
                                                               prefix, label, receptorName});
                        },
                        at);
                }
                break;
            }
            default: break;
            }
        }
    }

    std::vector<SensitivityEntry>& entries = builder.Entries();
    // Reversed first, so that the stable sort leaves equals in the reverse
    // of the walk order and a list read from the end shows them in it.
    std::reverse(entries.begin(), entries.end());
    auto key = [](const SensitivityEntry& e) {
        return e.isSingleValue ? -1.0 : std::fabs(e.coefficient);
    };
    std::stable_sort(
        entries.begin(), entries.end(),
        [&key](const SensitivityEntry& a, const SensitivityEntry& b) { return key(a) < key(b); });
    return std::move(entries);
}

std::vector<SensitivityRow> FillList(const std::vector<SensitivityEntry>& entries,
                                     bool firstTenOnly, bool excludeZero) {
    constexpr std::size_t firstRows = 10;
    std::vector<SensitivityRow> rows;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        if (firstTenOnly && rows.size() >= firstRows) break;
        if (it->isSingleValue) {
            rows.push_back({it->label, Translate("Single Value"), 0.0, true, it->parts});
            continue;
        }
        if (excludeZero && it->coefficient == 0.0) continue;
        rows.push_back({it->label, FormatG(it->coefficient), it->coefficient, false, it->parts});
    }
    return rows;
}

} // namespace varnex
