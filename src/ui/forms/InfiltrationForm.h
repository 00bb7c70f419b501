#pragma once

#include <vector>

#include "model/Source.h"
#include "ui/forms/InputForm.h"

class QCheckBox;
class QRadioButton;

namespace varnex::ui {

// "Infiltration": how water enters the ground beneath one source, either as
// rainfall infiltration or through a soakaway (with or without the run-off
// of a drained catchment).
class InfiltrationForm : public InputForm {
    Q_OBJECT

public:
    explicit InfiltrationForm(std::size_t sourceIndex, QWidget* parent = nullptr);

    QString Title() const override;
    void Load(const Project& project) override;
    bool Validate(QStringList& errors) override;
    void Apply(Project& project) override;

private:
    void UpdateEnabled();

    std::size_t sourceIndex_;
    bool loaded_ = false;
    QString sourceName_;
    QCheckBox* soakaway_;
    QRadioButton* drainage_;
    QRadioButton* noDrainage_;
    std::vector<InputField> inputs_;
};

} // namespace varnex::ui
