#include "ui/forms/InfiltrationForm.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "model/Project.h"
#include "settings/Translate.h"
#include "ui/common/QtText.h"
#include "ui/forms/DistributionEdit.h"

namespace varnex::ui {

InfiltrationForm::InfiltrationForm(std::size_t sourceIndex, QWidget* parent)
    : InputForm(parent), sourceIndex_(sourceIndex) {
    auto* layout = new QVBoxLayout(this);
    auto* rainBox = new QGroupBox(Tr(TranslatableText("Infiltration")), this);
    auto* rain = new QFormLayout(rainBox);
    inputs_ = AddInputs<Source>(rain, QString(), {"infiltration"});
    soakaway_ = new QCheckBox(Tr(TranslatableText("Soakaway")), this);
    soakaway_->setObjectName(QStringLiteral("soakaway"));
    rain->addRow(soakaway_);

    auto* soakawayBox = new QGroupBox(Tr(TranslatableText("Soakaway")), this);
    auto* soak = new QFormLayout(soakawayBox);
    drainage_ = new QRadioButton(Tr(TranslatableText("Drainage System")), this);
    drainage_->setObjectName(QStringLiteral("drainageSystem"));
    noDrainage_ = new QRadioButton(Tr(TranslatableText("Non-drainage System")), this);
    noDrainage_->setObjectName(QStringLiteral("nonDrainageSystem"));
    soak->addRow(drainage_);
    soak->addRow(noDrainage_);
    const std::vector<InputField> more = AddInputs<Source>(
        soak, QString(),
        {"maximumInfiltrationRate", "catchmentArea", "runoffRecharge", "baseArea"});
    for (std::size_t k = 0; k < inputs_.size() && k < more.size(); ++k)
        if (more[k].edit) inputs_[k] = more[k];
    layout->addWidget(rainBox);
    layout->addWidget(soakawayBox);
    layout->addStretch();

    connect(soakaway_, &QCheckBox::toggled, this, [this] { UpdateEnabled(); });
    connect(drainage_, &QRadioButton::toggled, this, [this] { UpdateEnabled(); });
}

QString InfiltrationForm::Title() const {
    return sourceName_.isEmpty()
               ? Tr(TranslatableText("Infiltration"))
               : Tr(TranslatableText("Infiltration")) + QStringLiteral(" - ") + sourceName_;
}

void InfiltrationForm::UpdateEnabled() {
    const bool soakaway = soakaway_->isChecked();
    const bool drained = soakaway && drainage_->isChecked();
    // A soakaway takes the place of the rain's infiltration; its catchment
    // matters only while a drainage system feeds it.
    const char* soakawayHint = TranslatableText("Used only when Soakaway is on.");
    const char* drainageHint = TranslatableText("Used only for a soakaway with a drainage system.");
    SetUsed(FieldOf(inputs_, &Source::infiltration), !soakaway,
            TranslatableText("Not used: the soakaway sets the infiltration (Soakaway is on)."));
    SetUsed(drainage_, soakaway, soakawayHint);
    SetUsed(noDrainage_, soakaway, soakawayHint);
    SetUsed(FieldOf(inputs_, &Source::maximumInfiltrationRate), soakaway, soakawayHint);
    SetUsed(FieldOf(inputs_, &Source::baseArea), soakaway, soakawayHint);
    SetUsed(FieldOf(inputs_, &Source::catchmentArea), drained, drainageHint);
    SetUsed(FieldOf(inputs_, &Source::runoffRecharge), drained, drainageHint);
}

void InfiltrationForm::Load(const Project& project) {
    loaded_ = sourceIndex_ < project.sources.size();
    setEnabled(loaded_);
    if (!loaded_) return;
    const Source& source = project.sources[sourceIndex_];
    sourceName_ = ToQString(source.name);
    soakaway_->setChecked(source.Soakaway());
    (source.drainageSystem != 0 ? drainage_ : noDrainage_)->setChecked(true);
    LoadInputs(inputs_, source);
    UpdateEnabled();
}

bool InfiltrationForm::Validate(QStringList& errors) {
    return !loaded_ || CheckInputs<Source>(inputs_, errors);
}

void InfiltrationForm::Apply(Project& project) {
    if (!loaded_ || sourceIndex_ >= project.sources.size()) return;
    Source& source = project.sources[sourceIndex_];
    const bool soakaway = soakaway_->isChecked();
    if (soakaway != source.Soakaway()) source.soakaway = soakaway ? 1 : 0;
    source.drainageSystem = drainage_->isChecked() ? 1 : 0;
    ApplyInputs(inputs_, source);
    // Beneath a soakaway the layers' conductivity is labelled saturated.
    source.ApplyNames();
}

} // namespace varnex::ui
