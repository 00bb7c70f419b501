#pragma once

#include <QWidget>

#include "ui/graphs/StatisticsTable.h"

class QComboBox;
class QTableWidget;

namespace varnex {
class Project;
}

namespace varnex::ui {

// The "Statistics" view: the summary statistics of one result vector of the
// finished run, chosen with the selectors, or of that result at every time
// slice side by side ("All"). Like the graph window it keeps
// only indices and looks the vector up on every refresh.
class StatisticsView : public QWidget {
    Q_OBJECT

public:
    // The time selector's "All": a column per time slice.
    static constexpr int allTimeSlices = -2;

    explicit StatisticsView(const Project& project, QWidget* parent = nullptr);

    void RefreshFromProject();
    const StatisticsChoice& Choice() const { return choice_; }

    QComboBox* ResultSelector() const { return resultBox_; }
    QComboBox* SourceSelector() const { return sourceBox_; }
    QComboBox* ReceptorSelector() const { return receptorBox_; }
    QComboBox* ContaminantSelector() const { return contaminantBox_; }
    QComboBox* TimeSelector() const { return timeBox_; }
    QComboBox* MeasuredAtSelector() const { return measuredAtBox_; }
    QTableWidget* Table() const { return table_; }
    // The value shown beside `label` (in the first time slice's column), or
    // empty when no such row.
    QString ValueOf(const QString& label) const;
    // "&Copy" (Ctrl+C, and the table's context menu): the caption, then the
    // selected rows, or every row when none is selected, as tab-separated
    // label and value, ready to paste into a spreadsheet or a report.
    QString CopiedText() const;
    void CopyToClipboard() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    void FillSelectors();
    void FillMeasuredAt();
    void OnSelectionChanged();
    void ShowLines();

    const Project& project_;
    StatisticsChoice choice_;
    bool filling_ = false;
    QComboBox* resultBox_;
    QComboBox* sourceBox_;
    QComboBox* receptorBox_;
    QComboBox* contaminantBox_;
    QComboBox* timeBox_;
    QComboBox* measuredAtBox_;
    QTableWidget* table_;
};

} // namespace varnex::ui
