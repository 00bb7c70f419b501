#include "ui/CPhaseView.h"

#include <cmath>

#include <QGraphicsScene>
#include <QMouseEvent>
#include <QPainter>

namespace varnex::ui {

namespace {

constexpr double zoomStep = 1.25;
// Grid lines closer than this on screen would only grey the sheet.
constexpr double minimumGridPixels = 12.0;

} // namespace

CPhaseView::CPhaseView(QWidget* parent) : QGraphicsView(parent), scene_(new QGraphicsScene(this)) {
    setScene(scene_);
    setFrameShape(QFrame::NoFrame);
    setRenderHint(QPainter::Antialiasing);
    setMouseTracking(true);
    setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
    setCacheMode(QGraphicsView::CacheBackground);
    // Site-plan y runs north, the screen's y runs down.
    setTransform(QTransform::fromScale(1.0, -1.0));
    scene_->setSceneRect(-5000.0, -5000.0, 10000.0, 10000.0);
    centerOn(0.0, 0.0);
}

void CPhaseView::SetProject(Project* project) {
    project_ = project;
    RefreshFromProject();
}

void CPhaseView::RefreshFromProject() { viewport()->update(); }

QRectF CPhaseView::VisiblePlanArea() const { return mapToScene(viewport()->rect()).boundingRect(); }

void CPhaseView::ZoomIn() { scale(zoomStep, zoomStep); }

void CPhaseView::ZoomOut() { scale(1.0 / zoomStep, 1.0 / zoomStep); }

void CPhaseView::mouseMoveEvent(QMouseEvent* event) {
    const QPointF plan = mapToScene(event->position().toPoint());
    emit CursorMoved(plan.x(), plan.y());
    QGraphicsView::mouseMoveEvent(event);
}

void CPhaseView::drawBackground(QPainter* painter, const QRectF& rect) {
    painter->fillRect(rect, Qt::white);
    // A 10 m grid, coarsened by tens until its lines are far enough apart.
    const double pixelsPerMetre = std::abs(transform().m11());
    double spacing = 10.0;
    while (spacing * pixelsPerMetre < minimumGridPixels) spacing *= 10.0;
    const double major = spacing * 10.0;
    const QPen minorPen(QColor(0xec, 0xef, 0xf3), 0);
    const QPen majorPen(QColor(0xd3, 0xd9, 0xe1), 0);
    for (double x = std::floor(rect.left() / spacing) * spacing; x <= rect.right(); x += spacing) {
        painter->setPen(std::fmod(std::abs(x), major) < 1e-6 ? majorPen : minorPen);
        painter->drawLine(QLineF(x, rect.top(), x, rect.bottom()));
    }
    for (double y = std::floor(rect.top() / spacing) * spacing; y <= rect.bottom(); y += spacing) {
        painter->setPen(std::fmod(std::abs(y), major) < 1e-6 ? majorPen : minorPen);
        painter->drawLine(QLineF(rect.left(), y, rect.right(), y));
    }
}

} // namespace varnex::ui
