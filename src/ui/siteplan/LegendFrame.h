#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QPainter;

namespace varnex::ui {

// The frame every map legend of the site plan is drawn in: a rounded, nearly
// opaque white box of `size` whose bottom right corner is `bottomRight`,
// with a thin grey border. Returns the box.
QRect PaintLegendFrame(QPainter& painter, const QPoint& bottomRight, const QSize& size);

} // namespace varnex::ui
