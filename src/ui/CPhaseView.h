#pragma once

#include <QGraphicsView>

class QGraphicsScene;

namespace varnex::ui {

// The site plan: sources, receptors, the aquifer flow arrow and the plume
// on the domain grid, in site-plan metres. For now it shows the empty
// sheet with its grid; drawing and editing the plan live here.
class CPhaseView : public QGraphicsView {
    Q_OBJECT

public:
    explicit CPhaseView(QWidget* parent = nullptr);

    void ZoomIn();
    void ZoomOut();

signals:
    // The cursor over the plan, in site-plan metres.
    void CursorMoved(double x, double y);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void drawBackground(QPainter* painter, const QRectF& rect) override;

private:
    QGraphicsScene* scene_;
};

} // namespace varnex::ui
