#pragma once

#include <QGraphicsItem>
#include <QString>

namespace varnex::ui {

// How the items of the site plan are told apart: each carries, as item
// data, the drawing layer or block it belongs to and the index of the
// project entity it shows.
constexpr int itemLayerKey = 0;
constexpr int itemIndexKey = 1;
inline QString ProjectLayerName() { return QStringLiteral("VARNEX_LAYER"); }
inline QString PlumeBlockName() { return QStringLiteral("VARNEXPLUME"); }

// Item types (QGraphicsItem::type) of the plan's own items.
enum SitePlanItemType {
    sourceItemType = QGraphicsItem::UserType + 1,
    receptorItemType,
    vertexHandleType,
    mapItemType,
    plumeItemType,
    probabilityMapItemType,
};

// Stacking: the map at the bottom, then the plume (a probability map over
// a central-value one), sources, receptors and the handles of the source
// being edited on top.
constexpr double mapZ = -100.0;
constexpr double plumeZ = -50.0;
constexpr double probabilityMapZ = -49.0;
constexpr double sourceZ = 0.0;
constexpr double receptorZ = 1000.0;
constexpr double handleZ = 2000.0;

} // namespace varnex::ui
