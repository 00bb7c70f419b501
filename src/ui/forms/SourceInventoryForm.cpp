#include "ui/forms/SourceInventoryForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "model/Project.h"
#include "settings/Translate.h"
#include "ui/common/QtText.h"
#include "ui/common/UserPrompts.h"
#include "ui/forms/DistributionEdit.h"

namespace varnex::ui {

SourceInventoryForm::SourceInventoryForm(std::size_t sourceIndex, QWidget* parent)
    : InputForm(parent), sourceIndex_(sourceIndex) {
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("inventoryList"));
    list_->setMinimumWidth(200);
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(Tr(TranslatableText("Contaminants present at the source")), this));
    left->addWidget(list_);

    auto* entryBox = new QGroupBox(Tr(TranslatableText("Contaminant")), this);
    auto* form = new QFormLayout(entryBox);
    measuredAs_ = new QComboBox(this);
    measuredAs_->setObjectName(QStringLiteral("measuredAs"));
    measuredAs_->addItems({Tr(TranslatableText("Measured as Total Concentration in Soil")),
                           Tr(TranslatableText("Measured as Leachable Concentrate"))});
    form->addRow(measuredAs_);
    inputs_ = AddInputs<SourceContaminant>(form);
    partitionFromKoc_ = new QCheckBox(Tr(TranslatableText("Partition Coefficient from koc")), this);
    partitionFromKoc_->setObjectName(QStringLiteral("partitionFromKoc"));
    form->addRow(partitionFromKoc_);

    auto* pathwayBox = new QGroupBox(Tr(TranslatableText("Unsaturated Pathway")), this);
    auto* pathwayForm = new QFormLayout(pathwayBox);
    pathway_ = new QComboBox(this);
    pathway_->setObjectName(QStringLiteral("pathway"));
    pathwayForm->addRow(Tr(TranslatableText("Pathway")), pathway_);
    pathwayInputs_ = AddInputs<PathwayContaminant>(pathwayForm, QStringLiteral("pathway."));
    degradationPhase_ = new QComboBox(this);
    degradationPhase_->setObjectName(QStringLiteral("degradationPhase"));
    degradationPhase_->addItems({Tr(TranslatableText("Dissolved Phase only")),
                                 Tr(TranslatableText("Dissolved and sorbed phases"))});
    pathwayForm->addRow(Tr(TranslatableText("Degrading Phase")), degradationPhase_);
    uzPartitionFromKoc_ =
        new QCheckBox(Tr(TranslatableText("UZ Partition Coefficient from koc")), this);
    uzPartitionFromKoc_->setObjectName(QStringLiteral("uzPartitionFromKoc"));
    pathwayForm->addRow(uzPartitionFromKoc_);

    auto* right = new QVBoxLayout;
    right->addWidget(entryBox);
    right->addWidget(pathwayBox);
    right->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(right, 1);

    GuardSelection(
        list_, shown_, [this](QStringList& errors) { return TakeShown(errors); },
        [this](int row) { ShowEntry(row); });
    connect(list_, &QListWidget::itemChanged, this, &SourceInventoryForm::OnItemChanged);
    GuardSelection(
        pathway_, shownPathway_, [this](QStringList& errors) { return TakePathway(errors); },
        [this](int pathway) { ShowPathway(pathway); });
    connect(measuredAs_, &QComboBox::currentIndexChanged, this, [this] { LabelConcentration(); });
}

void SourceInventoryForm::LabelConcentration() {
    InputField* field = FieldOf(inputs_, &SourceContaminant::concentration);
    if (!field) return;
    // At Level 3a the concentration is the one measured in the aquifer
    // beneath the source, whatever the measured-as choice says; otherwise
    // it is labelled in the unit of its measurement.
    if (simulationLevel_ == SimulationLevel::level3a)
        field->label->setText(Tr(TranslatableText("Aquifer Source Concentration [mg/l]")));
    else
        field->label->setText(measuredAs_->currentIndex() == 0
                                  ? Tr(TranslatableText("Concentration [mg/kg]"))
                                  : Tr(TranslatableText("Concentration [mg/l]")));
}

QString SourceInventoryForm::Title() const {
    return sourceName_.isEmpty()
               ? Tr(TranslatableText("Source Inventory"))
               : Tr(TranslatableText("Source Inventory")) + QStringLiteral(" - ") + sourceName_;
}

