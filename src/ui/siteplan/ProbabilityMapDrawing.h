#pragma once

#include <QRectF>
#include <QString>
#include <QStringList>
#include <vector>

#include "model/PlumeMapChoices.h"
#include "run/ProbabilityMap.h"
#include "ui/siteplan/ContourPainter.h"
#include "ui/siteplan/MapLegendPainter.h"

namespace varnex::ui {

// What the plan draws of a probability map: the quantity chosen (the
// exceedance probability, the mean or one percentile) node by node, the
// classes it is coloured in, its contours in plan metres and the legend's
// texts. The site plan, the report page and the tests share it, so the three
// always show the same map.
class ProbabilityMapDrawing {
public:
    ProbabilityMapDrawing(const ProbabilityMap& map, const PlumeMapChoices& choices);

    const MapGrid& Grid() const { return grid_; }
    // The quantity drawn: the one chosen, except that a map without a
    // standard has no exceedance and shows its mean instead.
    PlumeMapQuantity Quantity() const { return quantity_; }
    int Percentile() const { return percentile_; }
    // The drawn value of every node (index r * columns + c), NaN where the
    // calculation did not reach; a probability as a fraction, else mg/l.
    const std::vector<double>& Values() const { return values_; }
    const std::vector<MapLegendClass>& Classes() const { return classes_; }
    // The class of node (c, r); -1 for a node not drawn.
    int ClassAt(std::size_t column, std::size_t row) const;
    // P = 0.05, 0.5 and 0.95 on an exceedance map; the standard on a
    // concentration map that has one; none otherwise.
    const std::vector<PlanContour>& Contours() const { return contours_; }
    // The cells of the grid, each node the centre of one, in plan metres.
    QRectF AreaM() const;

    // "Probability of exceeding 0.001 mg/l" / "Mean concentration" / "95th
    // percentile of the concentration", then "Benzene at 50 years, 1001
    // iterations" and, for a stopped calculation, that the map is partial.
    QStringList Title() const { return title_; }
    QStringList ContourTexts() const;
    MapLegendPainter Legend() const;

private:
    MapGrid grid_;
    PlumeMapQuantity quantity_;
    int percentile_ = 0;
    std::vector<double> values_;
    std::vector<MapLegendClass> classes_;
    std::vector<PlanContour> contours_;
    QStringList title_;
    double standardMgPerL_ = 0.0;
};

} // namespace varnex::ui
