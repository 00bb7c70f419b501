#include "ui/forms/ContaminantInventoryForm.h"

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
#include "model/DecayChain.h"
#include "settings/Translate.h"
#include "ui/common/QtText.h"
#include "ui/common/UserPrompts.h"
#include "ui/forms/DistributionEdit.h"

namespace varnex::ui {

ContaminantInventoryForm::ContaminantInventoryForm(QWidget* parent)
    : InputForm(parent), working_(std::make_unique<Project>()) {
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("contaminantList"));
    list_->setMinimumWidth(200);
    addButton_ = new QPushButton(Tr(TranslatableText("&Add Contaminant")), this);
    addButton_->setObjectName(QStringLiteral("addContaminant"));
    deleteButton_ = new QPushButton(Tr(TranslatableText("&Delete Contaminant")), this);
    deleteButton_->setObjectName(QStringLiteral("deleteContaminant"));
    auto* left = new QVBoxLayout;
    left->addWidget(list_);
    left->addWidget(addButton_);
    left->addWidget(deleteButton_);

    auto* details = new QGroupBox(Tr(TranslatableText("Properties")), this);
    auto* form = new QFormLayout(details);
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("contaminantName"));
    LimitTextLength(name_);
    form->addRow(Tr(TranslatableText("Name")), name_);
    henryFlag_ = new QCheckBox(Tr(TranslatableText("Organic (Henry's law applies)")), this);
    henryFlag_->setObjectName(QStringLiteral("henryFlag"));
    form->addRow(henryFlag_);
    partitionFromKoc_ = new QComboBox(this);
    partitionFromKoc_->setObjectName(QStringLiteral("partitionFromKoc"));
    partitionFromKoc_->addItems({Tr(TranslatableText("Input kd")), Tr(TranslatableText("koc"))});
    form->addRow(Tr(TranslatableText("Aquifer Partition Coefficient")), partitionFromKoc_);
    inputs_ = AddInputs<Contaminant>(form, QString(), {"koc", "partitionCoefficient", "halfLife"});
    halfLifeOption_ = new QComboBox(this);
    halfLifeOption_->setObjectName(QStringLiteral("halfLifeOption"));
    halfLifeOption_->addItems(
        {Tr(TranslatableText("In Situ")), Tr(TranslatableText("Aqueous Phase"))});
    form->addRow(Tr(TranslatableText("Degradation Rate Measurement")), halfLifeOption_);
    // Decay chain: the contaminant whose degradation forms this one, and how
    // much of it per mass degraded.
    parent_ = new QComboBox(this);
    parent_->setObjectName(QStringLiteral("parent"));
    form->addRow(Tr(TranslatableText("Parent")), parent_);
    yield_ = AddInput(form, QString::fromLatin1(Contaminant::YieldField().key),
                      Contaminant::YieldField().label);
    backgroundOption_ =
        new QCheckBox(Tr(TranslatableText("Species Present as Background Concentration")), this);
    backgroundOption_->setObjectName(QStringLiteral("backgroundOption"));
    form->addRow(backgroundOption_);
    std::vector<InputField> background =
        AddInputs<Contaminant>(form, QString(), {"backgroundConcentration"});
    for (std::size_t k = 0; k < inputs_.size() && k < background.size(); ++k)
        if (background[k].edit) inputs_[k] = background[k];

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addWidget(details, 1);

    connect(name_, &QLineEdit::textEdited, this, [this](const QString& name) {
        if (QListWidgetItem* item = list_->item(shown_)) item->setText(name);
    });
    GuardSelection(
        list_, shown_, [this](QStringList& errors) { return TakeShown(errors); },
        [this](int row) { ShowContaminant(row); });
    connect(addButton_, &QPushButton::clicked, this, &ContaminantInventoryForm::AddContaminant);
    connect(deleteButton_, &QPushButton::clicked, this,
            &ContaminantInventoryForm::DeleteContaminant);
    connect(partitionFromKoc_, &QComboBox::currentIndexChanged, this,
            [this](int koc) { ShowPartitionUse(koc != 0); });
    connect(backgroundOption_, &QCheckBox::toggled, this,
            [this](bool on) { ShowBackgroundUse(on); });
    connect(parent_, &QComboBox::activated, this, [this](int row) { ChooseParent(row); });
}

ContaminantInventoryForm::~ContaminantInventoryForm() = default;

QString ContaminantInventoryForm::Title() const {
    return Tr(TranslatableText("Contaminant Inventory"));
}

