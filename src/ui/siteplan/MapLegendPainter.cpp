#include "ui/siteplan/MapLegendPainter.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>

#include "base/TextFormat.h"
#include "run/PlumeLegend.h"
#include "settings/Translate.h"
#include "ui/common/QtText.h"
#include "ui/siteplan/ContourPainter.h"
#include "ui/siteplan/LegendFrame.h"
#include "ui/siteplan/PlumeLegendPainter.h"

namespace varnex::ui {

namespace {

// ColorBrewer YlOrRd, six classes (Brewer, Harrower and Hatchard 2003).
constexpr QRgb sequentialColours[6] = {0xffffb2, 0xfed976, 0xfeb24c, 0xfd8d3c, 0xf03b20, 0xbd0026};

constexpr int padding = 8;
constexpr int swatchWidth = 22;
constexpr int rowGap = 2;

} // namespace

std::vector<MapLegendClass> ProbabilityMapClasses(PlumeMapQuantity quantity,
                                                  double standardMgPerL) {
    std::vector<MapLegendClass> classes;
    if (quantity == PlumeMapQuantity::exceedance) {
        const double bounds[7] = {0.0, 0.05, 0.25, 0.5, 0.75, 0.95, 1.0};
        for (int k = 0; k < 6; ++k)
            classes.push_back(
                {bounds[k], bounds[k + 1],
                 QStringLiteral("%1–%2 %").arg(100.0 * bounds[k]).arg(100.0 * bounds[k + 1]),
                 QColor::fromRgb(sequentialColours[k])});
        return classes;
    }
    if (standardMgPerL > 0.0 && std::isfinite(standardMgPerL)) {
        const double factors[7] = {
            0.0, 0.01, 0.1, 0.5, 1.0, 10.0, std::numeric_limits<double>::infinity()};
        for (int k = 0; k < 6; ++k) {
            const double lower = factors[k] * standardMgPerL;
            const double upper = factors[k + 1] * standardMgPerL;
            QString text;
            if (k == 0)
                text = ToQString(FormatText(TranslateFormat("below %g × standard (< %g mg/l)"),
                                            {factors[1], upper}));
            else if (k == 5)
                text = ToQString(FormatText(TranslateFormat("above %g × standard (> %g mg/l)"),
                                            {factors[k], lower}));
            else
                text = ToQString(FormatText(TranslateFormat("%g–%g × standard (%g–%g mg/l)"),
                                            {factors[k], factors[k + 1], lower, upper}));
            classes.push_back({lower, upper, text, QColor::fromRgb(sequentialColours[k])});
        }
        return classes;
    }
    // No standard to relate to: the decades of the central-value map, from
    // its first drawn band.
    for (int band = 1; band < plumeBandCount; ++band)
        classes.push_back({PlumeBandLowerBound(band),
                           band + 1 < plumeBandCount ? PlumeBandUpperBound(band)
                                                     : std::numeric_limits<double>::infinity(),
                           ToQString(PlumeBandText(band)), PlumeBandColour(band)});
    return classes;
}

int MapLegendClassOf(const std::vector<MapLegendClass>& classes, double value) {
    if (std::isnan(value) || classes.empty() || value < classes.front().lower) return -1;
    for (std::size_t k = 0; k < classes.size(); ++k)
        if (value < classes[k].upper) return static_cast<int>(k);
    // The top class holds its upper bound (a probability of exactly 1).
    return value <= classes.back().upper ? static_cast<int>(classes.size()) - 1 : -1;
}

MapLegendPainter::MapLegendPainter(QStringList title, std::vector<MapLegendClass> classes,
                                   QStringList contourTexts)
    : title_(std::move(title)), classes_(std::move(classes)),
      contourTexts_(std::move(contourTexts)) {}

QSize MapLegendPainter::Size(const QPainter& painter) const {
    const QFontMetrics metrics(painter.font());
    QFont bold = painter.font();
    bold.setBold(true);
    const QFontMetrics boldMetrics(bold);
    int width = 0;
    for (const QString& line : title_) width = std::max(width, boldMetrics.horizontalAdvance(line));
    for (const MapLegendClass& entry : classes_)
        width = std::max(width, swatchWidth + padding + metrics.horizontalAdvance(entry.text));
    for (const QString& line : contourTexts_)
        width = std::max(width, swatchWidth + padding + metrics.horizontalAdvance(line));
    const int rowHeight = metrics.height() + rowGap;
    int height = static_cast<int>(title_.size()) * metrics.height() + padding +
                 static_cast<int>(classes_.size()) * rowHeight + 2 * padding;
    if (!contourTexts_.isEmpty())
        height += padding + static_cast<int>(contourTexts_.size()) * rowHeight;
    return {width + 2 * padding, height};
}

void MapLegendPainter::Paint(QPainter& painter, const QPoint& bottomRight) const {
    painter.save();
    const QRect box = PaintLegendFrame(painter, bottomRight, Size(painter));

    const QFont normal = painter.font();
    const QFontMetrics metrics(normal);
    const int rowHeight = metrics.height() + rowGap;
    QFont bold = normal;
    bold.setBold(true);
    const QColor ink(0x22, 0x2a, 0x33);
    int y = box.top() + padding;
    for (int i = 0; i < title_.size(); ++i, y += metrics.height()) {
        painter.setFont(i == 0 ? bold : normal);
        painter.setPen(ink);
        painter.drawText(
            QRect(box.left() + padding, y, box.width() - 2 * padding, metrics.height()),
            Qt::AlignLeft | Qt::AlignVCenter, title_[i]);
    }
    y += padding;
    painter.setFont(normal);
    for (auto entry = classes_.rbegin(); entry != classes_.rend(); ++entry, y += rowHeight) {
        const QRect swatch(box.left() + padding, y + 1, swatchWidth, rowHeight - rowGap - 1);
        painter.setPen(QPen(QColor(0x6b, 0x74, 0x7e), 1));
        painter.setBrush(entry->colour);
        painter.drawRect(swatch);
        painter.setPen(ink);
        painter.drawText(
            QRect(swatch.right() + padding, y, box.right() - swatch.right() - padding, rowHeight),
            Qt::AlignLeft | Qt::AlignVCenter, entry->text);
    }
    if (!contourTexts_.isEmpty()) {
        y += padding;
        const Qt::PenStyle styles[] = {Qt::DashLine, Qt::SolidLine, Qt::DotLine};
        for (int i = 0; i < contourTexts_.size(); ++i, y += rowHeight) {
            const int middle = y + rowHeight / 2;
            QPen pen(ContourPainter::LineColour(), 2.0);
            pen.setStyle(contourTexts_.size() == 1 ? Qt::SolidLine : styles[i % 3]);
            painter.setPen(pen);
            painter.drawLine(box.left() + padding, middle, box.left() + padding + swatchWidth,
                             middle);
            painter.setPen(ink);
            painter.drawText(QRect(box.left() + 2 * padding + swatchWidth, y,
                                   box.width() - 3 * padding - swatchWidth, rowHeight),
                             Qt::AlignLeft | Qt::AlignVCenter, contourTexts_[i]);
        }
    }
    painter.restore();
}

} // namespace varnex::ui
