#include "ui/graphs/GraphBuilder.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "base/NumberText.h"
#include "base/TextFormat.h"
#include "model/Project.h"
#include "results/Convergence.h"
#include "results/ResultVector.h"
#include "settings/Translate.h"
#include "stochastic/IterationCount.h"

namespace varnex::ui {

namespace {

template <typename Sequence>
const typename Sequence::value_type* Element(const Sequence& sequence, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= sequence.size()) return nullptr;
    return &sequence[static_cast<std::size_t>(index)];
}

std::string PathwayName(const Project& project, const ResultLocation& location) {
    const Source* source = Element(project.sources, location.source);
    const UnsaturatedPathway* pathway =
        source ? Element(source->pathways, location.pathway) : nullptr;
    return pathway ? pathway->name : std::string();
}

// Frequency points with the value along y: the engine lists (value,
// probability).
std::vector<GraphPoint> ProbabilityAlongX(std::vector<GraphPoint> points) {
    for (GraphPoint& point : points) std::swap(point.x, point.y);
    return points;
}

std::string Title(const Project& project, const ResultLocation& location, std::size_t iterations) {
    using namespace GraphResultKind;
    std::string title = Translate("Results");
    const Contaminant* contaminant = Element(project.contaminants, location.contaminant);
    if (UsesContaminant(location.kind) && contaminant) title += " - " + contaminant->name;
    if (location.source == ResultLocation::total) {
        title += ", " + Translate("Total");
    } else if (const Source* source = Element(project.sources, location.source)) {
        title += " - " + source->name;
        if (UsesPathway(location.kind)) {
            const std::string pathway = PathwayName(project, location);
            if (!pathway.empty()) title += " - " + pathway;
        }
    }
    if (UsesReceptor(location.kind))
        if (const Receptor* receptor = Element(project.receptors, location.receptor))
            title += " - " + receptor->name;
    title += " " + FormatText(TranslateFormat("- %d Trials"), {static_cast<long long>(iterations)});
    return title;
}

} // namespace

const char* GraphBuilder::PercentileCurveName(int percentileIndex) {
    static constexpr const char* names[] = {
        TranslatableText("5 (black)"),   TranslatableText("10 (red)"),
        TranslatableText("25 (yellow)"), TranslatableText("50 (cyan)"),
        TranslatableText("75 (grey)"),   TranslatableText("90 (green)"),
        TranslatableText("95 (blue)"),
    };
    return percentileIndex >= 0 && percentileIndex < 7 ? names[percentileIndex] : "";
}

unsigned GraphBuilder::PercentileCurveColour(int percentileIndex) {
    // Yellow and cyan darkened enough to read on white paper.
    static constexpr unsigned colours[] = {0x000000, 0xe00000, 0xc8b400, 0x00a8b8,
                                           0x808080, 0x00a000, 0x0000e0};
    return percentileIndex >= 0 && percentileIndex < 7 ? colours[percentileIndex] : 0x000000;
}

unsigned GraphBuilder::TimeCurveColour(int k) {
    // No red: red is the standard's line, and the time slice the reader
    // compares with the standard must not look like it.
    static constexpr unsigned colours[] = {0x0000e0, 0x00a000, 0x000000, 0xd07000, 0x00a8b8,
                                           0x808080, 0xa05000, 0x8000a0, 0xe000c0, 0x808000};
    return colours[static_cast<std::size_t>(k < 0 ? 0 : k) % (sizeof colours / sizeof colours[0])];
}

unsigned GraphBuilder::StandardLineColour() {
    // A deep crimson: darker and bluer than the "10 (red)" percentile curve,
    // and drawn dashed as well.
    return 0xb0003c;
}

const char* GraphBuilder::ConvergenceCurveName(int curve) {
    static constexpr const char* names[convergenceCurves] = {
        TranslatableText("95th percentile: upper 95 % limit"),
        TranslatableText("95th percentile"),
        TranslatableText("95th percentile: lower 95 % limit"),
        TranslatableText("50th percentile: upper 95 % limit"),
        TranslatableText("50th percentile"),
        TranslatableText("50th percentile: lower 95 % limit"),
        TranslatableText("Mean"),
    };
    return curve >= 0 && curve < convergenceCurves ? names[curve] : "";
}

namespace {

// The convergence curves of one vector: the limits in the pale colour of
// their percentile, so that the band reads as one.
std::vector<GraphCurve> ConvergenceCurves(const ResultVector& vector) {
    const std::vector<ConvergencePoint> points = ConvergenceOf(vector.Values());
    static constexpr unsigned colours[GraphBuilder::convergenceCurves] = {
        0x9090f0, 0x0000e0, 0x9090f0, 0x90d8e0, 0x00a8b8, 0x90d8e0, 0x000000};
    std::vector<GraphCurve> curves;
    for (int c = 0; c < GraphBuilder::convergenceCurves; ++c) {
        GraphCurve curve{Translate(GraphBuilder::ConvergenceCurveName(c)), colours[c], {}};
        for (const ConvergencePoint& p : points) {
            const double values[GraphBuilder::convergenceCurves] = {
                p.p95High, p.p95, p.p95Low, p.medianHigh, p.median, p.medianLow, p.mean};
            curve.points.push_back({static_cast<double>(p.iterations), values[c]});
        }
        curves.push_back(std::move(curve));
    }
    return curves;
}

} // namespace

std::string GraphBuilder::TimeSliceText(double years) {
    return FormatText(TranslateFormat("%.0lf years"), {years});
}

