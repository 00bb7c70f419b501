#include "ui/forms/UnsaturatedPathwayForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/TextFormat.h"
#include "settings/Translate.h"
#include "ui/common/QtText.h"
#include "ui/common/UserPrompts.h"
#include "ui/forms/DistributionEdit.h"

namespace varnex::ui {

UnsaturatedPathwayForm::UnsaturatedPathwayForm(std::size_t sourceIndex, QWidget* parent)
    : InputForm(parent), sourceIndex_(sourceIndex), working_(std::make_unique<Project>()) {
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("pathwayList"));
    list_->setMinimumWidth(180);
    auto* addButton = new QPushButton(Tr(TranslatableText("Add Pathway")), this);
    addButton->setObjectName(QStringLiteral("addPathway"));
    removeButton_ = new QPushButton(Tr(TranslatableText("Remove Pathway")), this);
    removeButton_->setObjectName(QStringLiteral("removePathway"));
    auto* left = new QVBoxLayout;
    left->addWidget(list_);
    left->addWidget(addButton);
    left->addWidget(removeButton_);

    auto* box = new QGroupBox(Tr(TranslatableText("Layer")), this);
    auto* form = new QFormLayout(box);
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("pathwayName"));
    LimitTextLength(name_);
    form->addRow(Tr(TranslatableText("Name")), name_);
    flowModel_ = new QComboBox(this);
    flowModel_->setObjectName(QStringLiteral("flowModel"));
    flowModel_->addItems(
        {Tr(TranslatableText("Porous Medium")), Tr(TranslatableText("Dual Porosity"))});
    form->addRow(Tr(TranslatableText("Flow Model")), flowModel_);
    include_ = new QCheckBox(Tr(TranslatableText("Include in the calculation")), this);
    include_->setObjectName(QStringLiteral("include"));
    form->addRow(include_);
    inputs_ = AddInputs<UnsaturatedPathway>(form);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addWidget(box, 1);

    GuardSelection(
        list_, shown_, [this](QStringList& errors) { return TakeShown(errors); },
        [this](int row) { ShowPathway(row); });
    connect(addButton, &QPushButton::clicked, this, &UnsaturatedPathwayForm::AddPathway);
    connect(removeButton_, &QPushButton::clicked, this, &UnsaturatedPathwayForm::RemovePathway);
    connect(flowModel_, &QComboBox::currentIndexChanged, this, [this] { UpdateEnabled(); });
    // Said when the user picks the model, not when a stored dual-porosity
    // layer is shown: `activated` comes from the user's choice only.
    connect(flowModel_, &QComboBox::activated, this, [this](int choice) {
        if (choice != UnsaturatedPathway::dualPorosity) return;
        Prompts().ShowInformation(
            Tr(TranslatableText("Unsaturated Pathway")),
            Tr(TranslatableText("Multiple Unsaturated Pathway calculations are only available for "
                                "'Porous Medium' Flow Model")));
    });
}

UnsaturatedPathwayForm::~UnsaturatedPathwayForm() = default;

QString UnsaturatedPathwayForm::Title() const {
    if (!loaded_) return Tr(TranslatableText("Unsaturated Pathway"));
    return Tr(TranslatableText("Unsaturated Pathway")) + QStringLiteral(" - ") +
           ToQString(working_->sources[sourceIndex_].name);
}

void UnsaturatedPathwayForm::UpdateEnabled() {
    const bool dual = flowModel_->currentIndex() == UnsaturatedPathway::dualPorosity;
    for (auto member :
         {&UnsaturatedPathway::matrixConductivity, &UnsaturatedPathway::effectiveMatrixPorosity,
          &UnsaturatedPathway::effectiveFissurePorosity})
        SetUsed(FieldOf(inputs_, member), dual && shown_ >= 0,
                TranslatableText("Used only by the Dual Porosity flow model."));
}

