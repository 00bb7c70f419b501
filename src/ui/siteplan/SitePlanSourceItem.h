#pragma once

#include <QGraphicsPolygonItem>

namespace varnex {
class Source;
}

namespace varnex::ui {

// A source on the plan: its polygon filled in the source's colour and
// hatched in its style, with its name at the centre.
class SitePlanSourceItem : public QGraphicsPolygonItem {
public:
    SitePlanSourceItem(int sourceIndex, const Source& source);

    int type() const override;
    int SourceIndex() const { return sourceIndex_; }
    int FillColour() const { return fillColour_; }
    int HatchStyle() const { return hatchStyle_; }
    // The displayed colour of a fill colour code 1 ... 7 (blue otherwise).
    static QColor Colour(int fillColour);

    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    void PaintHatch(QPainter& painter, const QColor& colour) const;
    void PaintName(QPainter& painter) const;

    int sourceIndex_;
    int fillColour_;
    int hatchStyle_;
    QString name_;
};

} // namespace varnex::ui
