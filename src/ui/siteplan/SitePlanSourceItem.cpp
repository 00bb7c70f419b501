#include "ui/siteplan/SitePlanSourceItem.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionGraphicsItem>
#include <cmath>

#include "model/Source.h"
#include "ui/common/QtText.h"
#include "ui/siteplan/SitePlanLayers.h"

namespace varnex::ui {

namespace {

// Hatch codes as the project stores them.
constexpr int solidHatch = 1;
constexpr int backDiagonalHatch = 2;
constexpr int crossHatch = 3;
constexpr int diagonalCrossHatch = 4;
constexpr int forwardDiagonalHatch = 5;
constexpr int horizontalHatch = 6;
constexpr int verticalHatch = 7;
// Hatch lines are spaced on screen, not on the ground, so they read the
// same at every zoom, as on a printed plan.
constexpr double hatchPixels = 7.0;

} // namespace

SitePlanSourceItem::SitePlanSourceItem(int sourceIndex, const Source& source)
    : sourceIndex_(sourceIndex), fillColour_(source.fillColour), hatchStyle_(source.hatchStyle) {
    QPolygonF polygon;
    for (const PlanPoint& vertex : source.vertices) polygon << QPointF(vertex.x, vertex.y);
    setPolygon(polygon);
    setData(itemLayerKey, ProjectLayerName());
    setData(itemIndexKey, sourceIndex);
    setZValue(sourceZ);
    setToolTip(ToQString(source.name));

    name_ = ToQString(source.name);
}

int SitePlanSourceItem::type() const { return sourceItemType; }

QColor SitePlanSourceItem::Colour(int fillColour) {
    switch (fillColour) {
    case 1: return QColor(0xd6, 0x27, 0x28);  // Red
    case 2: return QColor(0xe8, 0xc2, 0x00);  // Yellow, deep enough to show on white
    case 3: return QColor(0x2c, 0xa0, 0x2c);  // Green
    case 4: return QColor(0x17, 0xbe, 0xcf);  // Cyan
    case 6: return QColor(0xc0, 0x3c, 0xc0);  // Magenta
    case 7: return QColor(0xff, 0xff, 0xff);  // White
    default: return QColor(0x1f, 0x5f, 0xbf); // Blue
    }
}

void SitePlanSourceItem::paint(QPainter* painter, const QStyleOptionGraphicsItem* option,
                               QWidget*) {
    const QColor colour = Colour(fillColour_);
    // White sources are outlined and hatched in grey, or they would vanish.
    const QColor ink = fillColour_ == 7 ? QColor(0x70, 0x78, 0x82) : colour.darker(135);
    QColor wash = colour;
    wash.setAlpha(hatchStyle_ == solidHatch ? 170 : 45);
    painter->setPen(Qt::NoPen);
    painter->setBrush(wash);
    painter->drawPolygon(polygon());
    if (hatchStyle_ != solidHatch) PaintHatch(*painter, ink);
    QPen outline(ink, 1.6);
    outline.setCosmetic(true);
    if (option->state & QStyle::State_Selected) outline.setStyle(Qt::DashLine);
    painter->setPen(outline);
    painter->setBrush(Qt::NoBrush);
    painter->drawPolygon(polygon());
    PaintName(*painter);
}

void SitePlanSourceItem::PaintName(QPainter& painter) const {
    const QRectF device = painter.worldTransform().mapRect(polygon().boundingRect());
    QFont font = painter.font();
    font.setBold(true);
    const QFontMetricsF metrics(font);
    const double width = metrics.horizontalAdvance(name_);
    // A name much wider than its source on screen would only clash with
    // its neighbours; zoomed out, the tooltip still names it.
    if (device.width() < 0.6 * width || device.height() < 0.8 * metrics.height()) return;
    painter.save();
    painter.resetTransform();
    painter.setFont(font);
    const QRectF label(device.center().x() - width / 2.0 - 3.0,
                       device.center().y() - metrics.height() / 2.0, width + 6.0, metrics.height());
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 190));
    painter.drawRoundedRect(label, 3.0, 3.0);
    painter.setPen(QColor(0x1d, 0x24, 0x2c));
    painter.drawText(label, Qt::AlignCenter, name_);
    painter.restore();
}

void SitePlanSourceItem::PaintHatch(QPainter& painter, const QColor& colour) const {
    const QTransform toDevice = painter.worldTransform();
    const QPolygonF device = toDevice.map(polygon());
    const QRectF box = device.boundingRect();
    if (box.isEmpty()) return;
    painter.save();
    painter.resetTransform();
    QPainterPath clip;
    clip.addPolygon(device);
    painter.setClipPath(clip, Qt::IntersectClip);
    QPen pen(colour, 1.0);
    pen.setCosmetic(true);
    painter.setPen(pen);
    const bool horizontal = hatchStyle_ == horizontalHatch || hatchStyle_ == crossHatch;
    const bool vertical = hatchStyle_ == verticalHatch || hatchStyle_ == crossHatch;
    // Screen y runs down: a "back diagonal" rises to the right.
    const bool rising = hatchStyle_ == backDiagonalHatch || hatchStyle_ == diagonalCrossHatch;
    const bool falling = hatchStyle_ == forwardDiagonalHatch || hatchStyle_ == diagonalCrossHatch;
    // Lines on a fixed screen lattice, so neighbouring sources' hatching
    // lines up.
    const double left = std::floor(box.left() / hatchPixels) * hatchPixels;
    const double top = std::floor(box.top() / hatchPixels) * hatchPixels;
    if (horizontal)
        for (double y = top; y <= box.bottom(); y += hatchPixels)
            painter.drawLine(QLineF(box.left(), y, box.right(), y));
    if (vertical)
        for (double x = left; x <= box.right(); x += hatchPixels)
            painter.drawLine(QLineF(x, box.top(), x, box.bottom()));
    const double diagonalStep = hatchPixels * std::sqrt(2.0);
    if (rising)
        for (double c = std::floor((box.left() + box.top()) / diagonalStep) * diagonalStep;
             c <= box.right() + box.bottom(); c += diagonalStep)
            painter.drawLine(QLineF(c - box.bottom(), box.bottom(), c - box.top(), box.top()));
    if (falling)
        for (double c = std::floor((box.left() - box.bottom()) / diagonalStep) * diagonalStep;
             c <= box.right() - box.top(); c += diagonalStep)
            painter.drawLine(QLineF(c + box.top(), box.top(), c + box.bottom(), box.bottom()));
    painter.restore();
}

} // namespace varnex::ui
