#include "ui/siteplan/SitePlanPlumeItem.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "model/PlumeSettings.h"
#include "run/PlumeLegend.h"
#include "ui/siteplan/PlumeLegendPainter.h"
#include "ui/siteplan/SitePlanLayers.h"

namespace varnex::ui {

namespace {
// Enough to see the map and the sources through the plume.
constexpr int plumeAlpha = 185;
} // namespace

SitePlanPlumeItem::SitePlanPlumeItem(const PlumeSettings& plume, double standardMgPerL)
    : leftX_(plume.leftX), topY_(plume.topY),
      spacingM_(plume.spacingM > 0.0 ? plume.spacingM : 1.0) {
    const int columns = static_cast<int>(plume.columns.size());
    int rows = 0;
    for (const auto& column : plume.columns) rows = std::max(rows, static_cast<int>(column.size()));
    image_ = QImage(std::max(columns, 1), std::max(rows, 1), QImage::Format_ARGB32_Premultiplied);
    image_.fill(Qt::transparent);
    bands_.assign(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows), -1);
    for (int c = 0; c < columns; ++c) {
        const auto& column = plume.columns[static_cast<std::size_t>(c)];
        for (int r = 0; r < static_cast<int>(column.size()); ++r) {
            const int band = PlumeBand(column[static_cast<std::size_t>(r)]);
            bands_[static_cast<std::size_t>(r) * columns + c] = static_cast<signed char>(band);
            QColor colour = PlumeBandColour(band);
            if (colour.alpha() == 0) continue;
            colour.setAlpha(plumeAlpha);
            image_.setPixelColor(c, r, colour);
        }
    }
    if (standardMgPerL > 0.0 && std::isfinite(standardMgPerL)) TraceContour(plume, standardMgPerL);
    setData(itemLayerKey, PlumeBlockName());
    setZValue(plumeZ);
}

// Marching squares over the cells between four nodes. Concentrations fall
// off by decades away from a source, so the crossing on a cell edge is
// placed by the logarithms of its two ends, not the values themselves.
void SitePlanPlumeItem::TraceContour(const PlumeSettings& plume, double standard) {
    const double level = std::log10(standard);
    auto logAt = [&plume](std::size_t c, std::size_t r) {
        const std::vector<double>& column = plume.columns[c];
        const double value = r < column.size() ? column[r] : 0.0;
        // Nothing (or below the first band) counts as the lowest band's floor.
        return std::log10(std::max(std::isfinite(value) ? value : 0.0, 1e-30));
    };
    auto point = [this](double c, double r) {
        return QPointF(leftX_ + c * spacingM_, topY_ - r * spacingM_);
    };
    const std::size_t columns = plume.columns.size();
    for (std::size_t c = 0; c + 1 < columns; ++c) {
        const std::size_t rows = std::min(plume.columns[c].size(), plume.columns[c + 1].size());
        for (std::size_t r = 0; r + 1 < rows; ++r) {
            // Corners clockwise from the north-west; edge k joins corner k
            // and corner k + 1.
            const double cornerC[4] = {double(c), double(c + 1), double(c + 1), double(c)};
            const double cornerR[4] = {double(r), double(r), double(r + 1), double(r + 1)};
            double v[4];
            bool above[4];
            for (int k = 0; k < 4; ++k) {
                v[k] = logAt(static_cast<std::size_t>(cornerC[k]),
                             static_cast<std::size_t>(cornerR[k]));
                above[k] = v[k] >= level;
            }
            QPointF crossing[4];
            bool crossed[4];
            int count = 0;
            for (int k = 0; k < 4; ++k) {
                const int n = (k + 1) % 4;
                crossed[k] = above[k] != above[n];
                if (!crossed[k]) continue;
                const double t = (level - v[k]) / (v[n] - v[k]);
                crossing[k] = point(cornerC[k] + t * (cornerC[n] - cornerC[k]),
                                    cornerR[k] + t * (cornerR[n] - cornerR[k]));
                ++count;
            }
            if (count == 2) {
                int first = -1;
                for (int k = 0; k < 4; ++k) {
                    if (!crossed[k]) continue;
                    if (first < 0)
                        first = k;
                    else
                        contour_.emplace_back(crossing[first], crossing[k]);
                }
            } else if (count == 4) {
                // A saddle: the cell's mean decides which diagonal pair of
                // corners is joined through the middle.
                const bool middleAbove = (v[0] + v[1] + v[2] + v[3]) / 4.0 >= level;
                if (middleAbove == above[0]) {
                    contour_.emplace_back(crossing[0], crossing[1]); // cuts off corner 1
                    contour_.emplace_back(crossing[2], crossing[3]); // cuts off corner 3
                } else {
                    contour_.emplace_back(crossing[3], crossing[0]); // cuts off corner 0
                    contour_.emplace_back(crossing[1], crossing[2]); // cuts off corner 2
                }
            }
        }
    }
}

int SitePlanPlumeItem::type() const { return plumeItemType; }

int SitePlanPlumeItem::BandAt(int column, int row) const {
    const int columns = image_.width();
    if (column < 0 || row < 0 || column >= columns || bands_.empty()) return -1;
    const std::size_t at = static_cast<std::size_t>(row) * columns + column;
    return at < bands_.size() ? bands_[at] : -1;
}

QRectF SitePlanPlumeItem::boundingRect() const {
    const double half = spacingM_ / 2.0;
    return QRectF(leftX_ - half, topY_ + half - image_.height() * spacingM_,
                  image_.width() * spacingM_, image_.height() * spacingM_);
}

void SitePlanPlumeItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
    painter->save();
    // Image row r is the grid row at y = topY - r x spacing.
    painter->translate(leftX_ - spacingM_ / 2.0, topY_ + spacingM_ / 2.0);
    painter->scale(spacingM_, -spacingM_);
    painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter->drawImage(QRectF(0.0, 0.0, image_.width(), image_.height()), image_);
    painter->restore();
    if (!contour_.empty()) {
        painter->save();
        // The same width on screen at every zoom.
        QPen pen(PlumeStandardColour(), 2.5);
        pen.setCosmetic(true);
        painter->setPen(pen);
        painter->setRenderHint(QPainter::Antialiasing, true);
        painter->drawLines(contour_.data(), static_cast<int>(contour_.size()));
        painter->restore();
    }
}

} // namespace varnex::ui
