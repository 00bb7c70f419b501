#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <vector>

#include "stochastic/CorrelationList.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace varnex {
class Project;
}

namespace varnex::ui {

class UserPrompts;

// The "Input Correlations" dialog: the project's rank correlations between
// pairs of inputs, each the "Correlated Parameter" (whose samples a run
// reorders) following the "Parameter Correlated To" (whose samples stay)
// to the degree "Value". It edits a copy of the list; OK hands it back.
class InputCorrelationsDialog : public QDialog {
    Q_OBJECT

public:
    // One input a correlation can name, as the lists show it.
    struct Input {
        std::int32_t id = 0;
        QString name;      // "Tank - Benzene - Half-life [days]"
        bool used = false; // a run at the project's level and options samples it
    };
    // Every input of the project, named by its owners, in project order.
    static std::vector<Input> ProjectInputs(Project& project);
    // The name an input is shown by among `inputs`, marked when a run at the
    // project's level does not sample it or when it is no longer there.
    static QString NameAmong(const std::vector<Input>& inputs, std::int32_t id);

    InputCorrelationsDialog(Project& project, UserPrompts& prompts, QWidget* parent = nullptr);

    // The list as edited so far.
    const CorrelationList& Correlations() const { return correlations_; }
    // Whether it differs from the project's.
    bool Changed() const;

    // "Correlate": adds the pair chosen in the two lists with the value and
    // name entered, or replaces the pair with the same "Parameter Correlated
    // To". False, with the reason shown, when refused.
    bool Correlate();
    // "Remove Correlation" on the selected record.
    bool RemoveSelected();

    QTreeWidget* RecordList() const { return records_; }
    QComboBox* CorrelatedBox() const { return correlatedBox_; }
    QComboBox* ReferenceBox() const { return referenceBox_; }
    QLineEdit* ValueEntry() const { return valueEntry_; }
    QLineEdit* NameEntry() const { return nameEntry_; }
    QPushButton* CorrelateButton() const { return correlateButton_; }
    QPushButton* RemoveButton() const { return removeButton_; }
    // Chooses an input in a list by identity; false when it is not offered.
    static bool ChooseInput(QComboBox* box, std::int32_t id);

private:
    void ShowRecords(std::int32_t selectReference);
    void OnRecordSelected();
    QString InputName(std::int32_t id) const;
    std::int32_t SelectedReference() const;

    const CorrelationList& original_;
    CorrelationList correlations_;
    std::vector<Input> inputs_;
    UserPrompts& prompts_;
    QTreeWidget* records_;
    QComboBox* correlatedBox_;
    QComboBox* referenceBox_;
    QLineEdit* valueEntry_;
    QLineEdit* nameEntry_;
    QPushButton* correlateButton_;
    QPushButton* removeButton_;
};

} // namespace varnex::ui
