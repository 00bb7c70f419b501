#include "ui/reports/ProbabilityMapPicture.h"

#include <QPainter>
#include <QPainterPath>
#include <QTransform>
#include <algorithm>
#include <cmath>

#include "model/Project.h"
#include "ui/siteplan/ProbabilityMapDrawing.h"
#include "ui/siteplan/ProbabilityMapItem.h"
#include "ui/siteplan/ScaleBarPainter.h"
#include "ui/siteplan/SitePlanPlumeItem.h"
#include "ui/siteplan/SitePlanScene.h"

namespace varnex::ui {

namespace {

// A north arrow in a light box whose top-right corner is at `topRight`: the
// printed map is always drawn north up.
void PaintNorthArrow(QPainter& painter, const QPointF& topRight, double size) {
    painter.save();
    const QFontMetricsF metrics(painter.font());
    const QRectF box(topRight.x() - size, topRight.y(), size, size + metrics.height());
    painter.setPen(QPen(QColor(0x9a, 0xa3, 0xad), 1.0));
    painter.setBrush(QColor(255, 255, 255, 235));
    painter.drawRoundedRect(box, 3.0, 3.0);
    const double cx = box.center().x();
    const double top = box.top() + metrics.height() + 2.0;
    const double bottom = box.bottom() - 4.0;
    const double half = 0.22 * size;
    QPainterPath left, right;
    left.moveTo(cx, top);
    left.lineTo(cx - half, bottom);
    left.lineTo(cx, bottom - 0.3 * (bottom - top));
    left.closeSubpath();
    right.moveTo(cx, top);
    right.lineTo(cx + half, bottom);
    right.lineTo(cx, bottom - 0.3 * (bottom - top));
    right.closeSubpath();
    painter.setPen(QPen(QColor(0x22, 0x2a, 0x33), 1.0));
    painter.setBrush(QColor(0x22, 0x2a, 0x33));
    painter.drawPath(left);
    painter.setBrush(Qt::white);
    painter.drawPath(right);
    painter.setPen(QColor(0x22, 0x2a, 0x33));
    painter.drawText(QRectF(box.left(), box.top() + 1.0, box.width(), metrics.height()),
                     Qt::AlignCenter, QStringLiteral("N"));
    painter.restore();
}

} // namespace

ProbabilityMapPicture::ProbabilityMapPicture(const Project& project, const DxfMapGeometry* map,
                                             const ProbabilityMap& probabilityMap)
    : drawing_(std::make_unique<ProbabilityMapDrawing>(probabilityMap, project.plumeMap)),
      scene_(std::make_unique<SitePlanScene>()), areaM_(drawing_->AreaM()) {
    summary_.contaminantIndex = probabilityMap.contaminantIndex;
    summary_.contaminantName = probabilityMap.contaminantName;
    summary_.timeYears = probabilityMap.timeYears;
    summary_.timeSlice = probabilityMap.timeSlice;
    summary_.grid = probabilityMap.grid;
    summary_.iterations = probabilityMap.iterations;
    summary_.standardMgPerL = probabilityMap.standardMgPerL;
    summary_.percentileLevels = probabilityMap.percentileLevels;
    summary_.complete = probabilityMap.complete;
    scene_->Rebuild(project, map, {});
    // One map: the probability map in place of a central-value plume.
    if (scene_->PlumeItem()) scene_->PlumeItem()->setVisible(false);
    scene_->addItem(new ProbabilityMapItem(*drawing_));
}

ProbabilityMapPicture::~ProbabilityMapPicture() = default;

QStringList ProbabilityMapPicture::LegendTexts() const {
    QStringList texts = drawing_->Title();
    const std::vector<MapLegendClass>& classes = drawing_->Classes();
    for (auto entry = classes.rbegin(); entry != classes.rend(); ++entry) texts << entry->text;
    texts << drawing_->ContourTexts();
    return texts;
}

void ProbabilityMapPicture::Paint(QPainter& painter, const QRectF& target) const {
    if (!(areaM_.width() > 0.0) || !(areaM_.height() > 0.0)) return;
    painter.save();
    // Laid out at screen size (96 dpi, a 12 pixel font) and scaled onto the
    // device, so that the legend, scale bar and labels keep the proportions
    // they have on the site plan on a printer's fine raster too.
    const double dpi = painter.device() ? painter.device()->logicalDpiX() : 96.0;
    const double toDevice = dpi > 0.0 ? dpi / 96.0 : 1.0;
    painter.translate(target.topLeft());
    painter.scale(toDevice, toDevice);
    QFont font = painter.font();
    font.setPixelSize(12);
    painter.setFont(font);
    const QRectF page(0.0, 0.0, target.width() / toDevice, target.height() / toDevice);

    const MapLegendPainter legend = drawing_->Legend();
    const QSize legendSize = legend.Size(painter);
    const double gap = 10.0;
    const QRectF mapRect(0.0, 0.0, std::max(50.0, page.width() - legendSize.width() - gap),
                         page.height());
    const double scale =
        std::min(mapRect.width() / areaM_.width(), mapRect.height() / areaM_.height());
    // The plan around the mapped area that fills the map's space.
    const QSizeF shownSize(mapRect.width() / scale, mapRect.height() / scale);
    const QRectF shown(areaM_.center() - QPointF(0.5 * shownSize.width(), 0.5 * shownSize.height()),
                       shownSize);
    // Plan metres have y north; the page's y runs down.
    const QTransform planToPage(scale, 0.0, 0.0, -scale, mapRect.left() - scale * shown.left(),
                                mapRect.top() + scale * shown.bottom());
    painter.save();
    painter.setClipRect(mapRect);
    painter.setTransform(planToPage, true);
    scene_->render(&painter, shown, shown, Qt::IgnoreAspectRatio);
    painter.restore();
    painter.save();
    painter.setClipRect(mapRect);
    ContourPainter(drawing_->Contours()).PaintLabels(painter, planToPage);
    painter.restore();
    painter.setPen(QPen(QColor(0x6b, 0x74, 0x7e), 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(mapRect);

    ScaleBarPainter(scale).Paint(painter, QPointF(mapRect.left() + 10.0, mapRect.bottom() - 10.0));
    PaintNorthArrow(painter, QPointF(mapRect.right() - 10.0, mapRect.top() + 10.0), 36.0);
    legend.Paint(painter, QPoint(static_cast<int>(page.right()), legendSize.height()));
    painter.restore();
}

} // namespace varnex::ui
