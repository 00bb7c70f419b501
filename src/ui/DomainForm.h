#pragma once

#include "ui/InputForm.h"

class QCheckBox;
class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;

namespace varnex::ui {

// "Domain": the grid of the site plan and the background map behind it.
class DomainForm : public InputForm {
    Q_OBJECT

public:
    explicit DomainForm(QWidget* parent = nullptr);

    QString Title() const override;
    void Load(const Project& project) override;
    bool Validate(QStringList& errors) override;
    void Apply(Project& project) override;

private:
    void Browse();

    QSpinBox* gridSpacing_;
    QCheckBox* showGrid_;
    QCheckBox* showBackgroundMap_;
    QLineEdit* mapFile_;
    QDoubleSpinBox* mapOffsetX_;
    QDoubleSpinBox* mapOffsetY_;
    QDoubleSpinBox* mapScale_;
};

} // namespace varnex::ui