void UnsaturatedPathwayForm::Load(const Project& project) {
    loaded_ = sourceIndex_ < project.sources.size();
    setEnabled(loaded_);
    if (!loaded_) return;
    *working_ = project;
    shown_ = -1;
    ShowList();
    list_->setCurrentRow(0);
}

void UnsaturatedPathwayForm::ShowList() {
    QSignalBlocker blocker(list_);
    list_->clear();
    const Source& source = working_->sources[sourceIndex_];
    for (std::size_t p = 0; p < source.pathways.size(); ++p) {
        const std::string& name = source.pathways[p].name;
        list_->addItem(name.empty() ? Tr(TranslatableText("Unsaturated Pathway")) +
                                          QStringLiteral(" %1").arg(p + 1)
                                    : ToQString(name));
    }
}

void UnsaturatedPathwayForm::ShowPathway(int index) {
    const Source& source = working_->sources[sourceIndex_];
    shown_ = index >= 0 && index < static_cast<int>(source.pathways.size()) ? index : -1;
    if (shown_ < 0) return;
    const UnsaturatedPathway& pathway = source.pathways[static_cast<std::size_t>(shown_)];
    name_->setText(ToQString(pathway.name));
    flowModel_->setCurrentIndex(pathway.DualPorosity() ? 1 : 0);
    include_->setChecked(pathway.include);
    LoadInputs(inputs_, pathway);
    removeButton_->setEnabled(source.pathways.size() > 1);
    UpdateEnabled();
}

bool UnsaturatedPathwayForm::TakeShown(QStringList& errors) {
    if (!loaded_ || shown_ < 0) return true;
    UnsaturatedPathway& pathway =
        working_->sources[sourceIndex_].pathways[static_cast<std::size_t>(shown_)];
    bool valid = CheckInputs<UnsaturatedPathway>(inputs_, errors, list_->item(shown_)->text());
    if (!CheckTextFits(name_->text().trimmed(), Tr(TranslatableText("Name")), errors))
        valid = false;
    if (!valid) return false;
    pathway.name = ToStdString(name_->text().trimmed());
    pathway.flowModel = flowModel_->currentIndex();
    pathway.include = include_->isChecked();
    ApplyInputs(inputs_, pathway);
    LoadInputs(inputs_, pathway);
    if (!pathway.name.empty()) list_->item(shown_)->setText(ToQString(pathway.name));
    return true;
}

void UnsaturatedPathwayForm::AddPathway() {
    if (!TakeOrSayWhy([this](QStringList& errors) { return TakeShown(errors); })) return;
    working_->AddPathway(sourceIndex_);
    working_->sources[sourceIndex_].ApplyNames();
    shown_ = -1;
    ShowList();
    list_->setCurrentRow(list_->count() - 1);
}

void UnsaturatedPathwayForm::RemovePathway() {
    if (shown_ < 0) return;
    const QString name = list_->item(shown_)->text();
    if (!Prompts().AskYesNo(ToQString(
            FormatText(TranslateFormat("Are you sure you want to remove Unsaturated Pathway: %s"),
                       {ToStdString(name)}))))
        return;
    std::string error;
    if (!working_->RemovePathway(sourceIndex_, static_cast<std::size_t>(shown_), error)) {
        Prompts().ShowError(ToQString(error));
        return;
    }
    const int next = std::max(0, shown_ - 1);
    shown_ = -1;
    ShowList();
    list_->setCurrentRow(next);
}

bool UnsaturatedPathwayForm::Validate(QStringList& errors) { return TakeShown(errors); }

void UnsaturatedPathwayForm::Apply(Project& project) {
    if (!loaded_ || sourceIndex_ >= project.sources.size()) return;
    Source& source = project.sources[sourceIndex_];
    const Source& edited = working_->sources[sourceIndex_];
    source.pathways = edited.pathways;
    source.inventory = edited.inventory;
    project.correlations = working_->correlations;
    source.ApplyNames();
}

} // namespace varnex::ui
