#pragma once

#include <QGraphicsItem>
#include <QImage>
#include <vector>

#include "ui/siteplan/ContourPainter.h"

namespace varnex::ui {

class ProbabilityMapDrawing;

// A probability map on the site plan: every computed node colours the cell
// of one grid spacing around it in its class's colour (nodes not computed,
// and nodes whose value is 0, stay clear), with the contour lines over the
// cells. The labels of the
// lines are written by the view, upright, over everything.
class ProbabilityMapItem : public QGraphicsItem {
public:
    explicit ProbabilityMapItem(const ProbabilityMapDrawing& drawing);

    int type() const override;
    const QImage& Image() const { return image_; }
    const std::vector<PlanContour>& Contours() const { return contours_; }

    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    QImage image_;
    std::vector<PlanContour> contours_;
    QRectF area_;
};

} // namespace varnex::ui
