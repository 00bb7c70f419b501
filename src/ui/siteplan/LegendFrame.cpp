#include "ui/siteplan/LegendFrame.h"

#include <QColor>
#include <QPainter>
#include <QPen>

namespace varnex::ui {

QRect PaintLegendFrame(QPainter& painter, const QPoint& bottomRight, const QSize& size) {
    const QRect box(bottomRight.x() - size.width(), bottomRight.y() - size.height(), size.width(),
                    size.height());
    painter.setPen(QPen(QColor(0x9a, 0xa3, 0xad), 1));
    // Nearly opaque: the map shows faintly through, the text stays legible.
    painter.setBrush(QColor(255, 255, 255, 235));
    painter.drawRoundedRect(box, 4, 4);
    return box;
}

} // namespace varnex::ui
