#include "ui/graphs/GraphWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "base/TextFormat.h"
#include "model/Project.h"
#include "results/ResultVector.h"
#include "settings/Translate.h"
#include "ui/common/ImageFile.h"
#include "ui/common/QtText.h"
#include "ui/graphs/ScaleDialog.h"
#include "ui/reports/ReportPrinter.h"

namespace varnex::ui {

namespace {

constexpr int graphTypes[4] = {GraphType::cumulativeFrequency,
                               GraphType::reverseCumulativeFrequency, GraphType::timeHistory,
                               GraphType::convergence};

QString Tr(const char* english) { return ToQString(Translate(english)); }

// Keeps the entry with the same item data (or the same index) across a
// refill, so a new run shows the same place.
void SelectData(QComboBox* box, int data, int fallbackIndex) {
    const int found = box->findData(data);
    if (found >= 0)
        box->setCurrentIndex(found);
    else if (box->count() > 0)
        box->setCurrentIndex(std::min(std::max(fallbackIndex, 0), box->count() - 1));
}

int CurrentData(const QComboBox* box, int fallback) {
    return box->currentIndex() >= 0 ? box->currentData().toInt() : fallback;
}

} // namespace

GraphWindow::GraphWindow(const Project& project, QWidget* parent)
    : QMainWindow(parent), project_(project) {
    setWindowTitle(Tr("Graph"));
    // A tool window of the main window: it stays above it while the user
    // works there, and goes with it when minimised.
    setWindowFlags((windowFlags() & ~Qt::WindowType_Mask) | Qt::Tool);

    chart_ = new CTChart(this);
    resultBox_ = new QComboBox(this);
    sourceBox_ = new QComboBox(this);
    contaminantBox_ = new QComboBox(this);
    receptorBox_ = new QComboBox(this);
    pathwayBox_ = new QComboBox(this);
    pickCaption_ = new QLabel(this);
    pickList_ = new QListWidget(this);
    pickList_->setMaximumHeight(150);
    for (QComboBox* box : {resultBox_, sourceBox_, contaminantBox_, receptorBox_, pathwayBox_}) {
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(30);
        connect(box, &QComboBox::currentIndexChanged, this, [this] { OnSelectionChanged(); });
    }
    connect(pickList_, &QListWidget::itemChanged, this, [this] { OnSelectionChanged(); });

    auto* selectors = new QWidget(this);
    auto* form = new QFormLayout;
    form->setRowWrapPolicy(QFormLayout::WrapAllRows);
    form->addRow(Tr("Result"), resultBox_);
    form->addRow(Tr("Source"), sourceBox_);
    form->addRow(Tr("Contaminant"), contaminantBox_);
    form->addRow(Tr("Receptor"), receptorBox_);
    form->addRow(Tr("Unsaturated Pathway"), pathwayBox_);
    auto* column = new QVBoxLayout(selectors);
    column->addLayout(form);
    column->addWidget(pickCaption_);
    column->addWidget(pickList_);
    column->addStretch();
    selectors->setMaximumWidth(330);

    auto* central = new QWidget(this);
    auto* row = new QHBoxLayout(central);
    row->addWidget(selectors);
    row->addWidget(chart_, 1);
    setCentralWidget(central);

    connect(chart_, &CTChart::ZoomWindowChosen, this,
            [this](double x0, double x1, double y0, double y1) {
                ChartSettings settings = chart_->Settings();
                settings.x.minimum = x0;
                settings.x.maximum = x1;
                settings.y.minimum = y0;
                settings.y.maximum = y1;
                ApplyScale(settings);
            });

    BuildMenus();
    resize(1100, 640);
    RefreshFromProject();
}

void GraphWindow::BuildMenus() {
    QMenu* file = menuBar()->addMenu(Tr("&File"));
    copyAction_ = file->addAction(Tr("&Copy"), this, &GraphWindow::CopyToClipboard);
    copyAction_->setShortcut(QKeySequence::Copy);
    // The graph as shown (scale and zoom included), alone on one page.
    printAction_ = file->addAction(Tr("&Print"), this, [this] {
        QPrinter& printer = ReportPrinter::SharedPrinter();
        QPrintDialog dialog(&printer, this);
        if (dialog.exec() != QDialog::Accepted) return;
        ReportPrinter::PrintGraph(windowTitle(), chart_->Content(), chart_->Settings(), printer);
    });
    // For reports: a picture of the graph to place in a document.
    file->addAction(Tr("Save P&icture..."), this, [this] {
        QString path = QFileDialog::getSaveFileName(this, Tr("Save Picture"), QString(),
                                                    Tr("PNG Image (*.png);;SVG Drawing (*.svg)"));
        if (path.isEmpty()) return;
        if (!IsImageFileName(path)) path += QStringLiteral(".png");
        if (!SavePicture(path))
            QMessageBox::warning(this, windowTitle(),
                                 ToQString(FormatText(TranslateFormat("Cannot write the file %s"),
                                                      {ToStdString(path)})));
    });
    file->addSeparator();
    file->addAction(Tr("&Exit"), this, &QWidget::close);

    QMenu* view = menuBar()->addMenu(Tr("&View"));
    auto* group = new QActionGroup(this);
    const char* typeCaptions[4] = {TranslatableText("&Cumulative Frequency"),
                                   TranslatableText("&Reverse Cumulative Frequency"),
                                   TranslatableText("&Time History"),
                                   TranslatableText("C&onvergence")};
    for (int i = 0; i < 4; ++i) {
        typeActions_[i] = view->addAction(Tr(typeCaptions[i]));
        typeActions_[i]->setCheckable(true);
        group->addAction(typeActions_[i]);
        const int type = graphTypes[i];
        connect(typeActions_[i], &QAction::triggered, this, [this, type] { SetGraphType(type); });
    }
    typeActions_[0]->setChecked(true);

    QMenu* options = menuBar()->addMenu(Tr("&Options"));
    gridAction_ = options->addAction(Tr("Grid"));
    gridAction_->setCheckable(true);
    gridAction_->setChecked(true);
    connect(gridAction_, &QAction::toggled, this, [this] { Redraw(); });
    QMenu* zoom = options->addMenu(Tr("&Zoom"));
    zoom->addAction(Tr("Window"), chart_, &CTChart::BeginZoomWindow);
    previousAction_ = zoom->addAction(Tr("Previous"), this, &GraphWindow::ZoomPrevious);
    previousAction_->setEnabled(false);
    zoom->addAction(Tr("Scale..."), this, &GraphWindow::ShowScaleDialog);
}

QAction* GraphWindow::TypeAction(int type) const {
    for (int i = 0; i < 4; ++i)
        if (graphTypes[i] == type) return typeActions_[i];
    return nullptr;
}

void GraphWindow::RefreshFromProject() {
    // Picks of time slices the project no longer has go; with none left
    // every time slice is drawn, as when the window opens.
    std::vector<int>& times = selection_.timeSlices;
    const int slices = static_cast<int>(project_.timeSlices.size());
    times.erase(std::remove_if(times.begin(), times.end(), [slices](int k) { return k >= slices; }),
                times.end());
    if (times.empty())
        for (int k = 0; k < slices; ++k) times.push_back(k);
    filling_ = true;
    FillResultKinds();
    FillLocationSelectors();
    FillPathways();
    FillPickList();
    filling_ = false;
    OnSelectionChanged();
}

void GraphWindow::FillResultKinds() {
    const int previous = CurrentData(resultBox_, selection_.location.kind);
    resultBox_->clear();
    for (int kind : GraphResultKind::OfferedAtLevel(project_.simulationLevel))
        resultBox_->addItem(Tr(GraphResultKind::Caption(kind)), kind);
    SelectData(resultBox_, previous, 0);
}

void GraphWindow::FillLocationSelectors() {
    const int source = CurrentData(sourceBox_, selection_.location.source);
    sourceBox_->clear();
    if (GraphResultKind::OffersTotal(project_.simulationLevel))
        sourceBox_->addItem(Tr("<Total>"), ResultLocation::total);
    for (std::size_t s = 0; s < project_.sources.size(); ++s)
        sourceBox_->addItem(ToQString(project_.sources[s].name), static_cast<int>(s));
    SelectData(sourceBox_, source, 0);

    const int contaminant = CurrentData(contaminantBox_, selection_.location.contaminant);
    contaminantBox_->clear();
    for (std::size_t c = 0; c < project_.contaminants.size(); ++c)
        contaminantBox_->addItem(ToQString(project_.contaminants[c].name), static_cast<int>(c));
    SelectData(contaminantBox_, contaminant, 0);

    const int receptor = CurrentData(receptorBox_, selection_.location.receptor);
    receptorBox_->clear();
    for (std::size_t r = 0; r < project_.receptors.size(); ++r)
        receptorBox_->addItem(ToQString(project_.receptors[r].name), static_cast<int>(r));
    SelectData(receptorBox_, receptor, 0);
}

void GraphWindow::FillPathways() {
    const int previous = CurrentData(pathwayBox_, selection_.location.pathway);
    const bool wasFilling = filling_;
    filling_ = true;
    pathwayBox_->clear();
    const int source = CurrentData(sourceBox_, ResultLocation::total);
    if (source >= 0 && static_cast<std::size_t>(source) < project_.sources.size()) {
        const Source& chosen = project_.sources[static_cast<std::size_t>(source)];
        for (std::size_t p = 0; p < chosen.pathways.size(); ++p)
            pathwayBox_->addItem(ToQString(chosen.pathways[p].name), static_cast<int>(p));
    }
    SelectData(pathwayBox_, previous, 0);
    filling_ = wasFilling;
}

void GraphWindow::FillPickList() {
    const bool wasFilling = filling_;
    filling_ = true;
    const bool timeHistory = selection_.graphType == GraphType::timeHistory;
    pickCaption_->setText(Tr(timeHistory ? "Percentiles" : "Times"));
    pickList_->clear();
    const std::vector<int>& picked = timeHistory ? selection_.percentiles : selection_.timeSlices;
    auto add = [&](const QString& text, int data, bool checked) {
        auto* item = new QListWidgetItem(text, pickList_);
        item->setData(Qt::UserRole, data);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    };
    auto isPicked = [&picked](int data) {
        return std::find(picked.begin(), picked.end(), data) != picked.end();
    };
    if (timeHistory) {
        for (int index = ResultVector::percentileCount - 1; index >= 0; --index)
            add(Tr(GraphBuilder::PercentileCurveName(index)), index, isPicked(index));
    } else {
        for (std::size_t k = 0; k < project_.timeSlices.size(); ++k)
            add(ToQString(GraphBuilder::TimeSliceText(project_.timeSlices[k])), static_cast<int>(k),
                isPicked(static_cast<int>(k)));
    }
    filling_ = wasFilling;
}

void GraphWindow::ReadSelectors() {
    ResultLocation& location = selection_.location;
    location.kind = CurrentData(resultBox_, location.kind);
    location.source = CurrentData(sourceBox_, location.source);
    location.contaminant = CurrentData(contaminantBox_, location.contaminant);
    location.receptor = CurrentData(receptorBox_, location.receptor);
    location.pathway = CurrentData(pathwayBox_, location.pathway);
    std::vector<int> picks;
    for (int i = 0; i < pickList_->count(); ++i)
        if (pickList_->item(i)->checkState() == Qt::Checked)
            picks.push_back(pickList_->item(i)->data(Qt::UserRole).toInt());
    if (selection_.graphType == GraphType::timeHistory)
        selection_.percentiles = picks;
    else
        selection_.timeSlices = picks;
}

void GraphWindow::OnSelectionChanged() {
    if (filling_) return;
    // The pathways belong to the chosen source.
    if (sender() == sourceBox_) FillPathways();
    ReadSelectors();
    const int kind = selection_.location.kind;
    contaminantBox_->setEnabled(GraphResultKind::UsesContaminant(kind));
    receptorBox_->setEnabled(GraphResultKind::UsesReceptor(kind) && receptorBox_->count() > 0);
    pathwayBox_->setEnabled(GraphResultKind::UsesPathway(kind) && pathwayBox_->count() > 0);
    pickList_->setEnabled(GraphResultKind::DependsOnTime(kind));
    manualScale_ = false;
    previousScales_.clear();
    previousAction_->setEnabled(false);
    Redraw();
}

void GraphWindow::SetGraphType(int type) {
    if (TypeAction(type) == nullptr) return;
    ReadSelectors();
    selection_.graphType = type;
    if (QAction* action = TypeAction(type)) action->setChecked(true);
    FillPickList();
    OnSelectionChanged();
}

void GraphWindow::Redraw() {
    const GraphContent content = GraphBuilder::Build(project_, selection_);
    const bool grid = gridAction_->isChecked();
    ChartSettings settings;
    if (manualScale_) {
        settings = chart_->Settings();
        settings.grid = grid;
    } else {
        // The convergence points are evenly spaced in log(iterations).
        const bool xLog = xLog_ || selection_.graphType == GraphType::convergence;
        settings = CTChart::FittingSettings(content, xLog, YLogarithmic(content), grid);
    }
    chart_->Show(content, settings);
    copyAction_->setEnabled(!content.Empty());
}

bool GraphWindow::YLogarithmic(const GraphContent& content) const {
    if (yLogChosen_) return yLog_;
    // Concentrations span decades: on a linear axis the water quality
    // standard, often far below the highest values, lies flat on the axis.
    // Only positive values can be drawn on a log axis.
    if (!GraphResultKind::IsConcentration(selection_.location.kind)) return false;
    for (const GraphCurve& curve : content.curves)
        for (const GraphPoint& point : curve.points)
            if (point.y > 0.0 && std::isfinite(point.y)) return true;
    return false;
}

void GraphWindow::ApplyScale(const ChartSettings& settings) {
    previousScales_.push_back(chart_->Settings());
    previousAction_->setEnabled(true);
    xLog_ = settings.x.logarithmic;
    yLog_ = settings.y.logarithmic;
    yLogChosen_ = true;
    manualScale_ = true;
    ChartSettings applied = settings;
    applied.grid = gridAction_->isChecked();
    chart_->Show(chart_->Content(), applied);
}

void GraphWindow::ZoomPrevious() {
    if (previousScales_.empty()) return;
    ChartSettings settings = previousScales_.back();
    previousScales_.pop_back();
    previousAction_->setEnabled(!previousScales_.empty());
    xLog_ = settings.x.logarithmic;
    yLog_ = settings.y.logarithmic;
    settings.grid = gridAction_->isChecked();
    chart_->Show(chart_->Content(), settings);
}

void GraphWindow::ShowScaleDialog() {
    ScaleDialog dialog(chart_->Settings(), this);
    if (dialog.exec() == QDialog::Accepted) ApplyScale(dialog.ChosenSettings());
}

bool GraphWindow::SavePicture(const QString& path) const {
    if (chart_->Content().Empty()) return false;
    const QSize size(1000, 650);
    return WriteImageFile(path, size, [this, &size](QPainter& painter) {
        CTChart::Render(chart_->Content(), chart_->Settings(), painter,
                        QRectF(QPointF(0, 0), QSizeF(size)));
    });
}

void GraphWindow::CopyToClipboard() {
    const std::string text = GraphBuilder::ClipboardText(chart_->Content());
    if (!text.empty()) QApplication::clipboard()->setText(ToQString(text));
}

void GraphWindow::changeEvent(QEvent* event) {
    // Back in the window after a run elsewhere: show the current results.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) Redraw();
    QMainWindow::changeEvent(event);
}

} // namespace varnex::ui
