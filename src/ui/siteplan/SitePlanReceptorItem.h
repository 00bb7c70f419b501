#pragma once

#include <QGraphicsItem>
#include <QString>

namespace varnex::ui {

// A receptor: a well symbol with the receptor's name beside it, the same
// size on screen at every zoom.
class SitePlanReceptorItem : public QGraphicsItem {
public:
    SitePlanReceptorItem(int receptorIndex, const QString& name, bool attached);

    int type() const override;
    int ReceptorIndex() const { return receptorIndex_; }
    QString Name() const { return name_; }

    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    int receptorIndex_;
    QString name_;
    bool attached_;
};

} // namespace varnex::ui
