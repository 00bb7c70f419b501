#pragma once

#include <QColor>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>
#include <vector>

#include "model/PlumeMapChoices.h"

class QPainter;

namespace varnex::ui {

// One class of a probability map's legend: the values from `lower` up to
// (not including) `upper` are drawn in `colour`; the top class includes its
// upper bound.
struct MapLegendClass {
    double lower = 0.0;
    double upper = 0.0;
    QString text;
    QColor colour;
};

// The classes a probability map is drawn in, lowest first:
// - the exceedance probability (a fraction 0..1): 0-5 %, 5-25 %, 25-50 %,
//   50-75 %, 75-95 %, 95-100 %;
// - a concentration (mean or percentile, mg/l) with a standard above 0:
//   below 0.01, 0.01-0.1, 0.1-0.5, 0.5-1, 1-10 and above 10 times the
//   standard, each with its bounds in mg/l;
// - a concentration without a standard: the decades of the central-value
//   map from 1e-12 mg/l up (its traces below are not drawn there either).
// The six classes share a sequential scheme from pale yellow to dark red
// (ColorBrewer's YlOrRd), whose lightness falls steadily, so that a
// greyscale print keeps the order.
std::vector<MapLegendClass> ProbabilityMapClasses(PlumeMapQuantity quantity, double standardMgPerL);
// The index of the class holding `value`; -1 for NaN (a node not computed)
// and for values below the lowest class.
int MapLegendClassOf(const std::vector<MapLegendClass>& classes, double value);

// The legend of a probability map: its title lines (the quantity; the
// contaminant, time and iterations), the classes highest first, and a line
// per contour level, in a box whose bottom-right corner sits at
// `bottomRight` (pixels).
class MapLegendPainter {
public:
    MapLegendPainter(QStringList title, std::vector<MapLegendClass> classes,
                     QStringList contourTexts);

    const QStringList& Title() const { return title_; }
    const std::vector<MapLegendClass>& Classes() const { return classes_; }
    const QStringList& ContourTexts() const { return contourTexts_; }

    QSize Size(const QPainter& painter) const;
    void Paint(QPainter& painter, const QPoint& bottomRight) const;

private:
    QStringList title_;
    std::vector<MapLegendClass> classes_;
    QStringList contourTexts_;
};

} // namespace varnex::ui
