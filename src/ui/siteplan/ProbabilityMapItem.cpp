#include "ui/siteplan/ProbabilityMapItem.h"

#include <QPaintDevice>
#include <QPainter>
#include <algorithm>

#include "ui/siteplan/ProbabilityMapDrawing.h"
#include "ui/siteplan/SitePlanLayers.h"

namespace varnex::ui {

namespace {
// As the central-value plume: the map and the sources show through.
constexpr int cellAlpha = 185;
} // namespace

ProbabilityMapItem::ProbabilityMapItem(const ProbabilityMapDrawing& drawing)
    : contours_(drawing.Contours()), area_(drawing.AreaM()) {
    const MapGrid& grid = drawing.Grid();
    image_ =
        QImage(std::max<int>(static_cast<int>(grid.columns), 1),
               std::max<int>(static_cast<int>(grid.rows), 1), QImage::Format_ARGB32_Premultiplied);
    image_.fill(Qt::transparent);
    const std::vector<MapLegendClass>& classes = drawing.Classes();
    for (std::size_t r = 0; r < grid.rows; ++r)
        for (std::size_t c = 0; c < grid.columns; ++c) {
            // Nothing at all (no iteration exceeds, or no contaminant
            // arrives) is left clear, so that the plan shows through away
            // from the plume, as beyond the central-value plume.
            if (drawing.Values()[r * grid.columns + c] == 0.0) continue;
            const int k = drawing.ClassAt(c, r);
            if (k < 0) continue;
            QColor colour = classes[static_cast<std::size_t>(k)].colour;
            colour.setAlpha(cellAlpha);
            image_.setPixelColor(static_cast<int>(c), static_cast<int>(r), colour);
        }
    setData(itemLayerKey, PlumeBlockName());
    setZValue(probabilityMapZ);
}

int ProbabilityMapItem::type() const { return probabilityMapItemType; }

QRectF ProbabilityMapItem::boundingRect() const { return area_; }

void ProbabilityMapItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
    painter->save();
    // Image row r is grid row r, at y = topY - r x spacing: the top edge of
    // the image is the area's northern edge.
    painter->translate(area_.left(), area_.bottom());
    painter->scale(area_.width() / image_.width(), -area_.height() / image_.height());
    painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter->drawImage(QRectF(0.0, 0.0, image_.width(), image_.height()), image_);
    painter->restore();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    // Two pixels on the screen; as wide to the eye on a printer's finer
    // raster.
    const double dpi = painter->device() ? painter->device()->logicalDpiX() : 96.0;
    ContourPainter(contours_).PaintLines(*painter, 2.0 * std::max(1.0, dpi / 96.0));
    painter->restore();
}

} // namespace varnex::ui
