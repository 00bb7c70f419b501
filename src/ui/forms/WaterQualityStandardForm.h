#pragma once

#include <memory>

#include "model/Project.h"
#include "ui/forms/InputForm.h"

class QComboBox;
class QTableWidget;

namespace varnex::ui {

// "Water Quality Standard": the standard set that applies ("No Standard", a set
// of the standards list or "User Defined") and the standard of each
// contaminant, typed by the user when user defined.
class WaterQualityStandardForm : public InputForm {
    Q_OBJECT

public:
    explicit WaterQualityStandardForm(QWidget* parent = nullptr);

    QString Title() const override;
    void Load(const Project& project) override;
    bool Validate(QStringList& errors) override;
    void Apply(Project& project) override;

private:
    void ShowStandards();

    QComboBox* selection_;
    QTableWidget* table_;
    // The project as loaded, on which a choice of set is previewed.
    std::unique_ptr<Project> working_;
};

} // namespace varnex::ui
