#include "ui/siteplan/SitePlanPlumeItem.h"

#include <algorithm>

#include <QPainter>

#include "model/PlumeSettings.h"
#include "run/PlumeLegend.h"
#include "ui/siteplan/PlumeLegendPainter.h"
#include "ui/siteplan/SitePlanLayers.h"

namespace varnex::ui {

namespace {
// Enough to see the map and the sources through the plume.
constexpr int plumeAlpha = 185;
} // namespace

SitePlanPlumeItem::SitePlanPlumeItem(const PlumeSettings& plume)
    : leftX_(plume.leftX), topY_(plume.topY), spacingM_(plume.spacingM > 0.0 ? plume.spacingM : 1.0) {
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
            if (band < 0) continue;
            QColor colour = PlumeBandColour(band);
            colour.setAlpha(plumeAlpha);
            image_.setPixelColor(c, r, colour);
        }
    }
    setData(itemLayerKey, PlumeBlockName());
    setZValue(plumeZ);
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
    return QRectF(leftX_ - half, topY_ + half - image_.height() * spacingM_, image_.width() * spacingM_,
                  image_.height() * spacingM_);
}

void SitePlanPlumeItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
    painter->save();
    // Image row r is the grid row at y = topY - r x spacing.
    painter->translate(leftX_ - spacingM_ / 2.0, topY_ + spacingM_ / 2.0);
    painter->scale(spacingM_, -spacingM_);
    painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter->drawImage(QRectF(0.0, 0.0, image_.width(), image_.height()), image_);
    painter->restore();
}

} // namespace varnex::ui
