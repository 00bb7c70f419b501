#include "ui/forms/AquiferPathwayForm.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>

#include "model/Project.h"
#include "settings/Translate.h"
#include "ui/common/QtText.h"
#include "ui/forms/DistributionEdit.h"

namespace varnex::ui {

AquiferPathwayForm::AquiferPathwayForm(QWidget* parent) : InputForm(parent) {
    auto* layout = new QFormLayout(this);
    // Short entries at their natural width read better than stretched ones.
    layout->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    flowDirection_ = new QLineEdit(this);
    flowDirection_->setObjectName(QStringLiteral("flowDirection"));
    layout->addRow(Tr(TranslatableText("Flow Direction [degrees]")), flowDirection_);
    dilution_ = new QCheckBox(Tr(TranslatableText("Dilution in the Aquifer at Level 2")), this);
    dilution_->setObjectName(QStringLiteral("dilutionFlag"));
    layout->addRow(dilution_);
    calculateMixingZone_ =
        new QCheckBox(Tr(TranslatableText("Calculate Mixing Zone Thickness")), this);
    calculateMixingZone_->setObjectName(QStringLiteral("calculateMixingZone"));
    layout->addRow(calculateMixingZone_);
    inputs_ = AddInputs<Aquifer>(layout);
    connect(calculateMixingZone_, &QCheckBox::toggled, this,
            [this](bool calculated) { ShowMixingZoneUse(calculated); });
}

QString AquiferPathwayForm::Title() const { return Tr(TranslatableText("Aquifer Pathway")); }

void AquiferPathwayForm::Load(const Project& project) {
    const Aquifer& aquifer = project.aquifer;
    loadedDirection_ = aquifer.flowDirection;
    flowDirection_->setText(NumberText(aquifer.flowDirection));
    dilution_->setChecked(aquifer.dilutionFlag != 0);
    calculateMixingZone_->setChecked(aquifer.calculateMixingZone != 0);
    LoadInputs(inputs_, aquifer);
    ShowMixingZoneUse(aquifer.calculateMixingZone != 0);
}

void AquiferPathwayForm::ShowMixingZoneUse(bool calculated) {
    SetUsed(FieldOf(inputs_, &Aquifer::mixingZoneThickness), !calculated,
            TranslatableText(
                "Not used: the thickness is calculated (Calculate Mixing Zone Thickness is on)."));
}

bool AquiferPathwayForm::Validate(QStringList& errors) {
    bool valid = CheckInputs<Aquifer>(inputs_, errors);
    double direction = 0.0;
    if (!ReadNumber(flowDirection_->text(), direction)) {
        errors << Tr(TranslatableText("The flow direction must be a number of degrees"));
        valid = false;
    }
    return valid;
}

void AquiferPathwayForm::Apply(Project& project) {
    Aquifer& aquifer = project.aquifer;
    TakeNumber(flowDirection_->text(), aquifer.flowDirection);
    // Keep a non-standard stored flag value unless the box was changed.
    if (dilution_->isChecked() != (aquifer.dilutionFlag != 0))
        aquifer.dilutionFlag = dilution_->isChecked() ? 1 : 0;
    if (calculateMixingZone_->isChecked() != (aquifer.calculateMixingZone != 0))
        aquifer.calculateMixingZone = calculateMixingZone_->isChecked() ? 1 : 0;
    ApplyInputs(inputs_, aquifer);
}

} // namespace varnex::ui
