#pragma once

#include "ui/forms/InputForm.h"

class QButtonGroup;

namespace varnex::ui {

// "Simulation Level": how far the assessment follows the contaminants.
class SimulationLevelForm : public InputForm {
    Q_OBJECT

public:
    explicit SimulationLevelForm(QWidget* parent = nullptr);

    QString Title() const override;
    void Load(const Project& project) override;
    bool Validate(QStringList& errors) override;
    void Apply(Project& project) override;

private:
    QButtonGroup* levels_;
};

} // namespace varnex::ui
