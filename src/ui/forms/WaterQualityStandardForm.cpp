#include "ui/forms/WaterQualityStandardForm.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "settings/Translate.h"
#include "ui/common/QtText.h"

namespace varnex::ui {

WaterQualityStandardForm::WaterQualityStandardForm(QWidget* parent)
    : InputForm(parent), working_(std::make_unique<Project>()) {
    selection_ = new QComboBox(this);
    selection_->setObjectName(QStringLiteral("standardSelection"));
    table_ = new QTableWidget(0, 3, this);
    table_->setObjectName(QStringLiteral("standardTable"));
    table_->setHorizontalHeaderLabels({Tr(TranslatableText("Contaminant")),
                                       Tr(TranslatableText("Standard [mg/l]")),
                                       Tr(TranslatableText("Status"))});
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Interactive);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setColumnWidth(0, 320);
    table_->setColumnWidth(1, 140);
    table_->setWordWrap(false);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 8);
    table_->verticalHeader()->hide();
    // Wide enough for all three columns, "Status" included.
    table_->setMinimumSize(320 + 140 + 140 + 2 * table_->frameWidth(), 300);
    auto* top = new QFormLayout;
    top->addRow(Tr(TranslatableText("Standard")), selection_);
    top->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    selection_->setMinimumWidth(360);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(table_);
    connect(selection_, &QComboBox::currentIndexChanged, this, [this] { ShowStandards(); });
}

QString WaterQualityStandardForm::Title() const {
    return Tr(TranslatableText("Water Quality Standard"));
}

void WaterQualityStandardForm::Load(const Project& project) {
    *working_ = project;
    QSignalBlocker blocker(selection_);
    selection_->clear();
    selection_->addItem(Tr(TranslatableText("No Standard")), Project::noStandardSelection);
    for (std::size_t k = 0; k < project.standardSets.size() && k < 3; ++k)
        selection_->addItem(ToQString(project.standardSets[k].name), static_cast<int>(k + 1));
    selection_->addItem(Tr(TranslatableText("User Defined")),
                        Project::userDefinedStandardSelection);
    const int found = selection_->findData(project.standardSelection);
    selection_->setCurrentIndex(found < 0 ? 0 : found);
    blocker.unblock();
    ShowStandards();
}

void WaterQualityStandardForm::ShowStandards() {
    const int chosen = selection_->currentData().toInt();
    const bool userDefined = chosen == Project::userDefinedStandardSelection;
    // The standards typed so far survive a look at another set.
    if (table_->rowCount() == static_cast<int>(working_->contaminants.size()) &&
        working_->standardSelection == Project::userDefinedStandardSelection) {
        for (int row = 0; row < table_->rowCount(); ++row) {
            bool ok = false;
            const double value = table_->item(row, 1)->text().toDouble(&ok);
            if (ok) working_->contaminants[static_cast<std::size_t>(row)].standard = value;
        }
    }
    working_->standardSelection = chosen;
    working_->ApplyStandards();
    table_->setRowCount(0);
    for (const Contaminant& contaminant : working_->contaminants) {
        const int row = table_->rowCount();
        table_->insertRow(row);
        auto* name = new QTableWidgetItem(ToQString(contaminant.name));
        name->setFlags(name->flags() & ~Qt::ItemIsEditable);
        const bool none = !userDefined && contaminant.standardStatus == Contaminant::noStandard;
        auto* value =
            new QTableWidgetItem(none ? QString() : QString::number(contaminant.standard, 'g', 10));
        if (!userDefined) value->setFlags(value->flags() & ~Qt::ItemIsEditable);
        auto* status =
            new QTableWidgetItem(none ? Tr(TranslatableText("No Standard"))
                                      : (userDefined ? Tr(TranslatableText("User Defined"))
                                                     : selection_->currentText()));
        status->setFlags(status->flags() & ~Qt::ItemIsEditable);
        table_->setItem(row, 0, name);
        table_->setItem(row, 1, value);
        table_->setItem(row, 2, status);
    }
}

bool WaterQualityStandardForm::Validate(QStringList& errors) {
    if (selection_->currentData().toInt() != Project::userDefinedStandardSelection) return true;
    bool valid = true;
    for (int row = 0; row < table_->rowCount(); ++row) {
        bool ok = false;
        const double value = table_->item(row, 1)->text().toDouble(&ok);
        if (!ok || value < 0.0) {
            errors << table_->item(row, 0)->text() + QStringLiteral(": ") +
                          Tr(TranslatableText("The standard must be a number not less than 0"));
            valid = false;
        }
    }
    return valid;
}

void WaterQualityStandardForm::Apply(Project& project) {
    const int chosen = selection_->currentData().toInt();
    if (chosen == Project::userDefinedStandardSelection) {
        for (int row = 0;
             row < table_->rowCount() && row < static_cast<int>(project.contaminants.size()); ++row)
            project.contaminants[static_cast<std::size_t>(row)].standard =
                table_->item(row, 1)->text().toDouble();
    }
    project.standardSelection = chosen;
    project.ApplyStandards();
}

} // namespace varnex::ui
