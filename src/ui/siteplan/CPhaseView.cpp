#include "ui/siteplan/CPhaseView.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "base/TextFormat.h"
#include "model/PlanGeometry.h"
#include "model/Project.h"
#include "run/PlumeLegend.h"
#include "settings/Translate.h"
#include "ui/common/DialogPrompts.h"
#include "ui/common/QtText.h"
#include "ui/siteplan/BackgroundMapPath.h"
#include "ui/siteplan/DxfMapGeometry.h"
#include "ui/siteplan/DxfMapReader.h"
#include "ui/siteplan/PlumeLegendPainter.h"
#include "ui/siteplan/ProbabilityMapDrawing.h"
#include "ui/siteplan/ProbabilityMapItem.h"
#include "ui/siteplan/ScaleBarPainter.h"
#include "ui/siteplan/SitePlanLayers.h"
#include "ui/siteplan/SitePlanPlumeItem.h"
#include "ui/siteplan/SitePlanReceptorItem.h"
#include "ui/siteplan/SitePlanScene.h"
#include "ui/siteplan/SitePlanSourceItem.h"
#include "ui/siteplan/SitePlanVertexHandle.h"

namespace varnex::ui {

namespace {

constexpr double zoomStep = 1.25;
constexpr std::size_t historyDepth = 50;
// A press that moves less than this is a click, not a drag.
constexpr int dragThresholdPixels = 3;
constexpr int overlayMargin = 12;
constexpr double pi = 3.14159265358979323846;

const QColor overlayInk(0x22, 0x2a, 0x33);
const QColor overlayBox(255, 255, 255, 225);
const QColor overlayBorder(0x9a, 0xa3, 0xad);
const QColor digitiseInk(0xd0, 0x4a, 0x02);

} // namespace

CPhaseView::CPhaseView(QWidget* parent)
    : QGraphicsView(parent), scene_(new SitePlanScene(this)),
      dialogPrompts_(std::make_unique<DialogPrompts>(this)) {
    setScene(scene_);
    setFrameShape(QFrame::NoFrame);
    setRenderHint(QPainter::Antialiasing);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
    setResizeAnchor(QGraphicsView::AnchorViewCenter);
    setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
    // Site-plan y runs north, the screen's y runs down.
    setTransform(QTransform::fromScale(2.0, -2.0));
    centerOn(0.0, 0.0);
}

CPhaseView::~CPhaseView() = default;

void CPhaseView::SetProject(Project* project) {
    project_ = project;
    CancelDigitising();
    zOrder_.clear();
    keepShape_.clear();
    RefreshFromProject();
}

void CPhaseView::SetPrompts(UserPrompts* prompts) { prompts_ = prompts; }

UserPrompts& CPhaseView::Prompts() { return prompts_ ? *prompts_ : *dialogPrompts_; }

void CPhaseView::RefreshFromProject() {
    if (!project_) {
        scene_->clear();
        probabilityItem_ = nullptr;
        viewport()->update();
        return;
    }
    // A project with fewer entities than before must not keep stale state.
    const int sources = static_cast<int>(project_->sources.size());
    const int receptors = static_cast<int>(project_->receptors.size());
    for (auto it = zOrder_.begin(); it != zOrder_.end();)
        it = (it->first.second >= (it->first.first == 0 ? sources : receptors)) ? zOrder_.erase(it)
                                                                                : std::next(it);
    for (auto it = keepShape_.begin(); it != keepShape_.end();)
        it = *it >= sources ? keepShape_.erase(it) : std::next(it);
    if (digitiseSource_ >= sources) CancelDigitising();
    drag_ = Drag::none;

    LoadMapIfChanged();
    scene_->Rebuild(*project_, map_.get(), zOrder_);
    probabilityItem_ = nullptr;
    if (probabilityMap_) {
        // One map at a time: the probability map replaces the central one.
        if (scene_->PlumeItem()) scene_->PlumeItem()->setVisible(false);
        probabilityItem_ = new ProbabilityMapItem(*probabilityMap_);
        scene_->addItem(probabilityItem_);
    }
    viewport()->update();
}

void CPhaseView::SetProbabilityMap(std::shared_ptr<const ProbabilityMapDrawing> drawing) {
    if (!drawing && !probabilityMap_) return;
    probabilityMap_ = std::move(drawing);
    RefreshFromProject();
}

bool CPhaseView::ShowsMap() const {
    return probabilityItem_ != nullptr || scene_->PlumeItem() != nullptr;
}

void CPhaseView::SetDocumentFolder(const QString& folder) { documentFolder_ = folder; }

void CPhaseView::LoadMapIfChanged() {
    const std::string& file = project_->sitePlan.backgroundMapFile;
    const QString path = BackgroundMapPath(*project_, documentFolder_);
    // Read again when the file or the plan's coordinate system changes: a
    // map in another system is transformed into the plan's.
    const std::string resolved =
        ToStdString(path) + "|" + std::to_string(project_->coordinateSystemEpsg);
    if (resolved == loadedMapFile_) return;
    loadedMapFile_ = resolved;
    map_.reset();
    mapError_.clear();
    if (file.empty()) return;
    auto map = std::make_unique<DxfMapGeometry>();
    std::string error;
    if (DxfMapReader::ReadFile(ToStdString(path), project_->coordinateSystemEpsg, *map, error)) {
        map_ = std::move(map);
    } else {
        // Told on the plan rather than in a message box: a project whose map
        // has gone missing must still open without a question per redraw.
        mapError_ = error;
        emit BackgroundMapFailed(ToQString(error));
    }
}

QString CPhaseView::BackgroundMapError() const { return ToQString(mapError_); }

QPointF CPhaseView::PlanAt(const QPointF& viewportPosition) const {
    // Unrounded, so a drag moves an entity by exactly what the mouse moved.
    return viewportTransform().inverted().map(viewportPosition);
}

QRectF CPhaseView::VisiblePlanArea() const { return mapToScene(viewport()->rect()).boundingRect(); }

void CPhaseView::PushViewState() {
    history_.push_back({transform(), mapToScene(viewport()->rect().center())});
    if (history_.size() > historyDepth) history_.erase(history_.begin());
}

void CPhaseView::ZoomIn() {
    PushViewState();
    const ViewportAnchor anchor = transformationAnchor();
    setTransformationAnchor(AnchorViewCenter);
    scale(zoomStep, zoomStep);
    setTransformationAnchor(anchor);
}

void CPhaseView::ZoomOut() {
    PushViewState();
    const ViewportAnchor anchor = transformationAnchor();
    setTransformationAnchor(AnchorViewCenter);
    scale(1.0 / zoomStep, 1.0 / zoomStep);
    setTransformationAnchor(anchor);
}

void CPhaseView::ZoomAll() {
    const QRectF bounds = scene_->ContentBounds().value_or(QRectF(-100.0, -100.0, 200.0, 200.0));
    // A single receptor, or a line of them, still needs an area to show.
    const double width = std::max(bounds.width(), 20.0);
    const double height = std::max(bounds.height(), 20.0);
    const double margin = 0.04 * std::max(width, height);
    // Screen room beyond the entities: receptor names run to the right of
    // their symbols, and the overlay boxes sit in the corners.
    FitArea(QRectF(bounds.center().x() - width / 2.0 - margin,
                   bounds.center().y() - height / 2.0 - margin, width + 2.0 * margin,
                   height + 2.0 * margin),
            QMargins(40, 60, 170, 50));
}

void CPhaseView::ZoomToArea(const QRectF& planArea) { FitArea(planArea, QMargins()); }

void CPhaseView::FitArea(const QRectF& planArea, const QMargins& padding) {
    const QRectF area = planArea.normalized();
    if (area.width() <= 0.0 || area.height() <= 0.0 || !std::isfinite(area.width()) ||
        !std::isfinite(area.height()))
        return;
    QRectF port = QRectF(viewport()->rect()).marginsRemoved(padding);
    if (port.width() < 50.0 || port.height() < 50.0) port = viewport()->rect();
    const double pixelsPerMetre =
        std::min(port.width() / area.width(), port.height() / area.height());
    if (!(pixelsPerMetre > 0.0) || !std::isfinite(pixelsPerMetre)) return;
    PushViewState();
    setTransform(QTransform::fromScale(pixelsPerMetre, -pixelsPerMetre));
    // The area's centre goes to the centre of the padded part of the view.
    const QPointF shift = QRectF(viewport()->rect()).center() - port.center();
    centerOn(area.center() + QPointF(shift.x() / pixelsPerMetre, -shift.y() / pixelsPerMetre));
}

void CPhaseView::ZoomPrevious() {
    if (history_.empty()) return;
    const ViewState state = history_.back();
    history_.pop_back();
    setTransform(state.transform);
    centerOn(state.centre);
}

void CPhaseView::BeginZoomWindow() {
    CancelDigitising();
    SetMode(Mode::zoomWindow);
}

void CPhaseView::TogglePan() {
    CancelDigitising();
    SetMode(mode_ == Mode::pan ? Mode::select : Mode::pan);
}

void CPhaseView::SetMode(Mode mode) {
    mode_ = mode;
    setDragMode(mode == Mode::pan ? QGraphicsView::ScrollHandDrag : QGraphicsView::NoDrag);
    if (mode == Mode::zoomWindow || mode == Mode::digitise)
        viewport()->setCursor(Qt::CrossCursor);
    else if (mode == Mode::select)
        viewport()->unsetCursor();
    viewport()->update();
}

void CPhaseView::Redraw() {
    // A redraw also re-reads a map that failed or changed on disk.
    loadedMapFile_.clear();
    RefreshFromProject();
    resetCachedContent();
}

void CPhaseView::SetFlowArrowVisible(bool visible) {
    flowArrowVisible_ = visible;
    viewport()->update();
}

void CPhaseView::SetPlumeLegendVisible(bool visible) {
    plumeLegendVisible_ = visible;
    viewport()->update();
}

void CPhaseView::BeginDigitising(int sourceIndex) {
    if (!project_) return;
    if (sourceIndex >= static_cast<int>(project_->sources.size())) return;
    digitiseSource_ = sourceIndex;
    digitised_.clear();
    SetMode(Mode::digitise);
    setFocus();
}

bool CPhaseView::FinishDigitising() {
    if (mode_ != Mode::digitise || !project_) return false;
    if (digitised_.size() < 3) {
        Prompts().ShowError(ToQString(Translate("At least three vertices are required.")));
        return false;
    }
    std::vector<PlanPoint> vertices;
    for (const QPointF& point : digitised_) vertices.push_back({point.x(), point.y(), 0.0, 0.0});
    // Refused as the outline is finished, while the user can still click
    // it again: a crossing outline covers ground twice.
    if (PolygonCrossesItself(vertices)) {
        Prompts().ShowError(ToQString(Translate("The source polygon must not cross itself.")));
        return false;
    }
    int index = digitiseSource_;
    const bool reshaped = index >= 0 && index < static_cast<int>(project_->sources.size());
    if (reshaped) {
        project_->sources[static_cast<std::size_t>(index)].vertices = std::move(vertices);
        project_->InvalidateResults();
    } else {
        Source source;
        // The first free "Source n", as a new source in the forms is named.
        for (int n = static_cast<int>(project_->sources.size()) + 1;; ++n) {
            source.name = FormatText(TranslateFormat("Source %d"), {static_cast<long long>(n)});
            const bool taken =
                std::any_of(project_->sources.begin(), project_->sources.end(),
                            [&](const Source& existing) { return existing.name == source.name; });
            if (!taken) break;
        }
        source.vertices = std::move(vertices);
        std::string error;
        if (!project_->AddSource(std::move(source), error, false)) {
            CancelDigitising();
            Prompts().ShowError(ToQString(error));
            return false;
        }
        index = static_cast<int>(project_->sources.size()) - 1;
    }
    digitised_.clear();
    digitiseSource_ = -1;
    SetMode(Mode::select);
    Edited(reshaped ? TranslatableText("Reshape Source") : TranslatableText("New Source"));
    emit SourceDigitised(index);
    return true;
}

void CPhaseView::CancelDigitising() {
    digitised_.clear();
    digitiseSource_ = -1;
    if (mode_ == Mode::digitise) SetMode(Mode::select);
}

void CPhaseView::Edited(const char* name) {
    lastEditName_ = name;
    RefreshFromProject();
    emit ProjectEdited();
}

void CPhaseView::mousePressEvent(QMouseEvent* event) {
    const QPoint pixel = event->position().toPoint();
    const QPointF plan = PlanAt(event->position());
    if (event->button() != Qt::LeftButton || mode_ == Mode::pan) {
        QGraphicsView::mousePressEvent(event);
        return;
    }
    dragStart_ = plan;
    dragStartPixel_ = dragNowPixel_ = pixel;
    dragMoved_ = false;
    if (mode_ == Mode::digitise) {
        digitised_.push_back(plan);
        viewport()->update();
        return;
    }
    if (mode_ == Mode::zoomWindow) {
        drag_ = Drag::zoomWindow;
        return;
    }
    drag_ = Drag::none;
    for (QGraphicsItem* item : items(pixel)) {
        if (item->type() == vertexHandleType) {
            auto* handle = static_cast<SitePlanVertexHandle*>(item);
            drag_ = Drag::vertex;
            dragIndex_ = handle->SourceIndex();
            dragVertex_ = handle->VertexIndex();
            return;
        }
    }
    for (QGraphicsItem* item : items(pixel)) {
        if (item->type() == receptorItemType) {
            drag_ = Drag::receptor;
            dragIndex_ = static_cast<SitePlanReceptorItem*>(item)->ReceptorIndex();
            return;
        }
    }
    for (QGraphicsItem* item : items(pixel)) {
        if (item->type() == sourceItemType) {
            const int index = static_cast<SitePlanSourceItem*>(item)->SourceIndex();
            if (KeepsShape(index)) {
                drag_ = Drag::source;
                dragIndex_ = index;
                scene_->ShowVertexHandles(-1);
            } else {
                scene_->ShowVertexHandles(index);
            }
            return;
        }
    }
    scene_->ShowVertexHandles(-1);
    QGraphicsView::mousePressEvent(event);
}

void CPhaseView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pixel = event->position().toPoint();
    const QPointF plan = PlanAt(event->position());
    cursorPlan_ = plan;
    emit CursorMoved(plan.x(), plan.y());
    if (drag_ != Drag::none && (event->buttons() & Qt::LeftButton)) {
        dragNowPixel_ = pixel;
        if ((pixel - dragStartPixel_).manhattanLength() >= dragThresholdPixels) dragMoved_ = true;
        if (dragMoved_) {
            const QPointF offset = plan - dragStart_;
            if (drag_ == Drag::receptor) {
                if (auto* item = scene_->ReceptorItem(dragIndex_)) {
                    const Receptor& receptor =
                        project_->receptors[static_cast<std::size_t>(dragIndex_)];
                    item->setPos(QPointF(receptor.x, receptor.y) + offset);
                }
            } else if (drag_ == Drag::source) {
                if (auto* item = scene_->SourceItem(dragIndex_)) item->setPos(offset);
            } else if (drag_ == Drag::vertex) {
                if (auto* item = scene_->SourceItem(dragIndex_)) {
                    QPolygonF polygon = item->polygon();
                    if (dragVertex_ < polygon.size()) polygon[dragVertex_] = plan;
                    item->setPolygon(polygon);
                }
                for (QGraphicsItem* item : scene_->items())
                    if (item->type() == vertexHandleType &&
                        static_cast<SitePlanVertexHandle*>(item)->VertexIndex() == dragVertex_)
                        item->setPos(plan);
            }
        }
        viewport()->update();
        return;
    }
    if (mode_ == Mode::digitise) viewport()->update();
    QGraphicsView::mouseMoveEvent(event);
}

