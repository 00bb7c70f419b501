#pragma once

#include <QGraphicsItem>
#include <QImage>
#include <QPainterPath>

#include "ui/siteplan/DxfMapGeometry.h"

namespace varnex::ui {

// The background map beneath the project: the drawing's images, lines,
// circles and texts placed on the plan by the domain's offset and scale
// (plan = offset + scale x drawing).
class SitePlanMapItem : public QGraphicsItem {
public:
    SitePlanMapItem(const DxfMapGeometry& map, double offsetX, double offsetY, double scale);

    int type() const override;
    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    struct PlacedText {
        QPointF position;
        double height;
        double angleDegrees;
        QString text;
    };

    struct PlacedImage {
        QImage image;
        QRectF area; // on the plan; its top (largest y) is the image's first row
    };

    std::vector<PlacedImage> images_;
    QPainterPath lines_;
    std::vector<PlacedText> texts_;
    QRectF bounds_;
};

} // namespace varnex::ui
