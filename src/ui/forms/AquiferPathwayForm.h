#pragma once

#include <vector>

#include "ui/forms/InputForm.h"

class QCheckBox;
class QLineEdit;

namespace varnex::ui {

// "Aquifer Pathway": the aquifer beneath every source and receptor, its flow
// direction and the mixing zone below the sources.
class AquiferPathwayForm : public InputForm {
    Q_OBJECT

public:
    explicit AquiferPathwayForm(QWidget* parent = nullptr);

    QString Title() const override;
    void Load(const Project& project) override;
    bool Validate(QStringList& errors) override;
    void Apply(Project& project) override;

private:
    // The typed thickness is unused while the thickness is calculated.
    void ShowMixingZoneUse(bool calculated);
    QCheckBox* dilution_;
    QCheckBox* calculateMixingZone_;
    QLineEdit* flowDirection_;
    double loadedDirection_ = 0.0;
    std::vector<InputField> inputs_;
};

} // namespace varnex::ui
