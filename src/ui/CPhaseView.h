#pragma once

#include <QGraphicsView>

class QGraphicsScene;

namespace varnex {
class Project;
}

namespace varnex::ui {

// The site plan: sources, receptors, the aquifer flow arrow and the plume
// on the domain grid, in site-plan metres. For now it shows the empty
// sheet with its grid; drawing and editing the plan live here.
class CPhaseView : public QGraphicsView {
    Q_OBJECT

public:
    explicit CPhaseView(QWidget* parent = nullptr);

    // The project drawn (not owned; null for none). RefreshFromProject
    // redraws it after any change to the project: sources, receptors,
    // flow direction, domain settings, the last plume grid.
    void SetProject(Project* project);
    void RefreshFromProject();
    // The part of the plan the view shows now, in site-plan metres (the
    // area a plume is computed over).
    QRectF VisiblePlanArea() const;

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
    Project* project_ = nullptr;
};

} // namespace varnex::ui