void CPhaseView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && drag_ != Drag::none) {
        EndDrag(PlanAt(event->position()));
        return;
    }
    QGraphicsView::mouseReleaseEvent(event);
}

void CPhaseView::EndDrag(const QPointF& plan) {
    const Drag drag = drag_;
    drag_ = Drag::none;
    if (drag == Drag::zoomWindow) {
        SetMode(Mode::select);
        if (dragMoved_) ZoomToArea(QRectF(dragStart_, plan));
        viewport()->update();
        return;
    }
    if (!dragMoved_ || !project_) return;
    const QPointF offset = plan - dragStart_;
    if (drag == Drag::receptor && dragIndex_ >= 0 &&
        dragIndex_ < static_cast<int>(project_->receptors.size())) {
        Receptor& receptor = project_->receptors[static_cast<std::size_t>(dragIndex_)];
        receptor.x += offset.x();
        receptor.y += offset.y();
    } else if ((drag == Drag::vertex || drag == Drag::source) && dragIndex_ >= 0 &&
               dragIndex_ < static_cast<int>(project_->sources.size())) {
        Source& source = project_->sources[static_cast<std::size_t>(dragIndex_)];
        if (drag == Drag::vertex) {
            if (dragVertex_ < 0 || dragVertex_ >= static_cast<int>(source.vertices.size())) return;
            source.vertices[static_cast<std::size_t>(dragVertex_)].x = plan.x();
            source.vertices[static_cast<std::size_t>(dragVertex_)].y = plan.y();
        } else {
            for (PlanPoint& vertex : source.vertices) {
                vertex.x += offset.x();
                vertex.y += offset.y();
            }
            source.centre.x += offset.x();
            source.centre.y += offset.y();
        }
    } else {
        return;
    }
    project_->InvalidateResults();
    Edited(drag == Drag::receptor ? TranslatableText("Move Receptor")
           : drag == Drag::vertex ? TranslatableText("Reshape Source")
                                  : TranslatableText("Move Source"));
}

