#include "ui/siteplan/SitePlanReceptorItem.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionGraphicsItem>

#include "ui/siteplan/SitePlanLayers.h"

namespace varnex::ui {

namespace {

constexpr double symbolRadius = 6.0; // pixels
constexpr double labelGap = 5.0;

QFont LabelFont() {
    QFont font;
    font.setPointSizeF(8.5);
    return font;
}

} // namespace

SitePlanReceptorItem::SitePlanReceptorItem(int receptorIndex, const QString& name, bool attached)
    : receptorIndex_(receptorIndex), name_(name), attached_(attached) {
    setFlag(ItemIgnoresTransformations);
    setData(itemLayerKey, ProjectLayerName());
    setData(itemIndexKey, receptorIndex);
    setZValue(receptorZ);
    setToolTip(name);
}

int SitePlanReceptorItem::type() const { return receptorItemType; }

QRectF SitePlanReceptorItem::boundingRect() const {
    const QFontMetricsF metrics(LabelFont());
    const double width = symbolRadius + labelGap + metrics.horizontalAdvance(name_) + 4.0;
    const double height = std::max(2.0 * symbolRadius, metrics.height()) + 4.0;
    return QRectF(-symbolRadius - 2.0, -height / 2.0, width + symbolRadius + 2.0, height);
}

QPainterPath SitePlanReceptorItem::shape() const {
    QPainterPath path;
    path.addEllipse(QPointF(), symbolRadius + 3.0, symbolRadius + 3.0);
    return path;
}

void SitePlanReceptorItem::paint(QPainter* painter, const QStyleOptionGraphicsItem* option,
                                 QWidget*) {
    painter->setRenderHint(QPainter::Antialiasing);
    // Attached receptors sit at their source's downstream edge and are told
    // apart by colour only.
    const QColor ink = attached_ ? QColor(0x5a, 0x3d, 0x8a) : QColor(0x0b, 0x5d, 0x6b);
    painter->setPen(QPen(ink, (option->state & QStyle::State_Selected) ? 2.5 : 1.6));
    painter->setBrush(Qt::white);
    painter->drawEllipse(QPointF(), symbolRadius, symbolRadius);
    painter->drawLine(QPointF(-symbolRadius, 0.0), QPointF(symbolRadius, 0.0));
    painter->drawLine(QPointF(0.0, -symbolRadius), QPointF(0.0, symbolRadius));
    painter->setBrush(ink);
    painter->drawEllipse(QPointF(), 1.8, 1.8);

    painter->setFont(LabelFont());
    const QFontMetricsF metrics(painter->font());
    const QRectF label(symbolRadius + labelGap, -metrics.height() / 2.0,
                       metrics.horizontalAdvance(name_) + 2.0, metrics.height());
    // A halo keeps the name legible over map lines and the plume.
    painter->setPen(Qt::NoPen);
    painter->setBrush(QColor(255, 255, 255, 200));
    painter->drawRoundedRect(label.adjusted(-2.0, 0.0, 2.0, 0.0), 2.0, 2.0);
    painter->setPen(QColor(0x1d, 0x24, 0x2c));
    painter->drawText(label, Qt::AlignLeft | Qt::AlignVCenter, name_);
}

} // namespace varnex::ui
