#include "ui/siteplan/ContourPainter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace varnex::ui {

namespace {

// The value a crossing is interpolated on: the logarithm for concentrations,
// zero and below floored far under anything measurable.
double Scaled(double value, ContourScale scale) {
    if (scale == ContourScale::linear) return value;
    return std::log10(std::max(value, 1e-30));
}

} // namespace

std::vector<QLineF> MarchingSquares(const std::vector<double>& values, std::size_t columns,
                                    std::size_t rows, double level, ContourScale scale) {
    std::vector<QLineF> segments;
    if (columns < 2 || rows < 2 || values.size() < columns * rows || !std::isfinite(level))
        return segments;
    const double scaledLevel = Scaled(level, scale);
    for (std::size_t r = 0; r + 1 < rows; ++r) {
        for (std::size_t c = 0; c + 1 < columns; ++c) {
            // Corners clockwise from the top left; edge k joins corner k and
            // corner k + 1.
            const double cornerC[4] = {double(c), double(c + 1), double(c + 1), double(c)};
            const double cornerR[4] = {double(r), double(r), double(r + 1), double(r + 1)};
            const std::size_t index[4] = {r * columns + c, r * columns + c + 1,
                                          (r + 1) * columns + c + 1, (r + 1) * columns + c};
            double v[4];
            bool above[4];
            bool computed = true;
            for (int k = 0; k < 4; ++k) {
                const double value = values[index[k]];
                if (std::isnan(value)) computed = false;
                above[k] = value >= level;
                v[k] = Scaled(value, scale);
            }
            if (!computed) continue;
            QPointF crossing[4];
            int count = 0;
            for (int k = 0; k < 4; ++k) {
                const int n = (k + 1) % 4;
                if (above[k] == above[n]) continue;
                const double t = v[n] != v[k] ? (scaledLevel - v[k]) / (v[n] - v[k]) : 0.5;
                crossing[k] = QPointF(cornerC[k] + t * (cornerC[n] - cornerC[k]),
                                      cornerR[k] + t * (cornerR[n] - cornerR[k]));
                ++count;
            }
            if (count == 2) {
                QPointF ends[2];
                int e = 0;
                for (int k = 0; k < 4; ++k) {
                    const int n = (k + 1) % 4;
                    if (above[k] != above[n]) ends[e++] = crossing[k];
                }
                segments.emplace_back(ends[0], ends[1]);
            } else if (count == 4) {
                const double centre = 0.25 * (values[index[0]] + values[index[1]] +
                                              values[index[2]] + values[index[3]]);
                const bool centreAbove = centre >= level;
                // Each corner on the other side from the centre is cut off by
                // the segment between its two edges: edge k - 1 and edge k.
                for (int k = 0; k < 4; ++k)
                    if (above[k] != centreAbove)
                        segments.emplace_back(crossing[(k + 3) % 4], crossing[k]);
            }
        }
    }
    return segments;
}

ContourPainter::ContourPainter(const std::vector<PlanContour>& contours) : contours_(contours) {}

QColor ContourPainter::LineColour() { return QColor(0x1b, 0x1f, 0x4b); }

void ContourPainter::PaintLines(QPainter& painter, double pixelWidth) const {
    painter.save();
    const Qt::PenStyle styles[] = {Qt::DashLine, Qt::SolidLine, Qt::DotLine};
    for (std::size_t i = 0; i < contours_.size(); ++i) {
        QPen pen(LineColour(), pixelWidth);
        pen.setCosmetic(true);
        pen.setStyle(contours_.size() == 1 ? Qt::SolidLine : styles[i % 3]);
        painter.setPen(pen);
        for (const QLineF& segment : contours_[i].segments) painter.drawLine(segment);
    }
    painter.restore();
}

void ContourPainter::PaintLabels(QPainter& painter, const QTransform& planToDevice) const {
    painter.save();
    const QFontMetricsF metrics(painter.font());
    for (const PlanContour& contour : contours_) {
        if (contour.segments.empty() || contour.label.isEmpty()) continue;
        // The segment nearest the middle of the line's extent, among the
        // longer half on the device: the label sits on a stretch where it
        // can be read, away from the ends where a line meets the sources.
        QRectF extent;
        double longest = 0.0;
        for (const QLineF& segment : contour.segments) {
            const QLineF shown = planToDevice.map(segment);
            extent |= QRectF(shown.p1(), shown.p2()).normalized();
            longest = std::max(longest, shown.length());
        }
        QLineF best;
        double nearest = -1.0;
        for (const QLineF& segment : contour.segments) {
            const QLineF shown = planToDevice.map(segment);
            if (shown.length() < 0.5 * longest) continue;
            const double distance = QLineF(shown.center(), extent.center()).length();
            if (nearest < 0.0 || distance < nearest) {
                nearest = distance;
                best = shown;
            }
        }
        const QPointF at = best.center();
        const QSizeF size(metrics.horizontalAdvance(contour.label) + 6.0, metrics.height() + 2.0);
        const QRectF box(at - QPointF(0.5 * size.width(), 0.5 * size.height()), size);
        painter.setPen(QPen(LineColour(), 1.0));
        painter.setBrush(QColor(255, 255, 255, 230));
        painter.drawRoundedRect(box, 2.0, 2.0);
        painter.drawText(box, Qt::AlignCenter, contour.label);
    }
    painter.restore();
}

} // namespace varnex::ui
