#include "ui/forms/InputCorrelationsDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cmath>
#include <set>

#include "base/NumberText.h"
#include "base/TextFormat.h"
#include "model/ParameterField.h"
#include "model/Project.h"
#include "model/RunInputs.h"
#include "settings/Translate.h"
#include "ui/common/QtText.h"
#include "ui/common/UserPrompts.h"

namespace varnex::ui {

namespace {

constexpr int idRole = Qt::UserRole;

bool SameRecords(const CorrelationList& a, const CorrelationList& b) {
    if (a.Count() != b.Count()) return false;
    auto i = a.begin();
    for (auto j = b.begin(); j != b.end(); ++i, ++j) {
        const Correlation& x = i->second;
        const Correlation& y = j->second;
        if (x.name != y.name || x.referenceParameter != y.referenceParameter ||
            x.correlatedParameter != y.correlatedParameter || x.value != y.value)
            return false;
    }
    return true;
}

} // namespace

std::vector<InputCorrelationsDialog::Input>
InputCorrelationsDialog::ProjectInputs(Project& project) {
    std::set<std::int32_t> used;
    for (StochasticParameter* parameter : RunInputs(project).All()) used.insert(parameter->id);
    std::vector<Input> inputs;
    auto add = [&](const std::vector<StochasticParameter*>& parameters,
                   std::initializer_list<std::string> owners) {
        for (StochasticParameter* parameter : parameters) {
            std::vector<std::string> parts(owners);
            parts.push_back(parameter->Label());
            std::string text;
            for (const std::string& part : parts) {
                if (part.empty()) continue;
                if (!text.empty()) text += " - ";
                text += part;
            }
            inputs.push_back({parameter->id, ToQString(text), used.count(parameter->id) > 0});
        }
    };
    auto contaminantName = [&](int identifier) {
        const Contaminant* contaminant = project.FindContaminant(identifier);
        return contaminant ? contaminant->name : std::string();
    };
    for (Source& source : project.sources) {
        add(ParametersOf(source), {source.name});
        for (UnsaturatedPathway& pathway : source.pathways)
            add(ParametersOf(pathway), {source.name, pathway.name});
        for (SourceContaminant& entry : source.inventory) {
            const std::string contaminant = contaminantName(entry.contaminant);
            add(ParametersOf(entry), {source.name, contaminant});
            for (auto& [index, record] : entry.pathwayProperties) {
                const std::string pathway =
                    index >= 0 && index < static_cast<int>(source.pathways.size())
                        ? source.pathways[static_cast<std::size_t>(index)].name
                        : std::string();
                add(ParametersOf(record), {source.name, pathway, contaminant});
            }
        }
    }
    add(ParametersOf(project.aquifer), {Translate("Aquifer")});
    for (Contaminant& contaminant : project.contaminants)
        add(ParametersOf(contaminant), {contaminant.name});
    return inputs;
}

InputCorrelationsDialog::InputCorrelationsDialog(Project& project, UserPrompts& prompts,
                                                 QWidget* parent)
    : QDialog(parent), original_(project.correlations), correlations_(project.correlations),
      inputs_(ProjectInputs(project)), prompts_(prompts) {
    setWindowTitle(ToQString(Translate("Input Correlations")));

    auto* listGroup = new QGroupBox(ToQString(Translate("List of Defined Correlations")), this);
    records_ = new QTreeWidget(listGroup);
    records_->setRootIsDecorated(false);
    records_->setAllColumnsShowFocus(true);
    records_->setSelectionMode(QAbstractItemView::SingleSelection);
    records_->setHeaderLabels(
        {ToQString(Translate("Correlation name")), ToQString(Translate("Correlated Parameter")),
         ToQString(Translate("Parameter Correlated To")), ToQString(Translate("Value"))});
    records_->header()->setStretchLastSection(false);
    records_->header()->setSectionResizeMode(0, QHeaderView::Interactive);
    records_->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    records_->header()->setSectionResizeMode(2, QHeaderView::Stretch);
    records_->header()->setSectionResizeMode(3, QHeaderView::ResizeToContents);
    records_->setColumnWidth(0, 200);
    records_->setMinimumHeight(150);
    auto* listLayout = new QVBoxLayout(listGroup);
    listLayout->addWidget(records_);

    // Only the inputs a run at this level samples are offered: a
    // correlation of any other would never be applied.
    correlatedBox_ = new QComboBox(this);
    referenceBox_ = new QComboBox(this);
    for (QComboBox* box : {correlatedBox_, referenceBox_}) {
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(40);
        for (const Input& input : inputs_)
            if (input.used) box->addItem(input.name, input.id);
    }
    valueEntry_ = new QLineEdit(QStringLiteral("0"), this);
    valueEntry_->setMaximumWidth(120);
    nameEntry_ = new QLineEdit(ToQString(Correlation().name), this);

    auto* form = new QFormLayout;
    form->addRow(ToQString(Translate("Correlated Parameter")), correlatedBox_);
    form->addRow(ToQString(Translate("Parameter Correlated To")), referenceBox_);
    form->addRow(ToQString(Translate("Value")), valueEntry_);
    form->addRow(ToQString(Translate("Correlation name")), nameEntry_);

    correlateButton_ = new QPushButton(ToQString(Translate("Correlate")), this);
    removeButton_ = new QPushButton(ToQString(Translate("Remove Correlation")), this);
    correlateButton_->setAutoDefault(false);
    removeButton_->setAutoDefault(false);
    correlateButton_->setEnabled(correlatedBox_->count() > 1);
    removeButton_->setEnabled(false);
    auto* editButtons = new QHBoxLayout;
    editButtons->addStretch(1);
    editButtons->addWidget(correlateButton_);
    editButtons->addWidget(removeButton_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(ToQString(Translate("OK")));
    buttons->button(QDialogButtonBox::Cancel)->setText(ToQString(Translate("Cancel")));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(correlateButton_, &QPushButton::clicked, this, [this] { Correlate(); });
    connect(removeButton_, &QPushButton::clicked, this, [this] { RemoveSelected(); });
    connect(records_, &QTreeWidget::itemSelectionChanged, this,
            &InputCorrelationsDialog::OnRecordSelected);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(listGroup, 1);
    layout->addLayout(form);
    layout->addLayout(editButtons);
    layout->addSpacing(6);
    layout->addWidget(buttons);
    resize(760, 480);

    ShowRecords(0);
}

bool InputCorrelationsDialog::Changed() const { return !SameRecords(original_, correlations_); }

bool InputCorrelationsDialog::ChooseInput(QComboBox* box, std::int32_t id) {
    const int index = box->findData(id);
    if (index < 0) return false;
    box->setCurrentIndex(index);
    return true;
}

QString InputCorrelationsDialog::InputName(std::int32_t id) const { return NameAmong(inputs_, id); }

QString InputCorrelationsDialog::NameAmong(const std::vector<Input>& inputs, std::int32_t id) {
    for (const Input& input : inputs) {
        if (input.id != id) continue;
        if (input.used) return input.name;
        return input.name + QLatin1Char(' ') + ToQString(Translate("(not used at this level)"));
    }
    return ToQString(FormatText(TranslateFormat("(input %d no longer in the project)"),
                                {static_cast<long long>(id)}));
}

std::int32_t InputCorrelationsDialog::SelectedReference() const {
    const QList<QTreeWidgetItem*> selected = records_->selectedItems();
    if (selected.isEmpty()) return 0;
    return selected.first()->data(0, idRole).toInt();
}

void InputCorrelationsDialog::ShowRecords(std::int32_t selectReference) {
    records_->clear();
    for (const auto& [reference, record] : correlations_) {
        auto* item = new QTreeWidgetItem(records_);
        item->setText(0, ToQString(record.name));
        item->setText(1, InputName(record.correlatedParameter));
        item->setText(2, InputName(record.referenceParameter));
        item->setText(3, ToQString(FormatG(record.value)));
        item->setData(0, idRole, reference);
        item->setToolTip(1, item->text(1));
        item->setToolTip(2, item->text(2));
        if (reference == selectReference) records_->setCurrentItem(item);
    }
    removeButton_->setEnabled(!records_->selectedItems().isEmpty());
}

void InputCorrelationsDialog::OnRecordSelected() {
    const std::int32_t reference = SelectedReference();
    removeButton_->setEnabled(reference != 0);
    const auto found = correlations_.Entries().find(reference);
    if (found == correlations_.Entries().end()) return;
    const Correlation& record = found->second;
    ChooseInput(correlatedBox_, record.correlatedParameter);
    ChooseInput(referenceBox_, record.referenceParameter);
    valueEntry_->setText(ToQString(FormatG(record.value)));
    nameEntry_->setText(ToQString(record.name));
}

bool InputCorrelationsDialog::Correlate() {
    if (correlatedBox_->currentIndex() < 0 || referenceBox_->currentIndex() < 0) return false;
    Correlation record;
    record.correlatedParameter = correlatedBox_->currentData().toInt();
    record.referenceParameter = referenceBox_->currentData().toInt();
    if (record.correlatedParameter == record.referenceParameter) {
        prompts_.ShowError(ToQString(Translate("A parameter cannot be correlated with itself")));
        return false;
    }
    std::string valueText = ToStdString(valueEntry_->text().trimmed());
    double value = 0.0;
    if (!ParseWholeNumber(valueText, value) || !(value >= -1.0 && value <= 1.0)) {
        prompts_.ShowError(
            ToQString(Translate("The correlation value must be a number from -1 to 1")));
        valueEntry_->setFocus();
        valueEntry_->selectAll();
        return false;
    }
    record.value = value;
    const QString name = nameEntry_->text().trimmed();
    if (!name.isEmpty()) record.name = ToStdString(name);

    // One record per "Parameter Correlated To": a second pair with the same
    // one replaces the first, so the user is asked unless they are editing
    // that very record.
    const auto existing = correlations_.Entries().find(record.referenceParameter);
    if (existing != correlations_.Entries().end() &&
        SelectedReference() != record.referenceParameter &&
        existing->second.correlatedParameter != record.correlatedParameter) {
        const QString question = ToQString(FormatText(
            TranslateFormat(
                "%s is already the parameter correlated to in '%s'. Replace that correlation?"),
            {ToStdString(InputName(record.referenceParameter)), existing->second.name}));
        if (!prompts_.AskYesNo(question)) return false;
    }
    if (!correlations_.Add(record)) {
        prompts_.ShowError(
            ToQString(Translate("The correlation value must be a number from -1 to 1")));
        return false;
    }
    ShowRecords(record.referenceParameter);
    return true;
}

bool InputCorrelationsDialog::RemoveSelected() {
    const std::int32_t reference = SelectedReference();
    if (reference == 0 || correlations_.Entries().count(reference) == 0) return false;
    correlations_.Remove(reference);
    ShowRecords(0);
    return true;
}

} // namespace varnex::ui
