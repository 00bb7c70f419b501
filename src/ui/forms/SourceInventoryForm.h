#pragma once

#include <vector>

#include "model/Source.h"
#include "ui/forms/InputForm.h"

class QCheckBox;
class QComboBox;
class QListWidget;
class QListWidgetItem;

namespace varnex::ui {

// "Source Inventory": which of the project's contaminants are present at one
// source, how each was measured, its partitioning inputs and its properties
// in every unsaturated pathway beneath the source.
class SourceInventoryForm : public InputForm {
    Q_OBJECT

public:
    explicit SourceInventoryForm(std::size_t sourceIndex, QWidget* parent = nullptr);

    QString Title() const override;
    void Load(const Project& project) override;
    bool Validate(QStringList& errors) override;
    void Apply(Project& project) override;

private:
    void ShowEntry(int index);
    void ShowPathway(int pathway);
    bool TakeShown(QStringList& errors);
    bool TakePathway(QStringList& errors);
    void OnItemChanged(QListWidgetItem* item);
    // The concentration's caption, by the simulation level and the
    // measured-as choice.
    void LabelConcentration();

    std::size_t sourceIndex_;
    bool loaded_ = false;
    Source source_;
    QString sourceName_;
    int simulationLevel_ = 0;
    int shown_ = -1;
    int shownPathway_ = -1;
    QListWidget* list_;
    QComboBox* measuredAs_;
    QCheckBox* partitionFromKoc_;
    std::vector<InputField> inputs_;
    QComboBox* pathway_;
    QComboBox* degradationPhase_;
    QCheckBox* uzPartitionFromKoc_;
    std::vector<InputField> pathwayInputs_;
};

} // namespace varnex::ui
