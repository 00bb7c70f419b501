#include "ui/reports/PlumePicture.h"

#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <cmath>

#include "model/Project.h"
#include "run/PlumeLegend.h"
#include "ui/common/ImageFile.h"
#include "ui/common/QtText.h"
#include "ui/siteplan/PlumeLegendPainter.h"
#include "ui/siteplan/ScaleBarPainter.h"
#include "ui/siteplan/SitePlanScene.h"

namespace varnex::ui {

PlumePicture::PlumePicture(const Project& project, const DxfMapGeometry* map, const QRectF& areaM)
    : scene_(std::make_unique<SitePlanScene>()), areaM_(areaM) {
    scene_->Rebuild(project, map, {});
    const int contaminant = project.plume.contaminantIndex;
    if (contaminant >= 0 && static_cast<std::size_t>(contaminant) < project.contaminants.size())
        legendTitle_ = ToQString(
            PlumeLegendTitle(project.contaminants[static_cast<std::size_t>(contaminant)].name));
    standard_ = PlumeStandard(project);
}

PlumePicture::~PlumePicture() = default;

QSize PlumePicture::DefaultSize() const {
    const double shape = areaM_.width() > 0.0 ? areaM_.height() / areaM_.width() : 1.0;
    return QSize(1200, std::clamp(static_cast<int>(std::lround(900.0 * shape)), 480, 4000));
}

void PlumePicture::Paint(QPainter& painter, const QSize& size) const {
    const PlumeLegendPainter legend(legendTitle_, standard_);
    const QSize legendSize = legend.Size(painter);
    const QRectF map(0.0, 0.0, std::max(50, size.width() - legendSize.width() - 20), size.height());
    const double scale = std::min(map.width() / areaM_.width(), map.height() / areaM_.height());
    // The plan around the mapped area that fills the map's space.
    const QSizeF shownSize(map.width() / scale, map.height() / scale);
    const QRectF shown(areaM_.center() - QPointF(0.5 * shownSize.width(), 0.5 * shownSize.height()),
                       shownSize);
    painter.save();
    painter.setClipRect(map);
    // Plan metres have y north; the picture's y runs down.
    painter.setTransform(
        QTransform(scale, 0.0, 0.0, -scale, -scale * shown.left(), scale * shown.bottom()));
    scene_->render(&painter, shown, shown, Qt::IgnoreAspectRatio);
    painter.restore();
    // A printed map must be measurable: the scale bar in its corner.
    ScaleBarPainter(scale).Paint(painter, QPointF(map.left() + 10.0, map.bottom() - 10.0));
    legend.Paint(painter, QPoint(size.width() - 10, size.height() - 10));
}

bool PlumePicture::Write(const QString& path, const QSize& size) const {
    if (areaM_.width() <= 0.0 || areaM_.height() <= 0.0) return false;
    return WriteImageFile(path, size, [this, &size](QPainter& painter) { Paint(painter, size); });
}

} // namespace varnex::ui