void ContaminantInventoryForm::Load(const Project& project) {
    *working_ = project;
    shown_ = -1;
    ShowList();
    list_->setCurrentRow(working_->contaminants.empty() ? -1 : 0);
    if (working_->contaminants.empty()) ShowContaminant(-1);
}

void ContaminantInventoryForm::ShowList() {
    QSignalBlocker blocker(list_);
    list_->clear();
    for (const Contaminant& contaminant : working_->contaminants)
        list_->addItem(ToQString(contaminant.name));
}

void ContaminantInventoryForm::ShowContaminant(int index) {
    shown_ = index;
    const bool any = index >= 0 && index < static_cast<int>(working_->contaminants.size());
    for (QWidget* widget :
         std::initializer_list<QWidget*>{name_, henryFlag_, partitionFromKoc_, halfLifeOption_,
                                         backgroundOption_, deleteButton_, parent_})
        widget->setEnabled(any);
    for (InputField& field : inputs_)
        if (field.edit) field.edit->setEnabled(any);
    yield_.edit->setEnabled(any);
    if (!any) {
        shown_ = -1;
        parent_->clear();
        return;
    }
    const Contaminant& contaminant = working_->contaminants[static_cast<std::size_t>(index)];
    name_->setText(ToQString(contaminant.name));
    henryFlag_->setChecked(contaminant.henryFlag);
    partitionFromKoc_->setCurrentIndex(contaminant.partitionFromKoc != 0 ? 1 : 0);
    halfLifeOption_->setCurrentIndex(contaminant.halfLifeOption != 0 ? 1 : 0);
    backgroundOption_->setChecked(contaminant.backgroundOption != 0);
    LoadInputs(inputs_, contaminant);
    LoadInput(yield_, contaminant.yield);
    ShowPartitionUse(contaminant.partitionFromKoc != 0);
    ShowBackgroundUse(contaminant.backgroundOption != 0);
    ShowParentChoice(contaminant);
}

void ContaminantInventoryForm::ShowParentChoice(const Contaminant& contaminant) {
    QSignalBlocker blocker(parent_);
    parent_->clear();
    parent_->addItem(Tr(TranslatableText("None")), Contaminant::noParent);
    parentRow_ = 0;
    for (const Contaminant& other : working_->contaminants) {
        if (&other == &contaminant) continue;
        if (other.identifier == contaminant.parentIdentifier) parentRow_ = parent_->count();
        parent_->addItem(ToQString(other.name), other.identifier);
    }
    // A parent that names no contaminant (a damaged file) is shown as such,
    // so that the user sees it and the form does not drop it unasked.
    if (contaminant.parentIdentifier != Contaminant::noParent && parentRow_ == 0) {
        parentRow_ = parent_->count();
        parent_->addItem(QString::number(contaminant.parentIdentifier),
                         contaminant.parentIdentifier);
    }
    parent_->setCurrentIndex(parentRow_);
    ShowYieldUse(parentRow_ != 0);
}

void ContaminantInventoryForm::ChooseParent(int row) {
    if (shown_ < 0 || row < 0) return;
    const int identifier = parent_->itemData(row).toInt();
    const std::string refusal =
        DecayChain::ParentRefusal(*working_, static_cast<std::size_t>(shown_), identifier);
    if (!refusal.empty()) {
        Prompts().ShowError(ToQString(refusal));
        QSignalBlocker blocker(parent_);
        parent_->setCurrentIndex(parentRow_);
        return;
    }
    parentRow_ = row;
    ShowYieldUse(identifier != Contaminant::noParent);
}

void ContaminantInventoryForm::ShowYieldUse(bool withParent) {
    SetUsed(&yield_, withParent,
            TranslatableText("Used only when the contaminant has a parent: the mass of this "
                             "contaminant formed per mass of the parent degraded."));
}

void ContaminantInventoryForm::ShowPartitionUse(bool fromKoc) {
    SetUsed(FieldOf(inputs_, &Contaminant::partitionCoefficient), !fromKoc,
            TranslatableText("Not used: the partition coefficient is calculated from koc."));
}

void ContaminantInventoryForm::ShowBackgroundUse(bool on) {
    SetUsed(FieldOf(inputs_, &Contaminant::backgroundConcentration), on,
            TranslatableText("Used only when the background concentration option is on."));
}

