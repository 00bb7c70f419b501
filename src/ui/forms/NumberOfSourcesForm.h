#pragma once

#include "ui/forms/InputForm.h"

class QSpinBox;

namespace varnex::ui {

// "Number of Sources": how many contaminant sources the project has. New
// sources are appended; fewer removes the last ones after a confirmation.
class NumberOfSourcesForm : public InputForm {
    Q_OBJECT

public:
    explicit NumberOfSourcesForm(QWidget* parent = nullptr);

    QString Title() const override;
    void Load(const Project& project) override;
    bool Validate(QStringList& errors) override;
    void Apply(Project& project) override;

private:
    QSpinBox* count_;
};

} // namespace varnex::ui
