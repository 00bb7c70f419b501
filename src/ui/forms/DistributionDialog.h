#pragma once

#include <QDialog>
#include <QStringList>
#include <vector>

#include "stochastic/StochasticParameter.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace varnex::ui {

class UserPrompts;

// The "Distribution" dialog: the input's distribution chosen from the
// "Distribution Type:" list and entered argument by argument, for users who
// do not want to type the text form. It works on a copy; OK checks the copy
// against the input's limits and keeps the dialog open with the problems
// listed until they are mended or the user cancels. "Dump" writes the
// input's samples of the last run.
class DistributionDialog : public QDialog {
    Q_OBJECT

public:
    // `parameter` gives the distribution to start from with its label,
    // limits and unit factor; `samples` are its samples of the last run.
    DistributionDialog(const StochasticParameter& parameter, const std::vector<double>& samples,
                       UserPrompts& prompts, QWidget* parent = nullptr);

    // The distribution entered, valid once the dialog was accepted.
    const Distribution& Result() const { return working_; }

    // The type chosen in the list (a type code), and choosing one.
    int ChosenType() const;
    void ChooseType(int type);
    // The argument entries of the chosen type, in text-form order, and
    // their labels as shown.
    std::vector<QLineEdit*> ArgumentEntries() const;
    QStringList ArgumentLabels() const;
    // The text form the entries make now ("" while an entry is no number).
    QString PreviewText() const;
    QPushButton* DumpButton() const { return dumpButton_; }

public slots:
    void accept() override;

    // The faults of the field's text the dialog was opened on, in the same
    // words as beside the field; empty for a valid text.
    void ShowTextFault(const QString& fault);
    QString TextFault() const;

private:
    static constexpr int maximumArguments = 3;

    void ShowType(int type);
    void FillEntries(int type);
    // Reads the entries into `distribution` as `type`; false (with the
    // offending entry) when an entry is not a number.
    bool ReadEntries(Distribution& distribution, int type, int& badEntry) const;
    void UpdatePreview();

    Distribution working_;
    std::vector<double> samples_;
    StochasticParameter parameter_;
    UserPrompts& prompts_;
    QComboBox* typeBox_;
    QLabel* argumentLabels_[maximumArguments];
    QLineEdit* argumentEntries_[maximumArguments];
    QLabel* preview_;
    QLabel* textFault_ = nullptr;
    QPushButton* dumpButton_;
    int shownType_ = 0;
};

} // namespace varnex::ui
