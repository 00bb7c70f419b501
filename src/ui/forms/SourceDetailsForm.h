#pragma once

#include <vector>

#include "model/Source.h"
#include "ui/forms/InputForm.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTableWidget;

namespace varnex::ui {

// "Source Details": a source's name and polygon on the site plan, its centre,
// drawing style, soil properties and whether (and how) its strength declines
// with time ("Declining Source" grid of remaining fractions per time slice).
class SourceDetailsForm : public InputForm {
    Q_OBJECT

public:
    explicit SourceDetailsForm(std::size_t sourceIndex, QWidget* parent = nullptr);

    QString Title() const override;
    void Load(const Project& project) override;
    bool Validate(QStringList& errors) override;
    bool ConfirmApply() override;
    void Apply(Project& project) override;

private:
    void AddVertexRow(const QString& x, const QString& y);
    void UpdateEnabled();
    std::vector<double> DeclineFactors() const;

    std::size_t sourceIndex_;
    bool loaded_ = false;
    Source source_;
    QStringList otherNames_;
    std::vector<double> timeSlices_;
    QLineEdit* name_;
    QTableWidget* vertices_;
    QComboBox* centreDefinition_;
    QLineEdit* centreX_;
    QLineEdit* centreY_;
    QComboBox* fillColour_;
    QComboBox* hatchStyle_;
    QCheckBox* calculatePorosities_;
    std::vector<InputField> inputs_;
    QComboBox* decliningSource_;
    QLineEdit* timeOffset_;
    QTableWidget* declineGrid_;
};

} // namespace varnex::ui
