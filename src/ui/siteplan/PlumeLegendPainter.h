#pragma once

#include <QColor>
#include <QRect>
#include <QString>

class QPainter;

namespace varnex::ui {

// The colour of plume band 0 ... 15 (see run/PlumeLegend.h). The ramp is
// viridis turned round: pale yellow for the faintest traces, deep violet for
// the highest concentrations, so darker always means more, the steps stay
// evenly spaced to the eye and read the same with red-green colour blindness
// and in greyscale print. Opaque; the plan draws it over the map with some
// transparency.
QColor PlumeBandColour(int band);

// The "Plume Legend": the title and the 16 bands, highest first, in a box
// whose bottom-right corner sits at `bottomRight` (viewport pixels).
class PlumeLegendPainter {
public:
    explicit PlumeLegendPainter(QString title);

    QSize Size(const QPainter& painter) const;
    void Paint(QPainter& painter, const QPoint& bottomRight) const;

private:
    QString title_;
};

} // namespace varnex::ui
