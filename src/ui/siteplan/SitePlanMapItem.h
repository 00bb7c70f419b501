#pragma once

#include <QGraphicsItem>
#include <QPainterPath>

#include "ui/siteplan/DxfMapGeometry.h"

namespace varnex::ui {

// The background map beneath the project: the drawing's lines, circles and
// texts placed on the plan by the domain's offset and scale
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

    QPainterPath lines_;
    std::vector<PlacedText> texts_;
    QRectF bounds_;
};

} // namespace varnex::ui
