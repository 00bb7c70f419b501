#pragma once

#include <QDialog>
#include <vector>

#include "analysis/SensitivityRow.h"
#include "analysis/SensitivitySelection.h"
#include "ui/graphs/SensitivityLabels.h"

class QCheckBox;
class QChartView;
class QComboBox;
class QLabel;
class QTreeWidget;

namespace varnex {
class Project;
}

namespace varnex::ui {

// "Sensitivity Analysis": which stochastic inputs drive a chosen result of
// the finished run, strongest first, listed and drawn as a tornado chart
// (one bar per listed coefficient). Modal; it changes nothing in the model.
class SensitivityDialog : public QDialog {
    Q_OBJECT

public:
    explicit SensitivityDialog(Project& project, QWidget* parent = nullptr);

    // The selection the controls stand for.
    SensitivitySelection Selection() const;
    const std::vector<SensitivityRow>& Rows() const { return rows_; }

    QComboBox* ResultChooser() const { return resultBox_; }
    QComboBox* SourceSelector() const { return sourceBox_; }
    QComboBox* ReceptorSelector() const { return receptorBox_; }
    QComboBox* PathwaySelector() const { return pathwayBox_; }
    QComboBox* ContaminantSelector() const { return contaminantBox_; }
    QCheckBox* IndividualContaminant() const { return individualBox_; }
    QCheckBox* FirstTenOnly() const { return firstTenBox_; }
    QCheckBox* ExcludeZero() const { return excludeZeroBox_; }
    QCheckBox* RankCorrelation() const { return rankBox_; }
    // The list shows the distinguishing part of each label; the whole label
    // is the item's data in this role (and its tooltip).
    static constexpr int fullLabelRole = Qt::UserRole;
    QTreeWidget* List() const { return list_; }
    QLabel* Context() const { return context_; }
    QChartView* TornadoChart() const { return chartView_; }
    // "&Copy" (Ctrl+C, and the list's context menu): the result chosen, the
    // column headings and the listed inputs with their coefficients, as
    // tab-separated text.
    QString CopiedText() const;
    void CopyToClipboard() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The chart's plot area right of its label column, in a view of `size`.
    void PlaceTornado(const QSize& size);
    void RefreshSelectors();
    void Recompute();
    void FillList();
    void DrawTornado();
    void OnChange();

    Project& project_;
    std::vector<SensitivityRow> rows_;
    SensitivityLabels labels_;
    bool filling_ = false;
    QComboBox* resultBox_;
    QComboBox* sourceBox_;
    QComboBox* receptorBox_;
    QComboBox* pathwayBox_;
    QComboBox* contaminantBox_;
    QCheckBox* individualBox_;
    QCheckBox* firstTenBox_;
    QCheckBox* excludeZeroBox_;
    QCheckBox* rankBox_;
    QTreeWidget* list_;
    QLabel* context_;
    QChartView* chartView_;
    int labelColumn_ = 0; // pixels, the widest line of the bars' labels
};

} // namespace varnex::ui
