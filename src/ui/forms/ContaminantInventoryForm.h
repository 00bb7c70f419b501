#pragma once

#include <memory>

#include "model/Project.h"
#include "ui/forms/InputForm.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace varnex::ui {

// "Contaminant Inventory": the project's species and their properties in the
// aquifer. Species of the standards files can be edited but not removed;
// the user's own species can be added and deleted.
class ContaminantInventoryForm : public InputForm {
    Q_OBJECT

public:
    explicit ContaminantInventoryForm(QWidget* parent = nullptr);
    ~ContaminantInventoryForm() override;

    QString Title() const override;
    void Load(const Project& project) override;
    bool Validate(QStringList& errors) override;
    void Apply(Project& project) override;

    void AddContaminant();
    void DeleteContaminant();

private:
    // Disables, with the reason, the inputs the chosen options leave unused.
    void ShowPartitionUse(bool fromKoc);
    void ShowBackgroundUse(bool on);
    // The choice of parent: "None" and every other contaminant by name.
    void ShowParentChoice(const Contaminant& contaminant);
    // A parent that would make a cycle or a chain too long is refused with
    // the reason, and the choice goes back to what it was.
    void ChooseParent(int row);
    void ShowYieldUse(bool withParent);
    void ShowList();
    void ShowContaminant(int index);
    // Takes the shown species' entries into the working copy; false (and
    // nothing taken) when one of them fails.
    bool TakeShown(QStringList& errors);

    std::unique_ptr<Project> working_;
    int shown_ = -1;
    QListWidget* list_;
    QPushButton* addButton_;
    QPushButton* deleteButton_;
    QLineEdit* name_;
    QCheckBox* henryFlag_;
    QComboBox* partitionFromKoc_;
    QComboBox* halfLifeOption_;
    QCheckBox* backgroundOption_;
    QComboBox* parent_;
    // The row of parent_ last accepted, to go back to on a refusal.
    int parentRow_ = 0;
    InputField yield_;
    std::vector<InputField> inputs_;
};

} // namespace varnex::ui
