#include "ui/siteplan/SitePlanScene.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "model/Project.h"
#include "ui/common/QtText.h"
#include "ui/siteplan/DxfMapGeometry.h"
#include "ui/siteplan/PlumeLegendPainter.h"
#include "ui/siteplan/SitePlanLayers.h"
#include "ui/siteplan/SitePlanMapItem.h"
#include "ui/siteplan/SitePlanPlumeItem.h"
#include "ui/siteplan/SitePlanReceptorItem.h"
#include "ui/siteplan/SitePlanSourceItem.h"
#include "ui/siteplan/SitePlanVertexHandle.h"

namespace varnex::ui {

namespace {

// Grid lines closer than this on screen are thinned to a multiple of the
// user's spacing rather than greying the sheet.
constexpr double minimumGridPixels = 14.0;
// The plan may be panned this far beyond its content (and at least 10 km).
constexpr double panMarginM = 10000.0;

} // namespace

SitePlanScene::SitePlanScene(QObject* parent) : QGraphicsScene(parent) {
    setItemIndexMethod(QGraphicsScene::NoIndex);
    setSceneRect(-panMarginM, -panMarginM, 2.0 * panMarginM, 2.0 * panMarginM);
}

void SitePlanScene::Rebuild(const Project& project, const DxfMapGeometry* map,
                            const std::map<std::pair<int, int>, double>& zOrder) {
    const int handles = handlesSource_;
    ClearHandles();
    clear();
    plumeItem_ = nullptr;
    mapItem_ = nullptr;
    project_ = &project;
    showGrid_ = project.sitePlan.showGrid;
    gridSpacingM_ = project.sitePlan.gridSpacing;

    if (map && project.sitePlan.showBackgroundMap) {
        mapItem_ = new SitePlanMapItem(*map, project.sitePlan.mapOffsetX,
                                       project.sitePlan.mapOffsetY, project.sitePlan.mapScale);
        addItem(mapItem_);
    }
    if (!project.plume.columns.empty() && project.plume.spacingM > 0.0) {
        plumeItem_ = new SitePlanPlumeItem(project.plume, PlumeStandard(project));
        addItem(plumeItem_);
    }
    for (std::size_t i = 0; i < project.sources.size(); ++i) {
        auto* item = new SitePlanSourceItem(static_cast<int>(i), project.sources[i]);
        const auto z = zOrder.find({0, static_cast<int>(i)});
        if (z != zOrder.end()) item->setZValue(sourceZ + z->second);
        addItem(item);
    }
    for (std::size_t i = 0; i < project.receptors.size(); ++i) {
        const Receptor& receptor = project.receptors[i];
        if (!receptor.visible) continue;
        auto* item = new SitePlanReceptorItem(static_cast<int>(i), ToQString(receptor.name),
                                              receptor.attached);
        item->setPos(receptor.x, receptor.y);
        const auto z = zOrder.find({1, static_cast<int>(i)});
        if (z != zOrder.end()) item->setZValue(receptorZ + z->second);
        addItem(item);
    }
    const QRectF bounds = ContentBounds().value_or(QRectF(-100.0, -100.0, 200.0, 200.0));
    const double margin = std::max(panMarginM, 5.0 * std::max(bounds.width(), bounds.height()));
    setSceneRect(bounds.adjusted(-margin, -margin, margin, margin));
    if (handles >= 0 && handles < static_cast<int>(project.sources.size()))
        ShowVertexHandles(handles);
    update();
}

void SitePlanScene::ClearHandles() {
    for (QGraphicsItem* item : items())
        if (item->type() == vertexHandleType) {
            removeItem(item);
            delete item;
        }
    handlesSource_ = -1;
}

void SitePlanScene::ShowVertexHandles(int sourceIndex) {
    ClearHandles();
    if (!project_ || sourceIndex < 0 || sourceIndex >= static_cast<int>(project_->sources.size()))
        return;
    const Source& source = project_->sources[static_cast<std::size_t>(sourceIndex)];
    for (std::size_t v = 0; v < source.vertices.size(); ++v)
        addItem(new SitePlanVertexHandle(sourceIndex, static_cast<int>(v),
                                         QPointF(source.vertices[v].x, source.vertices[v].y)));
    handlesSource_ = sourceIndex;
}

std::optional<QRectF> SitePlanScene::ContentBounds() const {
    // By corners: a receptor is a point, and QRectF's union drops empty
    // rectangles.
    bool any = false;
    double left = 0.0, bottom = 0.0, right = 0.0, top = 0.0;
    const auto include = [&](const QRectF& rect) {
        const QRectF box = rect.normalized();
        left = any ? std::min(left, box.left()) : box.left();
        bottom = any ? std::min(bottom, box.top()) : box.top();
        right = any ? std::max(right, box.right()) : box.right();
        top = any ? std::max(top, box.bottom()) : box.bottom();
        any = true;
    };
    for (QGraphicsItem* item : items()) {
        switch (item->type()) {
        case sourceItemType:
            include(static_cast<SitePlanSourceItem*>(item)->polygon().boundingRect());
            break;
        case receptorItemType:
            // The symbol keeps its size on screen; on the plan it is a point.
            include(QRectF(item->pos(), QSizeF(0.0, 0.0)));
            break;
        case mapItemType:
        case plumeItemType: include(item->boundingRect()); break;
        default: break;
        }
    }
    if (!any) return std::nullopt;
    return QRectF(QPointF(left, bottom), QPointF(right, top));
}

SitePlanSourceItem* SitePlanScene::SourceItem(int sourceIndex) const {
    for (QGraphicsItem* item : items())
        if (item->type() == sourceItemType &&
            static_cast<SitePlanSourceItem*>(item)->SourceIndex() == sourceIndex)
            return static_cast<SitePlanSourceItem*>(item);
    return nullptr;
}

SitePlanReceptorItem* SitePlanScene::ReceptorItem(int receptorIndex) const {
    for (QGraphicsItem* item : items())
        if (item->type() == receptorItemType &&
            static_cast<SitePlanReceptorItem*>(item)->ReceptorIndex() == receptorIndex)
            return static_cast<SitePlanReceptorItem*>(item);
    return nullptr;
}

int SitePlanScene::SourceCount() const {
    int count = 0;
    for (QGraphicsItem* item : items()) count += item->type() == sourceItemType ? 1 : 0;
    return count;
}

void SitePlanScene::drawBackground(QPainter* painter, const QRectF& rect) {
    painter->fillRect(rect, Qt::white);
    // A spacing of 0 or less (a damaged file) gives no grid rather than
    // one the user never asked for.
    if (!showGrid_ || !(gridSpacingM_ > 0.0)) return;
    const double pixelsPerMetre = std::abs(painter->worldTransform().m11());
    if (!(pixelsPerMetre > 0.0)) return;
    // Thin the grid by 2, 5, 10, ... times the spacing until it is legible,
    // so every line drawn is still a line of the user's grid.
    double spacing = gridSpacingM_;
    static constexpr double steps[] = {2.0, 2.5, 2.0};
    for (int i = 0; spacing * pixelsPerMetre < minimumGridPixels && i < 60; ++i)
        spacing *= steps[i % 3];
    const double major = spacing * 5.0;
    QPen minorPen(QColor(0xee, 0xf1, 0xf4), 0);
    QPen majorPen(QColor(0xdc, 0xe1, 0xe7), 0);
    const auto isMajor = [major](double value) {
        const double remainder = std::fmod(std::abs(value), major);
        return remainder < 1e-6 * major || major - remainder < 1e-6 * major;
    };
    for (double x = std::floor(rect.left() / spacing) * spacing; x <= rect.right(); x += spacing) {
        painter->setPen(isMajor(x) ? majorPen : minorPen);
        painter->drawLine(QLineF(x, rect.top(), x, rect.bottom()));
    }
    for (double y = std::floor(rect.top() / spacing) * spacing; y <= rect.bottom(); y += spacing) {
        painter->setPen(isMajor(y) ? majorPen : minorPen);
        painter->drawLine(QLineF(rect.left(), y, rect.right(), y));
    }
}

} // namespace varnex::ui