std::string GraphBuilder::ValueAxisTitle(const Project& project, const ResultLocation& location) {
    using namespace GraphResultKind;
    const std::string pathway = PathwayName(project, location);
    switch (location.kind) {
    case sourceConcentration: return Translate("Concentration at Source [mg/l]");
    case baseOfUnsaturatedZoneConcentration:
        return FormatText(TranslateFormat("Concentration at base of %s [mg/l]"), {pathway});
    case receptorConcentration: return Translate("Concentration at receptor [mg/l]");
    case uzUnretardedTravelTime:
        return FormatText(TranslateFormat("Unsaturated Zone %s Unretarded Travel Time [years]"),
                          {pathway});
    case uzRetardedTravelTime:
        return FormatText(TranslateFormat("Unsaturated Zone %s Retarded Travel Time [years]"),
                          {pathway});
    case receptorUnretardedTravelTime:
        return Translate("Unretarded Travel Time To Receptor [years]");
    case receptorRetardedTravelTime: return Translate("Retarded Travel Time To Receptor [years]");
    case dilutedConcentration:
        return FormatText(TranslateFormat("Diluted Concentration %s"), {pathway});
    case aquiferFlow: return Translate("Aquifer flow [m") + "\u00b3" + Translate("/year]");
    default: return std::string();
    }
}

GraphContent GraphBuilder::Build(const Project& project, const GraphSelection& selection) {
    using namespace GraphResultKind;
    GraphContent content;
    const ResultLocation& location = selection.location;
    const bool timeHistory = selection.graphType == GraphType::timeHistory;
    content.xTitle = Translate(timeHistory ? "Time [years]" : "Probability");
    content.yTitle = ValueAxisTitle(project, location);

    std::size_t iterations = 0;
    std::string timeText;
    if (selection.graphType == GraphType::convergence) {
        content.xTitle = Translate("Iterations");
        // One time slice: the first picked, the first of all without a pick.
        const int slice = selection.timeSlices.empty() ? 0 : selection.timeSlices.front();
        if (const ResultVector* vector = FindResultVector(project, location, slice)) {
            iterations = vector->Size();
            content.curves = ConvergenceCurves(*vector);
            if (DependsOnTime(location.kind))
                timeText = TimeSliceText(project.timeSlices[static_cast<std::size_t>(slice)]);
        }
    } else if (DependsOnTime(location.kind)) {
        if (timeHistory) {
            std::vector<double> times;
            std::vector<ResultVector> perTime;
            for (std::size_t k = 0; k < project.timeSlices.size(); ++k) {
                const ResultVector* vector =
                    FindResultVector(project, location, static_cast<int>(k));
                if (!vector) continue;
                times.push_back(project.timeSlices[k]);
                perTime.push_back(*vector);
                iterations = vector->Size();
            }
            if (!perTime.empty()) {
                for (int index : selection.percentiles) {
                    if (index < 0 || index >= ResultVector::percentileCount) continue;
                    content.curves.push_back({Translate(PercentileCurveName(index)),
                                              PercentileCurveColour(index),
                                              TimeHistoryPoints(times, perTime, index)});
                }
            }
        } else {
            int k = 0;
            for (int slice : selection.timeSlices) {
                const ResultVector* vector = FindResultVector(project, location, slice);
                if (!vector) continue;
                iterations = vector->Size();
                const bool reverse = selection.graphType == GraphType::reverseCumulativeFrequency;
                content.curves.push_back(
                    {TimeSliceText(project.timeSlices[static_cast<std::size_t>(slice)]),
                     TimeCurveColour(k++), ProbabilityAlongX(CumulativePoints(*vector, reverse))});
            }
        }
    } else if (!timeHistory) {
        // Travel times and flows have no time slices: one curve of the
        // vector's values.
        if (const ResultVector* vector = FindResultVector(project, location, 0)) {
            iterations = vector->Size();
            const bool reverse = selection.graphType == GraphType::reverseCumulativeFrequency;
            content.curves.push_back({Translate(Caption(location.kind)), TimeCurveColour(0),
                                      ProbabilityAlongX(CumulativePoints(*vector, reverse))});
        }
    }

    if (content.curves.empty()) {
        content.emptyText = Translate("No results to graph");
        content.title = Translate("Results");
        return content;
    }
    content.title = Title(project, location, iterations);
    if (!timeText.empty()) content.title += " - " + timeText;
    if (ApplicableStandard(project, location, content.standard)) {
        content.hasStandard = true;
        content.standardLabel = FormatText(TranslateFormat("WQS: %g [mg/l]"), {content.standard});
    }
    return content;
}

std::string GraphBuilder::ClipboardText(const GraphContent& content) {
    if (content.curves.empty()) return std::string();
    std::string text = content.xTitle;
    std::size_t rows = 0;
    for (const GraphCurve& curve : content.curves) {
        text += "\t" + curve.name;
        rows = std::max(rows, curve.points.size());
    }
    text += "\n";
    // Every curve of one graph has the same x values (the same iteration
    // count, the same time slices); the first curve that has a row names it.
    for (std::size_t i = 0; i < rows; ++i) {
        std::string x;
        std::string cells;
        for (const GraphCurve& curve : content.curves) {
            cells += "\t";
            if (i < curve.points.size()) {
                if (x.empty()) x = FormatG(curve.points[i].x, 10);
                cells += FormatG(curve.points[i].y, 10);
            }
        }
        text += x + cells + "\n";
    }
    return text;
}

} // namespace varnex::ui
