#pragma once

#include <QMainWindow>
#include <vector>

#include "ui/graphs/CTChart.h"
#include "ui/graphs/GraphBuilder.h"

class QAction;
class QComboBox;
class QLabel;
class QListWidget;

namespace varnex {
class Project;
}

namespace varnex::ui {

// "Graph": the results of the finished run as a cumulative frequency,
// reverse cumulative frequency, time-history or convergence graph of one
// result kind,
// source, contaminant, receptor or unsaturated pathway. The window keeps
// only indices into the project and looks its vectors up on every redraw,
// so a new run or another project never leaves it with stale results.
class GraphWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit GraphWindow(const Project& project, QWidget* parent = nullptr);

    // Refills the selectors from the project (after a run or a new project)
    // and redraws.
    void RefreshFromProject();

    void SetGraphType(int type);
    int GraphTypeCode() const { return selection_.graphType; }
    const GraphSelection& Selection() const { return selection_; }
    CTChart* Chart() const { return chart_; }

    QComboBox* ResultSelector() const { return resultBox_; }
    QComboBox* SourceSelector() const { return sourceBox_; }
    QComboBox* ContaminantSelector() const { return contaminantBox_; }
    QComboBox* ReceptorSelector() const { return receptorBox_; }
    QComboBox* PathwaySelector() const { return pathwayBox_; }
    QListWidget* PickList() const { return pickList_; }
    QLabel* PickListCaption() const { return pickCaption_; }
    QAction* CopyAction() const { return copyAction_; }
    QAction* GridAction() const { return gridAction_; }
    QAction* TypeAction(int type) const;

    // "&Copy": the plotted numbers onto the clipboard.
    void CopyToClipboard();
    // "Save P&icture...": the graph as shown (scale and zoom included) as a
    // PNG or an SVG of 1000 x 650 pixels; false when it cannot be written.
    bool SavePicture(const QString& path) const;
    // Applies a range as "Scale..." does; the one before is kept for
    // "Previous".
    void ApplyScale(const ChartSettings& settings);
    void ZoomPrevious();

protected:
    void changeEvent(QEvent* event) override;

private:
    void BuildMenus();
    void FillResultKinds();
    void FillLocationSelectors();
    void FillPathways();
    void FillPickList();
    void ReadSelectors();
    void OnSelectionChanged();
    void Redraw();
    void ShowScaleDialog();
    // The value axis's scale when fitted to `content`: the user's choice
    // once made, until then logarithmic for concentrations.
    bool YLogarithmic(const GraphContent& content) const;

    const Project& project_;
    GraphSelection selection_;
    bool xLog_ = false;
    bool yLog_ = false;
    bool yLogChosen_ = false;  // "Scale..." or a zoom set the value axis's scale
    bool manualScale_ = false; // a zoom or "Scale..." range is in force
    std::vector<ChartSettings> previousScales_;
    bool filling_ = false; // selectors are being refilled: no redraw per entry

    CTChart* chart_;
    QComboBox* resultBox_;
    QComboBox* sourceBox_;
    QComboBox* contaminantBox_;
    QComboBox* receptorBox_;
    QComboBox* pathwayBox_;
    QLabel* pickCaption_;
    QListWidget* pickList_;
    QAction* copyAction_ = nullptr;
    QAction* printAction_ = nullptr;
    QAction* gridAction_ = nullptr;
    QAction* previousAction_ = nullptr;
    QAction* typeActions_[4]{};
};

} // namespace varnex::ui
