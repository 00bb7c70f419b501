#include "ui/siteplan/ScaleBarPainter.h"

#include <QColor>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <cmath>

#include "base/TextFormat.h"
#include "settings/Translate.h"
#include "ui/common/QtText.h"

namespace varnex::ui {

namespace {

constexpr double targetPixels = 120.0;
const QColor ink(0x22, 0x2a, 0x33);
const QColor box(255, 255, 255, 225);
const QColor border(0x9a, 0xa3, 0xad);

} // namespace

double NiceScaleLength(double metres) {
    const double power = std::pow(10.0, std::floor(std::log10(metres)));
    const double fraction = metres / power;
    return power * (fraction < 1.5 ? 1.0 : fraction < 3.5 ? 2.0 : fraction < 7.5 ? 5.0 : 10.0);
}

ScaleBarPainter::ScaleBarPainter(double pixelsPerMetre) : pixelsPerMetre_(pixelsPerMetre) {
    if (Drawable()) metres_ = NiceScaleLength(targetPixels / pixelsPerMetre_);
}

bool ScaleBarPainter::Drawable() const {
    return pixelsPerMetre_ > 0.0 && std::isfinite(pixelsPerMetre_);
}

QSizeF ScaleBarPainter::Size(const QPainter& painter) const {
    const QFontMetrics metrics(painter.font());
    return QSizeF(metres_ * pixelsPerMetre_ + 20.0, metrics.height() + 22.0);
}

void ScaleBarPainter::Paint(QPainter& painter, const QPointF& bottomLeft) const {
    if (!Drawable()) return;
    const QFontMetrics metrics(painter.font());
    const double pixels = metres_ * pixelsPerMetre_;
    const QString label = ToQString(FormatText("%g %s", {metres_, Translate("m")}));
    const QSizeF size = Size(painter);
    const QRectF frame(bottomLeft.x(), bottomLeft.y() - size.height(), size.width(), size.height());
    painter.save();
    painter.setPen(QPen(border, 1));
    painter.setBrush(box);
    painter.drawRoundedRect(frame, 4, 4);
    const double y = frame.bottom() - 8.0;
    const double left = frame.left() + 10.0;
    painter.setPen(QPen(ink, 1));
    painter.setBrush(ink);
    painter.drawRect(QRectF(left, y - 5.0, pixels / 2.0, 5.0));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(left + pixels / 2.0, y - 5.0, pixels / 2.0, 5.0));
    painter.drawText(QRectF(left, frame.top() + 3.0, pixels, metrics.height()), Qt::AlignCenter,
                     label);
    painter.restore();
}

} // namespace varnex::ui
