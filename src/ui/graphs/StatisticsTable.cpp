#include "ui/graphs/StatisticsTable.h"

#include <cctype>
#include <cstddef>
#include <cstdio>

#include "base/NumberText.h"
#include "base/TextFormat.h"
#include "model/Project.h"
#include "results/ResultStatistics.h"
#include "results/ResultVector.h"
#include "settings/Translate.h"
#include "ui/graphs/GraphBuilder.h"

namespace varnex::ui {

namespace StatisticsKind {

const char* Caption(int kind) {
    static constexpr const char* captions[count] = {
        TranslatableText("Concentrations [mg/l]"),
        TranslatableText("Retarded Travel Times [years]"),
        TranslatableText("Unretarded Travel Times [years]"),
        TranslatableText("Diluted Concentration [mg/l]"),
        TranslatableText("Aquifer Flow [m\u00b3/yr]"),
    };
    return kind >= 0 && kind < count ? captions[kind] : "";
}

bool DependsOnTime(int kind) { return kind == concentration || kind == dilutedConcentration; }

} // namespace StatisticsKind

namespace {

constexpr const char* noValue = "---";

template <typename Sequence>
const typename Sequence::value_type* Element(const Sequence& sequence, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= sequence.size()) return nullptr;
    return &sequence[static_cast<std::size_t>(index)];
}

// The level formats need a zero-padded width ("%02d"), which the
// program's own formatter does not do; TranslateFormat has checked that a
// translation has the same conversions as the English text.
std::string LevelText(const char* englishFormat, int level) {
    char text[256];
    std::snprintf(text, sizeof text, TranslateFormat(englishFormat).c_str(), level);
    return text;
}

std::string PercentileLabel(int level) {
    return LevelText(TranslatableText("%02d%% of values less than"), level);
}

std::string IntervalLabel(int level) {
    return LevelText(TranslatableText("95%% confidence interval of the %02d%% value"), level);
}

} // namespace

std::string StatisticsTable::FormatValue(double value) {
    std::string text = FormatG(value, 6);
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string StatisticsTable::PathwayEntry(const std::string& pathwayName) {
    return FormatText(TranslateFormat("Base of Unsaturated Zone %s"), {pathwayName});
}

bool StatisticsTable::Locate(const StatisticsChoice& choice, ResultLocation& location) {
    using namespace GraphResultKind;
    location = ResultLocation{};
    location.source = choice.source;
    location.contaminant = choice.contaminant;
    location.receptor = choice.receptor;
    const bool atReceptor = choice.measuredAt == MeasuredAt::receptor;
    const bool atSource = choice.measuredAt == MeasuredAt::source;
    const bool atPathway = choice.measuredAt >= MeasuredAt::firstPathway;
    location.pathway = atPathway ? choice.measuredAt - MeasuredAt::firstPathway : 0;
    switch (choice.kind) {
    case StatisticsKind::concentration:
        location.kind = atReceptor ? receptorConcentration
                        : atSource ? sourceConcentration
                                   : baseOfUnsaturatedZoneConcentration;
        return atReceptor || atSource || atPathway;
    case StatisticsKind::retardedTravelTime:
        location.kind = atReceptor ? receptorRetardedTravelTime : uzRetardedTravelTime;
        return atReceptor || atPathway;
    case StatisticsKind::unretardedTravelTime:
        location.kind = atReceptor ? receptorUnretardedTravelTime : uzUnretardedTravelTime;
        return atReceptor || atPathway;
    case StatisticsKind::dilutedConcentration:
        location.kind = dilutedConcentration;
        return atPathway;
    case StatisticsKind::aquiferFlow:
        // The flow beneath a source: the same wherever it is measured.
        location.kind = aquiferFlow;
        return true;
    default: return false;
    }
}

std::vector<StatisticsLine> StatisticsTable::Lines(const Project& project,
                                                   const StatisticsChoice& choice) {
    ResultLocation location;
    const ResultVector* vector =
        Locate(choice, location) ? FindResultVector(project, location, choice.timeSlice) : nullptr;

    std::vector<StatisticsLine> lines;
    auto add = [&lines, vector](const std::string& label, double value) {
        lines.push_back({label, vector ? FormatValue(value) : std::string(noValue)});
    };
    const ResultVector empty;
    const ResultVector& v = vector ? *vector : empty;
    add(Translate("Minimum"), v.Minimum());
    add(Translate("Maximum"), v.Maximum());
    add(Translate("Mean"), v.Mean());
    add(Translate("SD"), v.StandardDeviation());
    add(Translate("Variance"), v.Variance());
    for (int k = 0; k < ResultVector::percentileCount; ++k)
        add(PercentileLabel(v.PercentileLevel(k)), v.PercentileValue(k));

    // How likely the standard is exceeded is what a risk assessment asks
    // first; the intervals tell whether the iteration count is enough to
    // trust the percentiles.
    double standard = 0.0;
    if (ApplicableStandard(project, location, standard)) {
        const std::string label = FormatText(
            TranslateFormat("Probability of exceeding the WQS of %g [mg/l]"), {standard});
        add(label, vector ? ExceedanceProbability(v.Values(), standard) : 0.0);
    }
    std::vector<double> sorted = v.Values();
    SortValues(sorted);
    for (int k = 0; k < ResultVector::percentileCount; ++k) {
        std::string text = noValue;
        if (vector) {
            const auto interval = PercentileConfidenceInterval95(sorted, v.PercentileLevel(k));
            text = FormatValue(interval.first) + " - " + FormatValue(interval.second);
        }
        lines.push_back({IntervalLabel(v.PercentileLevel(k)), text});
    }
    return lines;
}

std::string StatisticsTable::Caption(const Project& project, const StatisticsChoice& choice) {
    std::string description;
    auto append = [&description](const std::string& part) {
        if (part.empty()) return;
        if (!description.empty()) description += ", ";
        description += part;
    };
    if (choice.kind != StatisticsKind::aquiferFlow)
        if (const Contaminant* contaminant = Element(project.contaminants, choice.contaminant))
            append(contaminant->name);
    if (choice.source == ResultLocation::total)
        append(Translate("Total"));
    else if (const Source* source = Element(project.sources, choice.source))
        append(source->name);
    append(Translate(StatisticsKind::Caption(choice.kind)));
    if (choice.measuredAt == MeasuredAt::receptor) {
        if (const Receptor* receptor = Element(project.receptors, choice.receptor))
            append(receptor->name);
    } else if (choice.measuredAt == MeasuredAt::source) {
        append(Translate("Source"));
    } else if (const Source* source = Element(project.sources, choice.source)) {
        if (const UnsaturatedPathway* pathway =
                Element(source->pathways, choice.measuredAt - MeasuredAt::firstPathway))
            append(PathwayEntry(pathway->name));
    }
    if (StatisticsKind::DependsOnTime(choice.kind))
        if (const double* years = Element(project.timeSlices, choice.timeSlice))
            append(GraphBuilder::TimeSliceText(*years));
    return Translate("Statistics") + ": " + description;
}

} // namespace varnex::ui
