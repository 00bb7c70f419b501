#include "ui/siteplan/SitePlanMapItem.h"

#include <QPainter>
#include <QStyleOptionGraphicsItem>
#include <cmath>

#include "ui/common/QtText.h"
#include "ui/siteplan/SitePlanLayers.h"

namespace varnex::ui {

namespace {
// Texts smaller than this on screen are unreadable clutter and are skipped.
constexpr double smallestTextPixels = 4.0;
} // namespace

SitePlanMapItem::SitePlanMapItem(const DxfMapGeometry& map, double offsetX, double offsetY,
                                 double scale) {
    if (!(scale > 0.0) || !std::isfinite(scale)) scale = 1.0;
    const auto place = [&](const DxfMapGeometry::Point& point) {
        return QPointF(offsetX + scale * point.x, offsetY + scale * point.y);
    };
    for (const DxfMapGeometry::Polyline& line : map.polylines) {
        if (line.points.empty()) continue;
        lines_.moveTo(place(line.points.front()));
        for (std::size_t i = 1; i < line.points.size(); ++i) lines_.lineTo(place(line.points[i]));
        if (line.closed) lines_.closeSubpath();
    }
    for (const DxfMapGeometry::Arc& arc : map.arcs) {
        const QPointF centre = place(arc.centre);
        const double radius = scale * arc.radius;
        const QRectF box(centre.x() - radius, centre.y() - radius, 2.0 * radius, 2.0 * radius);
        double sweep = arc.endDegrees - arc.startDegrees;
        if (sweep <= 0.0) sweep += 360.0;
        if (sweep >= 360.0) {
            lines_.addEllipse(box);
            continue;
        }
        // The plan's y runs north, so its angles run the same way as the
        // drawing's; QPainterPath measures them with y down, hence the signs.
        lines_.arcMoveTo(box, -arc.startDegrees);
        lines_.arcTo(box, -arc.startDegrees, -sweep);
    }
    for (const DxfMapGeometry::Text& text : map.texts)
        texts_.push_back(
            {place(text.position), scale * text.height, text.angleDegrees, ToQString(text.text)});
    for (const DxfMapGeometry::Image& image : map.images) {
        if (image.width <= 0 || image.height <= 0 ||
            image.rgba.size() != static_cast<std::size_t>(image.width) * image.height * 4)
            continue;
        // A deep copy: the item outlives the geometry it was made from.
        QImage pixels(image.rgba.data(), image.width, image.height, image.width * 4,
                      QImage::Format_RGBA8888);
        const QPointF low = place({image.minX, image.minY});
        const QPointF high = place({image.maxX, image.maxY});
        images_.push_back({pixels.copy(), QRectF(low, high).normalized()});
    }
    bounds_ = lines_.boundingRect();
    for (const PlacedImage& image : images_) bounds_ = bounds_.united(image.area);
    for (const PlacedText& text : texts_)
        bounds_ = bounds_.united(
            QRectF(text.position, QSizeF(text.height * text.text.size(), text.height)));
    setData(itemLayerKey, QStringLiteral("MAP"));
    setZValue(mapZ);
}

int SitePlanMapItem::type() const { return mapItemType; }

QRectF SitePlanMapItem::boundingRect() const { return bounds_; }

void SitePlanMapItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
    // Images first, beneath the lines. The plan's y runs north and an
    // image's rows south, so each is drawn from its top edge downward.
    const double pixelsPerUnit = std::abs(painter->worldTransform().m22());
    for (const PlacedImage& image : images_) {
        painter->save();
        // Shrunk on screen, neighbouring pixels are averaged rather than
        // dropped; enlarged, each stays a crisp square, as the data is.
        painter->setRenderHint(QPainter::SmoothPixmapTransform,
                               image.area.height() / image.image.height() * pixelsPerUnit < 1.0);
        painter->translate(image.area.left(), image.area.bottom());
        painter->scale(image.area.width() / image.image.width(),
                       -image.area.height() / image.image.height());
        painter->drawImage(QPointF(0.0, 0.0), image.image);
        painter->restore();
    }
    QPen pen(QColor(0x7d, 0x86, 0x91), 1.0);
    pen.setCosmetic(true);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    painter->drawPath(lines_);

    painter->setPen(QColor(0x5b, 0x64, 0x6e));
    for (const PlacedText& text : texts_) {
        if (text.height * pixelsPerUnit < smallestTextPixels) continue;
        painter->save();
        painter->translate(text.position);
        painter->rotate(text.angleDegrees);
        // Texts have their height in drawing units; the plan's y runs up,
        // so the glyphs are drawn flipped back.
        QFont font = painter->font();
        font.setPixelSize(100);
        painter->setFont(font);
        const double factor = text.height / 100.0 / 0.72;
        painter->scale(factor, -factor);
        const QStringList lines = text.text.split(QLatin1Char('\n'));
        for (int i = 0; i < lines.size(); ++i) painter->drawText(QPointF(0.0, i * 140.0), lines[i]);
        painter->restore();
    }
}

} // namespace varnex::ui
