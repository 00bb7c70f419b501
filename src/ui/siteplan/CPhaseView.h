#pragma once

#include <QGraphicsView>
#include <QMargins>
#include <QTransform>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

class QMenu;

namespace varnex {
class Project;
}

namespace varnex::ui {

class DialogPrompts;
class ProbabilityMapDrawing;
class ProbabilityMapItem;
class SitePlanScene;
class UserPrompts;
struct DxfMapGeometry;

// The site plan: the domain grid, the background map, the sources,
// receptors and the plume of the project, in site-plan metres with north
// up, and the editing of the plan: digitising and reshaping sources,
// moving receptors, and navigation (pan, the zooms).
class CPhaseView : public QGraphicsView {
    Q_OBJECT

public:
    // What the left mouse button does.
    enum class Mode { select, pan, zoomWindow, digitise };
    // The source forms a context menu asks for (SourceFormRequested).
    enum SourceForm {
        unsaturatedZoneForm = 0,
        infiltrationForm = 1,
        contaminantsForm = 2,
        detailsForm = 3
    };

    explicit CPhaseView(QWidget* parent = nullptr);
    ~CPhaseView() override;

    // The project drawn (not owned; null for none). RefreshFromProject
    // redraws it after any change to the project: sources, receptors,
    // flow direction, domain settings, the last plume grid; it (re)reads the
    // background map when the domain's map file has changed.
    void SetProject(Project* project);
    void RefreshFromProject();
    // The part of the plan the view shows now, in site-plan metres (the
    // area a plume is computed over).
    QRectF VisiblePlanArea() const;
    // Questions and messages go to `prompts` (not owned) instead of dialogs.
    void SetPrompts(UserPrompts* prompts);
    // The folder a relative background-map path is read from (the
    // document's); the map is read again when it changes.
    void SetDocumentFolder(const QString& folder);
    SitePlanScene* Scene() const { return scene_; }
    Mode CurrentMode() const { return mode_; }

    void ZoomIn();
    void ZoomOut();
    // Everything on the plan, with a margin.
    void ZoomAll();
    // Back to the view before the last zoom.
    void ZoomPrevious();
    // The next rectangle dragged with the left button becomes the view.
    void BeginZoomWindow();
    void ZoomToArea(const QRectF& planArea);
    // Dragging with the left button moves the plan until pan is toggled off
    // or Escape is pressed.
    void TogglePan();
    void Redraw();

    bool FlowArrowVisible() const { return flowArrowVisible_; }
    void SetFlowArrowVisible(bool visible);
    bool PlumeLegendVisible() const { return plumeLegendVisible_; }
    void SetPlumeLegendVisible(bool visible);

    // The probability map drawn over the plan (null: none), in place of the
    // central-value plume, with its legend and contour labels.
    void SetProbabilityMap(std::shared_ptr<const ProbabilityMapDrawing> drawing);
    const ProbabilityMapDrawing* ShownProbabilityMap() const { return probabilityMap_.get(); }
    ProbabilityMapItem* ProbabilityItem() const { return probabilityItem_; }
    // Whether a map is drawn: a central-value plume or a probability map.
    bool ShowsMap() const;

    // Digitising: the left button places vertices; a double-click or Enter
    // finishes, Escape cancels. `sourceIndex` -1 makes a new source,
    // otherwise that source's outline is replaced.
    void BeginDigitising(int sourceIndex);
    // Ends digitising with the vertices placed; with fewer than three the
    // user is told and digitising goes on. True when the project changed.
    bool FinishDigitising();
    void CancelDigitising();
    int DigitisedVertexCount() const { return static_cast<int>(digitised_.size()); }
    // Sources that are moved as a whole instead of reshaped.
    bool KeepsShape(int sourceIndex) const { return keepShape_.count(sourceIndex) != 0; }

    bool HasBackgroundMap() const { return map_ != nullptr; }
    // The background map read last (null for none), as the plan draws it.
    const DxfMapGeometry* BackgroundMap() const { return map_.get(); }
    // The message of the last background map that could not be read.
    QString BackgroundMapError() const;

