#include "ui/siteplan/PlumeLegendPainter.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "base/TextFormat.h"
#include "model/Project.h"
#include "run/PlumeLegend.h"
#include "settings/Translate.h"
#include "ui/common/QtText.h"
#include "ui/graphs/GraphBuilder.h"
#include "ui/siteplan/LegendFrame.h"

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
// Bands below this are washed towards white.
constexpr int paleBands = 5;

} // namespace

QColor PlumeBandColour(int band) {
    if (band <= 0 || band >= plumeBandCount) return QColor(Qt::transparent);
    QColor colour = QColor::fromRgb(bandColours[band]);
    // Bands 1 to 4 (1e-12 to 1e-8 mg/l) washed towards white, the faintest
    // most.
    if (band < paleBands) {
        const double white = 0.2 * (paleBands - band);
        colour = QColor::fromRgbF(colour.redF() + (1.0 - colour.redF()) * white,
                                  colour.greenF() + (1.0 - colour.greenF()) * white,
                                  colour.blueF() + (1.0 - colour.blueF()) * white);
    }
    return colour;
}

QColor PlumeStandardColour() { return QColor::fromRgb(GraphBuilder::StandardLineColour()); }

double PlumeStandard(const Project& project) {
    const int index = project.plume.contaminantIndex;
    if (index < 0 || static_cast<std::size_t>(index) >= project.contaminants.size()) return 0.0;
    const Contaminant& contaminant = project.contaminants[static_cast<std::size_t>(index)];
    if (contaminant.standardStatus == Contaminant::noStandard || !(contaminant.standard > 0.0) ||
        !std::isfinite(contaminant.standard))
        return 0.0;
    return contaminant.standard;
}

PlumeLegendPainter::PlumeLegendPainter(QString title, double standardMgPerL)
    : title_(std::move(title)),
      standard_(standardMgPerL > 0.0 && std::isfinite(standardMgPerL) ? standardMgPerL : 0.0) {}

int PlumeLegendPainter::StandardBand() const { return standard_ > 0.0 ? PlumeBand(standard_) : -1; }

QString PlumeLegendPainter::StandardText() const {
    if (!(standard_ > 0.0)) return QString();
    return ToQString(FormatText(TranslateFormat("Water quality standard: %g mg/l"), {standard_}));
}

QSize PlumeLegendPainter::Size(const QPainter& painter) const {
    const QFontMetrics metrics(painter.font());
    QFont bold = painter.font();
    bold.setBold(true);
    const QFontMetrics boldMetrics(bold);
    int width = boldMetrics.horizontalAdvance(title_);
    for (int band = 0; band < plumeBandCount; ++band)
        width = std::max(width, swatchWidth + padding +
                                    boldMetrics.horizontalAdvance(ToQString(PlumeBandText(band))));
    const int rowHeight = metrics.height() + rowGap;
    int height = metrics.height() + padding + plumeBandCount * rowHeight + 2 * padding;
    if (standard_ > 0.0) {
        width = std::max(width, swatchWidth + padding + metrics.horizontalAdvance(StandardText()));
        height += padding + rowHeight;
    }
    return {width + 2 * padding, height};
}

void PlumeLegendPainter::Paint(QPainter& painter, const QPoint& bottomRight) const {
    painter.save();
    const QRect box = PaintLegendFrame(painter, bottomRight, Size(painter));

    const QFont normal = painter.font();
    const QFontMetrics metrics(normal);
    const int rowHeight = metrics.height() + rowGap;
    QFont bold = normal;
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(QColor(0x22, 0x2a, 0x33));
    painter.drawText(QRect(box.left() + padding, box.top() + padding, box.width() - 2 * padding,
                           metrics.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, title_);
    const int marked = StandardBand();
    int y = box.top() + padding + metrics.height() + padding;
    for (int band = plumeBandCount - 1; band >= 0; --band, y += rowHeight) {
        const QRect swatch(box.left() + padding, y + 1, swatchWidth, rowHeight - rowGap - 1);
        painter.setPen(QPen(QColor(0x6b, 0x74, 0x7e), 1));
        painter.setBrush(PlumeBandColour(band));
        painter.drawRect(swatch);
        if (band == 0) {
            // Not drawn on the map: the swatch shows the ground, crossed.
            painter.drawLine(swatch.bottomLeft(), swatch.topRight());
        }
        painter.setFont(band == marked ? bold : normal);
        painter.setPen(QColor(0x22, 0x2a, 0x33));
        painter.drawText(
            QRect(swatch.right() + padding, y, box.right() - swatch.right() - padding, rowHeight),
            Qt::AlignLeft | Qt::AlignVCenter, ToQString(PlumeBandText(band)));
        if (band == marked) {
            // The band the standard falls in, framed in the contour's colour.
            painter.setPen(QPen(PlumeStandardColour(), 2));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(QRect(box.left() + padding / 2, y, box.width() - padding, rowHeight));
        }
    }
    if (standard_ > 0.0) {
        y += padding;
        const int middle = y + rowHeight / 2;
        painter.setPen(QPen(PlumeStandardColour(), 2.5));
        painter.drawLine(box.left() + padding, middle, box.left() + padding + swatchWidth, middle);
        painter.setFont(normal);
        painter.setPen(QColor(0x22, 0x2a, 0x33));
        painter.drawText(QRect(box.left() + 2 * padding + swatchWidth, y,
                               box.width() - 3 * padding - swatchWidth, rowHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, StandardText());
    }
    painter.restore();
}

} // namespace varnex::ui
