#include "ui/siteplan/PlumeLegendPainter.h"

#include <algorithm>

#include <QFontMetrics>
#include <QPainter>

#include "run/PlumeLegend.h"
#include "ui/common/QtText.h"

namespace varnex::ui {

namespace {

// matplotlib's viridis sampled at 16 even steps, reversed.
constexpr QRgb bandColours[plumeBandCount] = {
    0xfde725, 0xd2e21b, 0xa5db36, 0x7ad151, 0x54c568, 0x35b779, 0x22a884, 0x1f988b,
    0x23888e, 0x2a788e, 0x31688e, 0x39568c, 0x414487, 0x472f7d, 0x481a6c, 0x440154,
};

constexpr int padding = 8;
constexpr int swatchWidth = 22;
constexpr int rowGap = 2;

} // namespace

QColor PlumeBandColour(int band) {
    if (band < 0 || band >= plumeBandCount) return QColor(Qt::transparent);
    return QColor::fromRgb(bandColours[band]);
}

PlumeLegendPainter::PlumeLegendPainter(QString title) : title_(std::move(title)) {}

QSize PlumeLegendPainter::Size(const QPainter& painter) const {
    const QFontMetrics metrics(painter.font());
    QFont bold = painter.font();
    bold.setBold(true);
    int width = QFontMetrics(bold).horizontalAdvance(title_);
    for (int band = 0; band < plumeBandCount; ++band)
        width = std::max(width, swatchWidth + padding + metrics.horizontalAdvance(ToQString(PlumeBandText(band))));
    const int rowHeight = metrics.height() + rowGap;
    return {width + 2 * padding, metrics.height() + padding + plumeBandCount * rowHeight + 2 * padding};
}

void PlumeLegendPainter::Paint(QPainter& painter, const QPoint& bottomRight) const {
    painter.save();
    const QSize size = Size(painter);
    const QRect box(bottomRight.x() - size.width(), bottomRight.y() - size.height(), size.width(), size.height());
    painter.setPen(QPen(QColor(0x9a, 0xa3, 0xad), 1));
    painter.setBrush(QColor(255, 255, 255, 235));
    painter.drawRoundedRect(box, 4, 4);

    const QFontMetrics metrics(painter.font());
    const int rowHeight = metrics.height() + rowGap;
    QFont bold = painter.font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(QColor(0x22, 0x2a, 0x33));
    painter.drawText(QRect(box.left() + padding, box.top() + padding, box.width() - 2 * padding, metrics.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, title_);
    painter.setFont(QFont(painter.font().family(), painter.font().pointSize()));
    int y = box.top() + padding + metrics.height() + padding;
    for (int band = plumeBandCount - 1; band >= 0; --band, y += rowHeight) {
        const QRect swatch(box.left() + padding, y + 1, swatchWidth, rowHeight - rowGap - 1);
        painter.setPen(QPen(QColor(0x6b, 0x74, 0x7e), 1));
        painter.setBrush(PlumeBandColour(band));
        painter.drawRect(swatch);
        painter.setPen(QColor(0x22, 0x2a, 0x33));
        painter.drawText(QRect(swatch.right() + padding, y, box.right() - swatch.right() - padding, rowHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, ToQString(PlumeBandText(band)));
    }
    painter.restore();
}

} // namespace varnex::ui