void CPhaseView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (mode_ == Mode::digitise && event->button() == Qt::LeftButton) {
        FinishDigitising();
        return;
    }
    if (mode_ == Mode::select && event->button() == Qt::LeftButton) {
        // A double-click on an entity opens its dialog, as "Show Dialog" does.
        for (QGraphicsItem* item : items(event->position().toPoint())) {
            if (item->type() == receptorItemType) {
                emit ReceptorFormRequested(
                    static_cast<SitePlanReceptorItem*>(item)->ReceptorIndex());
                return;
            }
            if (item->type() == sourceItemType) {
                emit SourceFormRequested(static_cast<SitePlanSourceItem*>(item)->SourceIndex(),
                                         detailsForm);
                return;
            }
        }
    }
    QGraphicsView::mouseDoubleClickEvent(event);
}

void CPhaseView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        if (drag_ != Drag::none) {
            drag_ = Drag::none;
            RefreshFromProject();
        }
        CancelDigitising();
        SetMode(Mode::select);
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        mode_ == Mode::digitise) {
        FinishDigitising();
        return;
    }
    if (event->key() == Qt::Key_Backspace && mode_ == Mode::digitise && !digitised_.empty()) {
        digitised_.pop_back();
        viewport()->update();
        return;
    }
    QGraphicsView::keyPressEvent(event);
}

