#pragma once

#include <QGraphicsRectItem>

namespace varnex::ui {

// A grip on one vertex of the source being edited; dragging it reshapes
// the source.
class SitePlanVertexHandle : public QGraphicsRectItem {
public:
    SitePlanVertexHandle(int sourceIndex, int vertexIndex, const QPointF& planPosition);

    int type() const override;
    int SourceIndex() const { return sourceIndex_; }
    int VertexIndex() const { return vertexIndex_; }

private:
    int sourceIndex_;
    int vertexIndex_;
};

} // namespace varnex::ui
