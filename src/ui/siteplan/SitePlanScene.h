#pragma once

#include <QGraphicsScene>
#include <map>
#include <optional>
#include <utility>

namespace varnex {
class Project;
}

namespace varnex::ui {

struct DxfMapGeometry;
class SitePlanPlumeItem;
class SitePlanReceptorItem;
class SitePlanSourceItem;

// The site plan's drawing in plan metres (y north): the domain grid behind
// everything, the background map, the plume, the sources and the
// receptors. It is rebuilt from the project whenever the project changes;
// it never changes the project itself.
class SitePlanScene : public QGraphicsScene {
    Q_OBJECT

public:
    explicit SitePlanScene(QObject* parent = nullptr);

    // Replaces every item by the project's state. `map` (may be null) is
    // drawn when the domain settings show it. `zOrder` holds the stacking
    // the user chose for sources (first: 0) and receptors (first: 1) by
    // index.
    void Rebuild(const Project& project, const DxfMapGeometry* map,
                 const std::map<std::pair<int, int>, double>& zOrder);
    // Grips on the vertices of one source (-1: none).
    void ShowVertexHandles(int sourceIndex);
    int HandlesSource() const { return handlesSource_; }

    // What zooming to everything shows: the sources, receptors, map and
    // plume; none for an empty plan (a lone receptor is a point).
    std::optional<QRectF> ContentBounds() const;

    SitePlanSourceItem* SourceItem(int sourceIndex) const;
    SitePlanReceptorItem* ReceptorItem(int receptorIndex) const;
    SitePlanPlumeItem* PlumeItem() const { return plumeItem_; }
    int SourceCount() const;

protected:
    void drawBackground(QPainter* painter, const QRectF& rect) override;

private:
    void ClearHandles();

    const Project* project_ = nullptr;
    bool showGrid_ = false;
    double gridSpacingM_ = 10.0;
    SitePlanPlumeItem* plumeItem_ = nullptr;
    QGraphicsItem* mapItem_ = nullptr;
    int handlesSource_ = -1;
};

} // namespace varnex::ui