void CPhaseView::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0) return;
    const double factor = std::pow(zoomStep, delta / 120.0);
    scale(factor, factor);
    event->accept();
}

void CPhaseView::contextMenuEvent(QContextMenuEvent* event) {
    if (std::unique_ptr<QMenu> menu = ContextMenuAt(event->pos())) menu->exec(event->globalPos());
}

std::unique_ptr<QMenu> CPhaseView::ContextMenuAt(const QPoint& viewportPosition) {
    if (!project_ || mode_ == Mode::digitise) return nullptr;
    int source = -1, receptor = -1;
    for (QGraphicsItem* item : items(viewportPosition)) {
        if (item->type() == receptorItemType && receptor < 0 && source < 0)
            receptor = static_cast<SitePlanReceptorItem*>(item)->ReceptorIndex();
        if (item->type() == sourceItemType && source < 0 && receptor < 0)
            source = static_cast<SitePlanSourceItem*>(item)->SourceIndex();
    }
    auto menu = std::make_unique<QMenu>(this);
    const auto add = [&](const char* english, auto handler) {
        QAction* action = menu->addAction(ToQString(Translate(english)));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    if (source < 0 && receptor < 0) {
        if (!project_->plume.columns.empty() && !probabilityMap_)
            add(TranslatableText("Save Plume Map As..."), [this] { emit PlumeMapSaveRequested(); });
        if (probabilityMap_) {
            add(TranslatableText("Export Map as GeoTIFF..."),
                [this] { emit MapGeoTiffExportRequested(); });
            add(TranslatableText("Export Contours as GeoJSON..."),
                [this] { emit MapContoursExportRequested(); });
        }

        add(TranslatableText("DXF Options..."), [this] { emit DxfOptionsRequested(); });
        return menu;
    }
    if (source >= 0) {
        add(TranslatableText("Duplicate Source"), [this, source] { DuplicateSource(source); });
        add(TranslatableText("Digitise"), [this, source] { BeginDigitising(source); });
        QAction* keep = add(TranslatableText("Keep Shape"), [this, source](bool checked) {
            if (checked)
                keepShape_.insert(source);
            else
                keepShape_.erase(source);
            if (scene_->HandlesSource() == source) scene_->ShowVertexHandles(-1);
        });
        keep->setCheckable(true);
        keep->setChecked(KeepsShape(source));
        add(TranslatableText("Delete source"), [this, source] { DeleteSource(source); });
        menu->addSeparator();
        add(TranslatableText("Unsaturated Zone..."),
            [this, source] { emit SourceFormRequested(source, unsaturatedZoneForm); });
        add(TranslatableText("Infiltration..."),
            [this, source] { emit SourceFormRequested(source, infiltrationForm); });
        add(TranslatableText("Contaminants..."),
            [this, source] { emit SourceFormRequested(source, contaminantsForm); });
        add(TranslatableText("Details..."),
            [this, source] { emit SourceFormRequested(source, detailsForm); });
        menu->addSeparator();
    }
    const int kind = source >= 0 ? 0 : 1;
    const int index = source >= 0 ? source : receptor;
    add(TranslatableText("Show Dialog"), [this, kind, index] {
        if (kind == 0)
            emit SourceFormRequested(index, detailsForm);
        else
            emit ReceptorFormRequested(index);
    });
    add(TranslatableText("Push to Back"), [this, kind, index] { Restack(kind, index, false); });
    add(TranslatableText("Bring to Front"), [this, kind, index] { Restack(kind, index, true); });
    return menu;
}

void CPhaseView::DuplicateSource(int sourceIndex) {
    if (!project_ || sourceIndex < 0 || sourceIndex >= static_cast<int>(project_->sources.size()))
        return;
    std::string error;
    if (!project_->DuplicateSource(static_cast<std::size_t>(sourceIndex), error)) {
        Prompts().ShowError(ToQString(error));
        return;
    }
    Edited(TranslatableText("Duplicate Source"));
}

void CPhaseView::DeleteSource(int sourceIndex) {
    if (!project_ || sourceIndex < 0 || sourceIndex >= static_cast<int>(project_->sources.size()))
        return;
    const QString question =
        ToQString(Translate("Are you sure you want to delete")) + QStringLiteral(" ") +
        ToQString(project_->sources[static_cast<std::size_t>(sourceIndex)].name) +
        QStringLiteral("?");
    if (!Prompts().AskYesNo(question)) return;
    project_->RemoveSource(static_cast<std::size_t>(sourceIndex));
    // Indices after the deleted source move down by one.
    std::map<std::pair<int, int>, double> stacking;
    for (const auto& [key, z] : zOrder_) {
        if (key.first == 0 && key.second == sourceIndex) continue;
        stacking[{key.first,
                  key.first == 0 && key.second > sourceIndex ? key.second - 1 : key.second}] = z;
    }
    zOrder_ = std::move(stacking);
    std::set<int> kept;
    for (int index : keepShape_)
        if (index != sourceIndex) kept.insert(index > sourceIndex ? index - 1 : index);
    keepShape_ = std::move(kept);
    if (scene_->HandlesSource() >= 0) scene_->ShowVertexHandles(-1);
    Edited(TranslatableText("Delete Source"));
}

void CPhaseView::Restack(int kind, int index, bool toFront) {
    double lowest = 0.0, highest = 0.0;
    for (const auto& [key, z] : zOrder_) {
        if (key.first != kind) continue;
        lowest = std::min(lowest, z);
        highest = std::max(highest, z);
    }
    zOrder_[{kind, index}] = toFront ? highest + 1.0 : lowest - 1.0;
    RefreshFromProject();
}

void CPhaseView::drawForeground(QPainter* painter, const QRectF&) {
    painter->save();
    painter->resetTransform();
    painter->setRenderHint(QPainter::Antialiasing);
    if (mode_ == Mode::digitise) PaintDigitising(*painter);
    if (drag_ == Drag::zoomWindow && dragMoved_) {
        QPen pen(QColor(0x1f, 0x5f, 0xbf), 1.0, Qt::DashLine);
        painter->setPen(pen);
        painter->setBrush(QColor(0x1f, 0x5f, 0xbf, 30));
        painter->drawRect(QRect(dragStartPixel_, dragNowPixel_).normalized());
    }
    if (project_ && flowArrowVisible_) PaintFlowArrow(*painter);
    PaintScaleBar(*painter);
    if (!mapError_.empty()) PaintMapError(*painter);
    if (probabilityItem_) {
        PaintProbabilityMapOverlay(*painter);
    } else if (project_ && plumeLegendVisible_ && scene_->PlumeItem()) {
        const int contaminant = project_->plume.contaminantIndex;
        const std::string name =
            contaminant >= 0 && contaminant < static_cast<int>(project_->contaminants.size())
                ? project_->contaminants[static_cast<std::size_t>(contaminant)].name
                : std::string();
        PlumeLegendPainter(ToQString(PlumeLegendTitle(name)), PlumeStandard(*project_))
            .Paint(*painter,
                   viewport()->rect().bottomRight() - QPoint(overlayMargin, overlayMargin));
    }
    painter->restore();
}

void CPhaseView::PaintProbabilityMapOverlay(QPainter& painter) const {
    ContourPainter(probabilityMap_->Contours()).PaintLabels(painter, viewportTransform());
    if (plumeLegendVisible_)
        probabilityMap_->Legend().Paint(painter, viewport()->rect().bottomRight() -
                                                     QPoint(overlayMargin, overlayMargin));
}

void CPhaseView::PaintFlowArrow(QPainter& painter) const {
    const QString caption = ToQString(Translate("Aquifer flow direction"));
    const QFontMetrics metrics(painter.font());
    const int radius = 26;
    const int width = std::max(2 * radius + 16, metrics.horizontalAdvance(caption) + 16);
    const QRect box(overlayMargin, overlayMargin, width, 2 * radius + 2 * metrics.height() + 18);
    painter.setPen(QPen(overlayBorder, 1));
    painter.setBrush(overlayBox);
    painter.drawRoundedRect(box, 4, 4);
    const QPointF centre(box.center().x(), box.top() + 6 + metrics.height() + radius);
    painter.setPen(QPen(QColor(0xc9, 0xd1, 0xda), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, radius, radius);
    painter.setPen(QColor(0x6b, 0x74, 0x7e));
    painter.drawText(
        QRectF(centre.x() - 10, centre.y() - radius - metrics.height() - 1, 20, metrics.height()),
        Qt::AlignCenter, QStringLiteral("N"));
    painter.drawLine(QPointF(centre.x(), centre.y() - radius - 1),
                     QPointF(centre.x(), centre.y() - radius + 4));
    // The flow direction is a bearing, clockwise from north; the screen's y
    // runs down.
    const double bearing = project_->aquifer.flowDirection * pi / 180.0;
    const QPointF along(std::sin(bearing), -std::cos(bearing));
    const QPointF across(-along.y(), along.x());
    const double length = radius - 6.0;
    const QPointF tail = centre - along * length, head = centre + along * length;
    QPen shaft(QColor(0x0b, 0x5d, 0x8a), 3.0);
    shaft.setCapStyle(Qt::FlatCap);
    painter.setPen(shaft);
    painter.drawLine(tail, head - along * 8.0);
    QPolygonF tip;
    tip << head << head - along * 11.0 + across * 6.0 << head - along * 11.0 - across * 6.0;
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x0b, 0x5d, 0x8a));
    painter.drawPolygon(tip);
    painter.setPen(overlayInk);
    painter.drawText(
        QRect(box.left(), box.bottom() - metrics.height() - 6, box.width(), metrics.height()),
        Qt::AlignCenter, caption);
}

