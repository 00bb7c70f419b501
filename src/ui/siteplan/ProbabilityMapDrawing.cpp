#include "ui/siteplan/ProbabilityMapDrawing.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/TextFormat.h"
#include "settings/Translate.h"
#include "ui/common/QtText.h"

namespace varnex::ui {

namespace {

// "1st", "2nd", "3rd", "95th": the English ordinal; the German table gives
// "95." for all of them.
QString PercentileTitle(int level) {
    const char* format = TranslatableText("%dth percentile of the concentration");
    if (level % 10 == 1 && level % 100 != 11)
        format = TranslatableText("%dst percentile of the concentration");
    else if (level % 10 == 2 && level % 100 != 12)
        format = TranslatableText("%dnd percentile of the concentration");
    else if (level % 10 == 3 && level % 100 != 13)
        format = TranslatableText("%drd percentile of the concentration");
    return ToQString(FormatText(TranslateFormat(format), {level}));
}

} // namespace

ProbabilityMapDrawing::ProbabilityMapDrawing(const ProbabilityMap& map,
                                             const PlumeMapChoices& choices)
    : grid_(map.grid), quantity_(choices.quantity), standardMgPerL_(map.standardMgPerL) {
    const std::size_t nodes = grid_.Nodes();
    if (quantity_ == PlumeMapQuantity::exceedance && map.exceedance.size() != nodes)
        quantity_ = PlumeMapQuantity::mean;
    if (quantity_ == PlumeMapQuantity::percentile) {
        // The level chosen, else the highest computed.
        std::size_t at = map.percentileLevels.size();
        for (std::size_t i = 0; i < map.percentileLevels.size(); ++i)
            if (map.percentileLevels[i] == choices.shownPercentile) at = i;
        if (at == map.percentileLevels.size() && !map.percentileLevels.empty()) --at;
        if (at < map.percentiles.size() && map.percentiles[at].size() == nodes) {
            percentile_ = map.percentileLevels[at];
            values_ = map.percentiles[at];
        } else {
            quantity_ = PlumeMapQuantity::mean;
        }
    }
    if (quantity_ == PlumeMapQuantity::exceedance) values_ = map.exceedance;
    if (quantity_ == PlumeMapQuantity::mean) values_ = map.mean;
    values_.resize(nodes, std::numeric_limits<double>::quiet_NaN());
    classes_ = ProbabilityMapClasses(quantity_, standardMgPerL_);

    const auto toPlan = [this](const QLineF& segment) {
        return QLineF(grid_.leftX + segment.x1() * grid_.spacingXM,
                      grid_.topY - segment.y1() * grid_.spacingYM,
                      grid_.leftX + segment.x2() * grid_.spacingXM,
                      grid_.topY - segment.y2() * grid_.spacingYM);
    };
    const auto addContour = [&](double level, const QString& label, ContourScale scale) {
        PlanContour contour{level, label, {}};
        for (const QLineF& segment :
             MarchingSquares(values_, grid_.columns, grid_.rows, level, scale))
            contour.segments.push_back(toPlan(segment));
        contours_.push_back(std::move(contour));
    };
    if (quantity_ == PlumeMapQuantity::exceedance) {
        for (double level : {0.05, 0.5, 0.95})
            addContour(level, QStringLiteral("%1 %").arg(100.0 * level), ContourScale::linear);
    } else if (standardMgPerL_ > 0.0) {
        addContour(standardMgPerL_, ToQString(FormatText("%g mg/l", {standardMgPerL_})),
                   ContourScale::logarithmic);
    }

    switch (quantity_) {
    case PlumeMapQuantity::exceedance:
        title_ << ToQString(
            FormatText(TranslateFormat("Probability of exceeding %g mg/l"), {standardMgPerL_}));
        break;
    case PlumeMapQuantity::mean: title_ << ToQString(Translate("Mean concentration")); break;
    case PlumeMapQuantity::percentile: title_ << PercentileTitle(percentile_); break;
    }
    title_ << ToQString(FormatText(TranslateFormat("%s at %g years, %d iterations"),
                                   {map.contaminantName, map.timeYears, map.iterations}));
    if (!map.complete) title_ << ToQString(Translate("Stopped: only the nodes computed are drawn"));
}

int ProbabilityMapDrawing::ClassAt(std::size_t column, std::size_t row) const {
    if (column >= grid_.columns || row >= grid_.rows) return -1;
    return MapLegendClassOf(classes_, values_[row * grid_.columns + column]);
}

QRectF ProbabilityMapDrawing::AreaM() const {
    const double width = static_cast<double>(grid_.columns) * grid_.spacingXM;
    const double height = static_cast<double>(grid_.rows) * grid_.spacingYM;
    return QRectF(grid_.leftX - 0.5 * grid_.spacingXM, grid_.topY + 0.5 * grid_.spacingYM - height,
                  width, height);
}

QStringList ProbabilityMapDrawing::ContourTexts() const {
    QStringList texts;
    for (const PlanContour& contour : contours_) {
        if (quantity_ == PlumeMapQuantity::exceedance)
            texts << ToQString(FormatText(TranslateFormat("Contour P = %g"), {contour.level}));
        else
            texts << ToQString(
                FormatText(TranslateFormat("Water quality standard: %g mg/l"), {contour.level}));
    }
    return texts;
}

MapLegendPainter ProbabilityMapDrawing::Legend() const {
    return MapLegendPainter(title_, classes_, ContourTexts());
}

} // namespace varnex::ui
