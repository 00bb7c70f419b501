#include "ui/common/ToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace varnex::ui {

namespace {

const QColor ink(0x33, 0x3d, 0x4a);
const QColor sourceFill(0x3f, 0x7f, 0xd6);
const QColor receptorFill(0xd9, 0x4a, 0x38);
const QColor water(0x2b, 0x8c, 0xbe);

// Drawn on a 16 x 16 grid, rendered at two sizes for ordinary and dense
// screens.
QIcon Drawn(const std::function<void(QPainter&)>& draw) {
    QIcon icon;
    for (int size : {16, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 16.0, size / 16.0);
        draw(painter);
        icon.addPixmap(pixmap);
    }
    return icon;
}

void Magnifier(QPainter& p, bool plus) {
    p.setPen(QPen(ink, 1.6));
    p.setBrush(QColor(0xe8, 0xf1, 0xfb));
    p.drawEllipse(QPointF(6.5, 6.5), 4.6, 4.6);
    p.setPen(QPen(ink, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10.0, 10.0), QPointF(14.5, 14.5));
    p.setPen(QPen(ink, 1.4));
    p.drawLine(QPointF(4.3, 6.5), QPointF(8.7, 6.5));
    if (plus) p.drawLine(QPointF(6.5, 4.3), QPointF(6.5, 8.7));
}

QPolygonF SourceShape() {
    return QPolygonF({QPointF(2, 5), QPointF(8, 2), QPointF(14, 4), QPointF(13, 12), QPointF(6, 14),
                      QPointF(2, 10)});
}

} // namespace

QIcon ToolIcons::Print() {
    return Drawn([](QPainter& p) {
        p.setPen(QPen(ink, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        p.setBrush(QColor(0xb8, 0xc2, 0xcc));
        p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1.5, 1.5);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 10.5, 7, 4));
        p.setPen(QPen(QColor(0x4c, 0xaf, 0x50), 1.2));
        p.drawPoint(QPointF(12.5, 8.5));
    });
}

QIcon ToolIcons::Explorer() {
    return Drawn([](QPainter& p) {
        p.setPen(QPen(ink, 1));
        p.drawLine(QPointF(3.5, 4), QPointF(3.5, 12.5));
        p.drawLine(QPointF(3.5, 8.5), QPointF(7, 8.5));
        p.drawLine(QPointF(3.5, 12.5), QPointF(7, 12.5));
        p.setBrush(QColor(0xf2, 0xc1, 0x4e));
        p.drawRect(QRectF(1.5, 1.5, 5, 3.5));
        p.setBrush(sourceFill);
        p.drawRect(QRectF(7.5, 7, 6, 3));
        p.setBrush(receptorFill);
        p.drawRect(QRectF(7.5, 11, 6, 3));
    });
}

QIcon ToolIcons::Properties() {
    return Drawn([](QPainter& p) {
        p.setPen(QPen(ink, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(1.5, 2.5, 13, 11));
        p.drawLine(QPointF(6.5, 2.5), QPointF(6.5, 13.5));
        for (double y : {5.5, 8.5, 11.5}) p.drawLine(QPointF(1.5, y), QPointF(14.5, y));
        p.fillRect(QRectF(2, 3, 12, 2), QColor(0xc9, 0xd6, 0xe3));
    });
}

QIcon ToolIcons::NewSource() {
    return Drawn([](QPainter& p) {
        p.setPen(QPen(ink, 1));
        p.setBrush(sourceFill);
        p.drawPolygon(SourceShape());
        p.setPen(QPen(Qt::white, 1.8));
        p.drawLine(QPointF(8, 5.5), QPointF(8, 10.5));
        p.drawLine(QPointF(5.5, 8), QPointF(10.5, 8));
    });
}

QIcon ToolIcons::NewReceptor() {
    return Drawn([](QPainter& p) {
        p.setPen(QPen(ink, 1));
        p.setBrush(receptorFill);
        p.drawEllipse(QPointF(8, 8), 5.5, 5.5);
        p.setPen(QPen(Qt::white, 1.8));
        p.drawLine(QPointF(8, 5), QPointF(8, 11));
        p.drawLine(QPointF(5, 8), QPointF(11, 8));
    });
}

QIcon ToolIcons::ZoomIn() {
    return Drawn([](QPainter& p) { Magnifier(p, true); });
}

QIcon ToolIcons::ZoomOut() {
    return Drawn([](QPainter& p) { Magnifier(p, false); });
}

QIcon ToolIcons::Run() {
    return Drawn([](QPainter& p) {
        p.setPen(QPen(QColor(0x2e, 0x7d, 0x32), 1));
        p.setBrush(QColor(0x43, 0xa0, 0x47));
        p.drawPolygon(QPolygonF({QPointF(4, 2), QPointF(14, 8), QPointF(4, 14)}));
    });
}

QIcon ToolIcons::Source() {
    return Drawn([](QPainter& p) {
        p.setPen(QPen(ink, 1));
        p.setBrush(sourceFill);
        p.drawPolygon(SourceShape());
    });
}

QIcon ToolIcons::Layer() {
    return Drawn([](QPainter& p) {
        p.setPen(QPen(ink, 0.8));
        p.setBrush(QColor(0xd7, 0xb8, 0x8a));
        p.drawRect(QRectF(1.5, 3.5, 13, 4));
        p.setBrush(QColor(0xb0, 0x8a, 0x5a));
        p.drawRect(QRectF(1.5, 8.5, 13, 4));
    });
}

QIcon ToolIcons::Receptor() {
    return Drawn([](QPainter& p) {
        p.setPen(QPen(ink, 1));
        p.setBrush(receptorFill);
        p.drawEllipse(QPointF(8, 8), 4.5, 4.5);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(8, 8), 1.5, 1.5);
    });
}

QIcon ToolIcons::Contaminant() {
    return Drawn([](QPainter& p) {
        QPainterPath flask;
        flask.moveTo(6, 2);
        flask.lineTo(10, 2);
        flask.lineTo(10, 6);
        flask.lineTo(14, 14);
        flask.lineTo(2, 14);
        flask.lineTo(6, 6);
        flask.closeSubpath();
        p.setPen(QPen(ink, 1));
        p.setBrush(Qt::white);
        p.drawPath(flask);
        p.setClipPath(flask);
        p.fillRect(QRectF(0, 9.5, 16, 6), QColor(0x8e, 0x44, 0xad));
    });
}

QIcon ToolIcons::Aquifer() {
    return Drawn([](QPainter& p) {
        p.setPen(QPen(water, 1.6, Qt::SolidLine, Qt::RoundCap));
        for (double y : {4.5, 8.5, 12.5}) {
            QPainterPath wave;
            wave.moveTo(1.5, y);
            wave.cubicTo(4, y - 2.5, 6, y + 2.5, 8.5, y);
            wave.cubicTo(11, y - 2.5, 13, y + 2.5, 14.5, y);
            p.drawPath(wave);
        }
    });
}

} // namespace varnex::ui
