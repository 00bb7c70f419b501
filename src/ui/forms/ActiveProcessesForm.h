#pragma once

#include "ui/forms/InputForm.h"

class QCheckBox;

namespace varnex::ui {

// "Active Processes": the four process switches of the transport calculations.
class ActiveProcessesForm : public InputForm {
    Q_OBJECT

public:
    explicit ActiveProcessesForm(QWidget* parent = nullptr);

    QString Title() const override;
    void Load(const Project& project) override;
    bool Validate(QStringList& errors) override;
    void Apply(Project& project) override;

private:
    QCheckBox* retardedTravelUz_;
    QCheckBox* biodegradationUz_;
    QCheckBox* retardedTravelAquifer_;
    QCheckBox* biodegradationAquifer_;
};

} // namespace varnex::ui
