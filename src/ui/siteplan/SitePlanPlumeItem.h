#pragma once

#include <QGraphicsItem>
#include <QImage>
#include <QLineF>
#include <vector>

namespace varnex {
struct PlumeSettings;
}

namespace varnex::ui {

// The last plume grid as its 16 colour bands: every node colours the
// square of one grid spacing around it; nodes below the first band stay
// clear. The image holds one pixel per node, row 0 the northern edge. With
// a water quality standard above 0 the item also draws the contour where
// the concentration crosses the standard.
class SitePlanPlumeItem : public QGraphicsItem {
public:
    explicit SitePlanPlumeItem(const PlumeSettings& plume, double standardMgPerL = 0.0);

    int type() const override;
    // The band drawn at node (column, row), -1 for none.
    int BandAt(int column, int row) const;
    const QImage& Image() const { return image_; }
    // The standard's contour as segments in site-plan metres; empty
    // without a standard or when the grid never crosses it.
    const std::vector<QLineF>& StandardContour() const { return contour_; }

    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    void TraceContour(const PlumeSettings& plume, double standard);

    QImage image_;
    std::vector<signed char> bands_;
    std::vector<QLineF> contour_;
    double leftX_ = 0.0;
    double topY_ = 0.0;
    double spacingM_ = 1.0;
};

} // namespace varnex::ui
