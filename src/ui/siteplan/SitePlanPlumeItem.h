#pragma once

#include <QGraphicsItem>
#include <QImage>

namespace varnex {
struct PlumeSettings;
}

namespace varnex::ui {

// The last plume grid as its 16 colour bands: every node colours the
// square of one grid spacing around it; nodes below the first band stay
// clear. The image holds one pixel per node, row 0 the northern edge.
class SitePlanPlumeItem : public QGraphicsItem {
public:
    explicit SitePlanPlumeItem(const PlumeSettings& plume);

    int type() const override;
    // The band drawn at node (column, row), -1 for none.
    int BandAt(int column, int row) const;
    const QImage& Image() const { return image_; }

    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    QImage image_;
    std::vector<signed char> bands_;
    double leftX_ = 0.0;
    double topY_ = 0.0;
    double spacingM_ = 1.0;
};

} // namespace varnex::ui