void CPhaseView::PaintScaleBar(QPainter& painter) const {
    const ScaleBarPainter bar(std::abs(transform().m11()));
    if (!bar.Drawable()) return;
    bar.Paint(painter, QPointF(overlayMargin, viewport()->height() - overlayMargin));
}

void CPhaseView::PaintMapError(QPainter& painter) const {
    const QFontMetrics metrics(painter.font());
    const int width = std::max(200, std::min(viewport()->width() - 2 * overlayMargin - 170, 720));
    const QString text = ToQString(mapError_);
    const QRect textArea =
        metrics.boundingRect(QRect(0, 0, width - 20, 1000), Qt::TextWordWrap, text);
    const int top = mode_ == Mode::digitise ? overlayMargin + metrics.height() + 18 : overlayMargin;
    // Beside the flow arrow's box, not over it.
    const int left = std::max(viewport()->width() / 2 - width / 2, overlayMargin + 170);
    const QRect box(left, top, width, textArea.height() + 12);
    painter.setPen(QPen(QColor(0xb0, 0x3a, 0x2e), 1));
    painter.setBrush(QColor(0xfd, 0xec, 0xea, 240));
    painter.drawRoundedRect(box, 4, 4);
    painter.setPen(overlayInk);
    painter.drawText(box.adjusted(10, 6, -10, -6), Qt::TextWordWrap | Qt::AlignCenter, text);
}

