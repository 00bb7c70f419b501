#pragma once

#include "ui/forms/InputForm.h"

class QCheckBox;
class QDoubleSpinBox;
class QLineEdit;

namespace varnex::ui {

// "DXF Options": the site plan's background map, which drawing it is,
// whether it shows, and where it lies on the plan (offset and scale).
class DxfOptionsForm : public InputForm {
    Q_OBJECT

public:
    explicit DxfOptionsForm(QWidget* parent = nullptr);

    QString Title() const override;
    void Load(const Project& project) override;
    bool Validate(QStringList& errors) override;
    void Apply(Project& project) override;

    // The drawing chosen through `prompts`, set into `mapFile`; the Domain
    // form offers the same choice.
    static void BrowseMapFile(UserPrompts& prompts, QLineEdit* mapFile);

private:
    QCheckBox* showBackgroundMap_;
    QLineEdit* mapFile_;
    QDoubleSpinBox* mapOffsetX_;
    QDoubleSpinBox* mapOffsetY_;
    QDoubleSpinBox* mapScale_;
};

} // namespace varnex::ui
