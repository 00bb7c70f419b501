#pragma once

#include <memory>
#include <vector>

#include "model/Project.h"
#include "ui/forms/InputForm.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace varnex::ui {

// "Unsaturated Pathway": the layers of the unsaturated zone beneath one
// source, top first, each a porous or a dual-porosity medium.
class UnsaturatedPathwayForm : public InputForm {
    Q_OBJECT

public:
    explicit UnsaturatedPathwayForm(std::size_t sourceIndex, QWidget* parent = nullptr);
    ~UnsaturatedPathwayForm() override;

    QString Title() const override;
    void Load(const Project& project) override;
    bool Validate(QStringList& errors) override;
    void Apply(Project& project) override;

    void AddPathway();
    void RemovePathway();

private:
    void ShowList();
    void ShowPathway(int index);
    bool TakeShown(QStringList& errors);
    void UpdateEnabled();

    std::size_t sourceIndex_;
    bool loaded_ = false;
    std::unique_ptr<Project> working_;
    int shown_ = -1;
    QListWidget* list_;
    QPushButton* removeButton_;
    QLineEdit* name_;
    QComboBox* flowModel_;
    QCheckBox* include_;
    std::vector<InputField> inputs_;
};

} // namespace varnex::ui