void CPhaseView::PaintDigitising(QPainter& painter) const {
    QPolygonF outline;
    for (const QPointF& point : digitised_) outline << mapFromScene(point);
    const QPointF cursor = mapFromScene(cursorPlan_);
    if (!outline.isEmpty()) {
        QPen pen(digitiseInk, 1.8);
        painter.setPen(pen);
        painter.setBrush(QColor(0xd0, 0x4a, 0x02, 35));
        QPolygonF closing = outline;
        closing << cursor;
        painter.drawPolygon(closing);
        painter.setBrush(Qt::white);
        for (const QPointF& point : outline)
            painter.drawRect(QRectF(point - QPointF(3.5, 3.5), QSizeF(7.0, 7.0)));
    }
    const QString hint = ToQString(Translate(
        "Click the vertices of the source. Double-click or Enter finishes, Escape cancels."));
    const QFontMetrics metrics(painter.font());
    const QRect box(viewport()->width() / 2 - metrics.horizontalAdvance(hint) / 2 - 10,
                    overlayMargin, metrics.horizontalAdvance(hint) + 20, metrics.height() + 10);
    painter.setPen(QPen(digitiseInk, 1));
    painter.setBrush(QColor(0xff, 0xf4, 0xe8, 240));
    painter.drawRoundedRect(box, 4, 4);
    painter.setPen(overlayInk);
    painter.drawText(box, Qt::AlignCenter, hint);
}

} // namespace varnex::ui