void SourceInventoryForm::Load(const Project& project) {
    loaded_ = sourceIndex_ < project.sources.size();
    shown_ = -1;
    shownPathway_ = -1;
    QSignalBlocker blocker(list_);
    list_->clear();
    setEnabled(loaded_);
    if (!loaded_) return;
    source_ = project.sources[sourceIndex_];
    sourceName_ = ToQString(source_.name);
    simulationLevel_ = project.simulationLevel;
    for (const SourceContaminant& entry : source_.inventory) {
        const Contaminant* contaminant = project.FindContaminant(entry.contaminant);
        auto* item = new QListWidgetItem(
            contaminant ? ToQString(contaminant->name) : QString::number(entry.contaminant), list_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(entry.active ? Qt::Checked : Qt::Unchecked);
    }
    {
        QSignalBlocker pathwayBlocker(pathway_);
        pathway_->clear();
        const std::string format = TranslateFormat("Unsaturated Pathway %d");
        for (std::size_t p = 0; p < source_.pathways.size(); ++p) {
            const std::string& name = source_.pathways[p].name;
            pathway_->addItem(name.empty() ? Tr(TranslatableText("Unsaturated Pathway")) +
                                                 QStringLiteral(" %1").arg(p + 1)
                                           : ToQString(name));
        }
    }
    blocker.unblock();
    list_->setCurrentRow(source_.inventory.empty() ? -1 : 0);
    if (source_.inventory.empty()) ShowEntry(-1);
}

void SourceInventoryForm::OnItemChanged(QListWidgetItem* item) {
    const int row = list_->row(item);
    if (row < 0 || row >= static_cast<int>(source_.inventory.size())) return;
    SourceContaminant& entry = source_.inventory[static_cast<std::size_t>(row)];
    const bool present = item->checkState() == Qt::Checked;
    if (present == entry.active) return;
    if (!present && !Prompts().AskYesNo(Tr(TranslatableText(
                        "Are you sure you want to remove this contaminant from the source?")))) {
        QSignalBlocker blocker(list_);
        item->setCheckState(Qt::Checked);
        return;
    }
    entry.active = present;
}

void SourceInventoryForm::ShowEntry(int index) {
    const bool any = index >= 0 && index < static_cast<int>(source_.inventory.size());
    shown_ = any ? index : -1;
    for (InputField& field : inputs_)
        if (field.edit) field.edit->setEnabled(any);
    for (InputField& field : pathwayInputs_)
        if (field.edit) field.edit->setEnabled(any);
    measuredAs_->setEnabled(any);
    partitionFromKoc_->setEnabled(any);
    pathway_->setEnabled(any);
    degradationPhase_->setEnabled(any);
    uzPartitionFromKoc_->setEnabled(any);
    if (!any) return;
    const SourceContaminant& entry = source_.inventory[static_cast<std::size_t>(index)];
    measuredAs_->setCurrentIndex(entry.MeasuredInSoil() ? 0 : 1);
    partitionFromKoc_->setChecked(entry.partitionFromKoc != 0);
    LoadInputs(inputs_, entry);
    LabelConcentration();
    shownPathway_ = -1;
    ShowPathway(pathway_->currentIndex() < 0 ? 0 : pathway_->currentIndex());
}

void SourceInventoryForm::ShowPathway(int pathway) {
    shownPathway_ = -1;
    if (shown_ < 0 || pathway < 0) return;
    SourceContaminant& entry = source_.inventory[static_cast<std::size_t>(shown_)];
    auto found = entry.pathwayProperties.find(pathway);
    if (found == entry.pathwayProperties.end()) return;
    shownPathway_ = pathway;
    degradationPhase_->setCurrentIndex(found->second.degradationPhase != 0 ? 1 : 0);
    uzPartitionFromKoc_->setChecked(found->second.partitionFromKoc != 0);
    LoadInputs(pathwayInputs_, found->second);
}

bool SourceInventoryForm::TakePathway(QStringList& errors) {
    if (shown_ < 0 || shownPathway_ < 0) return true;
    SourceContaminant& entry = source_.inventory[static_cast<std::size_t>(shown_)];
    auto found = entry.pathwayProperties.find(shownPathway_);
    if (found == entry.pathwayProperties.end()) return true;
    if (!CheckInputs<PathwayContaminant>(pathwayInputs_, errors, pathway_->itemText(shownPathway_)))
        return false;
    found->second.degradationPhase = degradationPhase_->currentIndex();
    found->second.partitionFromKoc = uzPartitionFromKoc_->isChecked() ? 1 : 0;
    ApplyInputs(pathwayInputs_, found->second);
    LoadInputs(pathwayInputs_, found->second);
    return true;
}

bool SourceInventoryForm::TakeShown(QStringList& errors) {
    if (shown_ < 0) return true;
    const QString owner = list_->item(shown_) ? list_->item(shown_)->text() : QString();
    bool valid = CheckInputs<SourceContaminant>(inputs_, errors, owner);
    if (!TakePathway(errors)) valid = false;
    if (!valid) return false;
    SourceContaminant& entry = source_.inventory[static_cast<std::size_t>(shown_)];
    const int measuredAs = measuredAs_->currentIndex() == 0 ? SourceContaminant::measuredInSoil : 0;
    if (measuredAs != (entry.MeasuredInSoil() ? SourceContaminant::measuredInSoil : 0))
        entry.measuredAs = measuredAs;
    entry.partitionFromKoc = partitionFromKoc_->isChecked() ? 1 : 0;
    ApplyInputs(inputs_, entry);
    entry.ApplyNames();
    LoadInputs(inputs_, entry);
    LabelConcentration();
    return true;
}

bool SourceInventoryForm::Validate(QStringList& errors) { return TakeShown(errors); }

void SourceInventoryForm::Apply(Project& project) {
    if (!loaded_ || sourceIndex_ >= project.sources.size()) return;
    project.sources[sourceIndex_].inventory = source_.inventory;
}

} // namespace varnex::ui
