#pragma once

#include <QDialog>

#include "ui/graphs/CTChart.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace varnex::ui {

// "Scale": the axis ranges and the log switches of a result graph.
class ScaleDialog : public QDialog {
    Q_OBJECT

public:
    explicit ScaleDialog(const ChartSettings& settings, QWidget* parent = nullptr);

    // The entered ranges; valid only after OK, which needs numbers in every
    // field, each minimum below its maximum and positive ends on a log axis.
    ChartSettings ChosenSettings() const { return chosen_; }

    QLineEdit* Field(int index) const { return fields_[index]; } // X Min, X Max, Y Min, Y Max
    QCheckBox* XLog() const { return xLog_; }
    QCheckBox* YLog() const { return yLog_; }
    // Why OK is greyed out; empty while the entries are valid.
    QString Message() const;

private:
    void UpdateOk();
    // False with the reason in `why` when the entries cannot be drawn.
    bool Read(ChartSettings& settings, QString* why = nullptr) const;

    ChartSettings chosen_;
    QLineEdit* fields_[4]{};
    QCheckBox* xLog_;
    QCheckBox* yLog_;
    QPushButton* ok_ = nullptr;
    QLabel* message_ = nullptr;
};

} // namespace varnex::ui
