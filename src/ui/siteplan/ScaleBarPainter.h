#pragma once

#include <QRectF>

class QPainter;

namespace varnex::ui {

// A "nice" length (1, 2 or 5 times a power of ten) near `metres`.
double NiceScaleLength(double metres);

// The scale bar of a plan: a length of about 120 pixels rounded to a nice
// number of metres, drawn as alternating black and white halves under its
// label in a light box, as on a printed plan. The site plan shows it over
// the view; plume pictures carry it so that a printed map can be measured.
class ScaleBarPainter {
public:
    // `pixelsPerMetre`: the plan's scale where the bar is drawn.
    explicit ScaleBarPainter(double pixelsPerMetre);

    // False for a scale that is not a finite number above zero: no bar.
    bool Drawable() const;
    // The box's width and height for the painter's font.
    QSizeF Size(const QPainter& painter) const;
    // Draws the box with its bottom-left corner at `bottomLeft` (pixels).
    void Paint(QPainter& painter, const QPointF& bottomLeft) const;

private:
    double pixelsPerMetre_;
    double metres_ = 0.0;
};

} // namespace varnex::ui
