#include "ui/siteplan/SitePlanVertexHandle.h"

#include <QBrush>
#include <QCursor>
#include <QPen>

#include "ui/siteplan/SitePlanLayers.h"

namespace varnex::ui {

namespace {
constexpr double halfSize = 4.0; // pixels
}

SitePlanVertexHandle::SitePlanVertexHandle(int sourceIndex, int vertexIndex,
                                           const QPointF& planPosition)
    : QGraphicsRectItem(-halfSize, -halfSize, 2.0 * halfSize, 2.0 * halfSize),
      sourceIndex_(sourceIndex), vertexIndex_(vertexIndex) {
    setFlag(ItemIgnoresTransformations);
    setPos(planPosition);
    setPen(QPen(QColor(0x1d, 0x24, 0x2c), 1.0));
    setBrush(QColor(0xff, 0xff, 0xff));
    setZValue(handleZ);
    setCursor(Qt::SizeAllCursor);
    setData(itemLayerKey, ProjectLayerName());
    setData(itemIndexKey, sourceIndex);
}

int SitePlanVertexHandle::type() const { return vertexHandleType; }

} // namespace varnex::ui