    // The context menu for the point `viewportPosition`, null where there
    // is nothing to offer. Off the sources and receptors it offers the
    // background map's "DXF Options" and, on a plan showing a plume, to
    // save the plume as a picture, or for a probability map to export it
    // and its contours for a GIS.
    std::unique_ptr<QMenu> ContextMenuAt(const QPoint& viewportPosition);
    // The English name of the last edit reported by ProjectEdited ("Move
    // Source"): the name its undo step carries.
    const char* LastEditName() const { return lastEditName_; }

signals:
    // The cursor over the plan, in site-plan metres.
    void CursorMoved(double x, double y);
    // The plan changed the project (a vertex, a receptor, a new or deleted
    // source); the frame marks the document modified.
    void ProjectEdited();
    // A context menu asked for one of the source's forms (SourceForm).
    void SourceFormRequested(int sourceIndex, int formKind);
    void ReceptorFormRequested(int receptorIndex);
    // The user asked to save the plume shown as a picture.
    void PlumeMapSaveRequested();
    // The user asked to export the probability map shown for a GIS: as a
    // GeoTIFF raster, or its contour lines as GeoJSON.
    void MapGeoTiffExportRequested();
    void MapContoursExportRequested();
    // The user asked for the background map's options (off the sources).
    void DxfOptionsRequested();
    // The domain's background map could not be read (the message names the
    // file); the plan shows the message too, until the map is read.
    void BackgroundMapFailed(const QString& message);
    // Digitising made source `sourceIndex` or gave it a new outline.
    void SourceDigitised(int sourceIndex);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void drawForeground(QPainter* painter, const QRectF& rect) override;

private:
    enum class Drag { none, vertex, receptor, source, zoomWindow };
    struct ViewState {
        QTransform transform;
        QPointF centre;
    };

    UserPrompts& Prompts();
    QPointF PlanAt(const QPointF& viewportPosition) const;
    void LoadMapIfChanged();
    void PushViewState();
    // Fits `planArea` into the view less `padding` (pixels).
    void FitArea(const QRectF& planArea, const QMargins& padding);
    void SetMode(Mode mode);
    void EndDrag(const QPointF& plan);
    // Redraws and reports an edit of the project under its English name.
    void Edited(const char* name);
    void DuplicateSource(int sourceIndex);
    void DeleteSource(int sourceIndex);
    void Restack(int kind, int index, bool toFront);
    void PaintFlowArrow(QPainter& painter) const;
    void PaintScaleBar(QPainter& painter) const;
    void PaintDigitising(QPainter& painter) const;
    void PaintMapError(QPainter& painter) const;
    void PaintProbabilityMapOverlay(QPainter& painter) const;

    SitePlanScene* scene_;
    Project* project_ = nullptr;
    std::unique_ptr<DialogPrompts> dialogPrompts_;
    UserPrompts* prompts_ = nullptr;

    Mode mode_ = Mode::select;
    bool flowArrowVisible_ = true;
    bool plumeLegendVisible_ = true;
    std::vector<ViewState> history_;

    Drag drag_ = Drag::none;
    int dragIndex_ = -1;
    int dragVertex_ = -1;
    QPointF dragStart_;
    QPoint dragStartPixel_;
    QPoint dragNowPixel_;
    bool dragMoved_ = false;

    int digitiseSource_ = -1;
    std::vector<QPointF> digitised_;
    QPointF cursorPlan_;

    std::set<int> keepShape_;
    // User stacking by (0 source / 1 receptor, index).
    std::map<std::pair<int, int>, double> zOrder_;

    std::shared_ptr<const ProbabilityMapDrawing> probabilityMap_;
    ProbabilityMapItem* probabilityItem_ = nullptr; // owned by the scene

    std::unique_ptr<DxfMapGeometry> map_;
    std::string loadedMapFile_; // the resolved path of the map read last, with the EPSG code
    QString documentFolder_;
    std::string mapError_;
    const char* lastEditName_ = "";
};

} // namespace varnex::ui