bool ContaminantInventoryForm::TakeShown(QStringList& errors) {
    if (shown_ < 0 || shown_ >= static_cast<int>(working_->contaminants.size())) return true;
    Contaminant& contaminant = working_->contaminants[static_cast<std::size_t>(shown_)];
    const QString name = name_->text().trimmed();
    bool valid = CheckInputs<Contaminant>(inputs_, errors, name);
    if (!CheckInput(yield_, errors, name)) valid = false;
    if (name.isEmpty()) {
        errors << Tr(TranslatableText("Name must be entered"));
        valid = false;
    } else if (!CheckTextFits(name, Tr(TranslatableText("Name")), errors)) {
        valid = false;
    }
    for (std::size_t c = 0; c < working_->contaminants.size(); ++c) {
        if (static_cast<int>(c) != shown_ && ToQString(working_->contaminants[c].name) == name) {
            errors << ToQString(Translate("Duplicate contaminant name")) + QStringLiteral(": \"") +
                          name + QStringLiteral("\"");
            valid = false;
        }
    }
    if (!valid) return false;
    // koc is one value of the species wherever it occurs, so a change
    // reaches every source and pathway that computes a partition from it.
    InputField* koc = FieldOf(inputs_, &Contaminant::koc);
    if (koc && koc->edit->text() != koc->loadedText &&
        !Prompts().AskYesNo(
            Tr(TranslatableText(
                "Changing the koc value for this contaminant changes its value throughout the "
                "project.")) +
            QStringLiteral("\n") + Tr(TranslatableText("Are you sure you want to do that?")))) {
        koc->edit->setText(koc->loadedText);
    }
    contaminant.name = ToStdString(name);
    contaminant.henryFlag = henryFlag_->isChecked();
    contaminant.partitionFromKoc = partitionFromKoc_->currentIndex();
    contaminant.halfLifeOption = halfLifeOption_->currentIndex();
    contaminant.backgroundOption = backgroundOption_->isChecked() ? 1 : 0;
    const int parent = parent_->currentData().toInt();
    // A yield that comes into use takes an identity of its own.
    contaminant.parentIdentifier = parent;
    if (parent != Contaminant::noParent) contaminant.NumberYield();
    ApplyInput(yield_, contaminant.yield);
    ApplyInputs(inputs_, contaminant);
    LoadInputs(inputs_, contaminant);
    LoadInput(yield_, contaminant.yield);
    if (QListWidgetItem* item = list_->item(shown_)) item->setText(name);
    return true;
}

void ContaminantInventoryForm::AddContaminant() {
    if (!TakeOrSayWhy([this](QStringList& errors) { return TakeShown(errors); })) return;
    const std::size_t added = working_->AddContaminant();
    working_->ApplyStandards();
    ShowList();
    shown_ = -1;
    list_->setCurrentRow(static_cast<int>(added));
}

void ContaminantInventoryForm::DeleteContaminant() {
    if (shown_ < 0) return;
    const auto index = static_cast<std::size_t>(shown_);
    const Contaminant& contaminant = working_->contaminants[index];
    std::string error;
    if (contaminant.identifier <= Contaminant::largestStandardIdentifier) {
        // The engine refuses (and says why); nothing changes.
        working_->RemoveContaminant(index, error);
        Prompts().ShowError(ToQString(error));
        return;
    }
    // The contaminants formed from it lose their parent with it.
    QString question = Tr(TranslatableText("Are you sure you want to delete")) +
                       QStringLiteral(" ") + ToQString(contaminant.name) + QStringLiteral("?");
    for (std::size_t daughter : DecayChain::Daughters(*working_, index))
        question += QStringLiteral("\n") +
                    ToQString(FormatText(TranslateFormat("%s is formed from it and will have no "
                                                         "parent."),
                                         {working_->contaminants[daughter].name}));
    if (!Prompts().AskYesNo(question)) return;
    if (!working_->RemoveContaminant(index, error)) {
        Prompts().ShowError(ToQString(error));
        return;
    }
    shown_ = -1;
    ShowList();
    const int next =
        std::min(static_cast<int>(index), static_cast<int>(working_->contaminants.size()) - 1);
    list_->setCurrentRow(next);
    if (next < 0) ShowContaminant(-1);
}

bool ContaminantInventoryForm::Validate(QStringList& errors) { return TakeShown(errors); }

void ContaminantInventoryForm::Apply(Project& project) {
    project.contaminants = working_->contaminants;
    project.correlations = working_->correlations;
    for (std::size_t s = 0; s < project.sources.size() && s < working_->sources.size(); ++s)
        project.sources[s].inventory = working_->sources[s].inventory;
    project.SyncAllInventories();
}

} // namespace varnex::ui
