#include "ui/forms/ReceptorsForm.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "settings/Translate.h"
#include "ui/common/QtText.h"
#include "ui/common/UserPrompts.h"
#include "ui/forms/TextLimitDelegate.h"

namespace varnex::ui {

namespace {

enum Column { nameColumn, xColumn, yColumn, visibleColumn, sourceColumn, columnCount };

} // namespace

ReceptorsForm::ReceptorsForm(QWidget* parent)
    : InputForm(parent), working_(std::make_unique<Project>()) {
    table_ = new QTableWidget(0, columnCount, this);
    table_->setObjectName(QStringLiteral("receptorTable"));
    table_->setHorizontalHeaderLabels(
        {Tr(TranslatableText("Name")), Tr(TranslatableText("X [m]")), Tr(TranslatableText("Y [m]")),
         Tr(TranslatableText("Visible")), Tr(TranslatableText("Source"))});
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setItemDelegateForColumn(nameColumn, new TextLimitDelegate(table_));
    // Each column at least as wide as its heading (German headings run
    // longer), and the table wide enough to show all of them, the sources
    // included, without scrolling sideways.
    const int minimumWidths[columnCount] = {220, 110, 110, 60, 160};
    const QFontMetrics headerMetrics(table_->horizontalHeader()->font());
    int total = 0;
    for (int column = 0; column < columnCount; ++column) {
        const QTableWidgetItem* heading = table_->horizontalHeaderItem(column);
        const int wanted =
            headerMetrics.horizontalAdvance(heading ? heading->text() : QString()) + 24;
        const int width = std::max(minimumWidths[column], wanted);
        table_->setColumnWidth(column, width);
        total += width;
    }
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 8);
    table_->verticalHeader()->hide();
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setMinimumSize(total + 2 * table_->frameWidth() +
                               table_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 4,
                           240);
    newName_ = new QLineEdit(this);
    newName_->setObjectName(QStringLiteral("newReceptorName"));
    LimitTextLength(newName_);
    auto* addButton = new QPushButton(Tr(TranslatableText("&Add Receptor")), this);
    addButton->setObjectName(QStringLiteral("addReceptor"));
    auto* removeButton = new QPushButton(Tr(TranslatableText("&Remove Receptor")), this);
    removeButton->setObjectName(QStringLiteral("removeReceptor"));
    auto* row = new QHBoxLayout;
    row->addWidget(newName_, 1);
    row->addWidget(addButton);
    row->addWidget(removeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    auto* form = new QFormLayout;
    form->addRow(Tr(TranslatableText("New Receptor")), row);
    layout->addLayout(form);
    connect(addButton, &QPushButton::clicked, this, &ReceptorsForm::AddReceptor);
    connect(removeButton, &QPushButton::clicked, this, &ReceptorsForm::RemoveReceptor);
}

ReceptorsForm::~ReceptorsForm() = default;

QString ReceptorsForm::Title() const { return Tr(TranslatableText("Receptor(s)")); }

void ReceptorsForm::Load(const Project& project) {
    *working_ = project;
    ShowTable();
}

void ReceptorsForm::ShowTable() {
    table_->setRowCount(0);
    for (std::size_t r = 0; r < working_->receptors.size(); ++r) {
        const Receptor& receptor = working_->receptors[r];
        const int row = table_->rowCount();
        table_->insertRow(row);
        table_->setItem(row, nameColumn, new QTableWidgetItem(ToQString(receptor.name)));
        table_->setItem(row, xColumn, new QTableWidgetItem(NumberText(receptor.x)));
        table_->setItem(row, yColumn, new QTableWidgetItem(NumberText(receptor.y)));
        auto* visible = new QTableWidgetItem;
        visible->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        visible->setCheckState(receptor.visible ? Qt::Checked : Qt::Unchecked);
        table_->setItem(row, visibleColumn, visible);
        QString owner;
        for (const Source& source : working_->sources)
            if (source.attachedReceptor == static_cast<int>(r)) owner = ToQString(source.name);
        auto* sourceItem = new QTableWidgetItem(owner);
        sourceItem->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        table_->setItem(row, sourceColumn, sourceItem);
    }
}

bool ReceptorsForm::TakeTable(QStringList& errors) {
    bool valid = true;
    QStringList names;
    for (int row = 0; row < table_->rowCount(); ++row) {
        const QString name = table_->item(row, nameColumn)->text().trimmed();
        if (name.isEmpty()) {
            errors << Tr(TranslatableText("Name must be entered"));
            valid = false;
        } else if (!CheckTextFits(name, Tr(TranslatableText("Name")), errors)) {
            valid = false;
        } else if (names.contains(name)) {
            errors << ToQString(Translate("Duplicate receptor name")) + QStringLiteral(": \"") +
                          name + QStringLiteral("\"");
            valid = false;
        }
        names << name;
        double number = 0.0;
        if (!ReadNumber(table_->item(row, xColumn)->text(), number) ||
            !ReadNumber(table_->item(row, yColumn)->text(), number)) {
            errors << name + QStringLiteral(": ") +
                          Tr(TranslatableText("The coordinates must be numbers"));
            valid = false;
        }
    }
    if (!valid) return false;
    for (int row = 0; row < table_->rowCount(); ++row) {
        Receptor& receptor = working_->receptors[static_cast<std::size_t>(row)];
        receptor.name = ToStdString(table_->item(row, nameColumn)->text().trimmed());
        TakeNumber(table_->item(row, xColumn)->text(), receptor.x);
        TakeNumber(table_->item(row, yColumn)->text(), receptor.y);
        receptor.visible = table_->item(row, visibleColumn)->checkState() == Qt::Checked;
    }
    return true;
}

void ReceptorsForm::AddReceptor() {
    if (!TakeOrSayWhy([this](QStringList& errors) { return TakeTable(errors); })) return;
    const QString name = newName_->text().trimmed();
    if (name.isEmpty()) {
        Prompts().ShowError(Tr(TranslatableText("Please enter a name")));
        return;
    }
    QStringList tooLong;
    if (!CheckTextFits(name, Tr(TranslatableText("Name")), tooLong)) {
        Prompts().ShowError(tooLong.join(QLatin1Char('\n')));
        return;
    }
    Receptor receptor;
    receptor.name = ToStdString(name);
    std::string error;
    if (!working_->AddReceptor(receptor, error)) {
        Prompts().ShowError(ToQString(error));
        return;
    }
    newName_->clear();
    ShowTable();
    table_->setCurrentCell(table_->rowCount() - 1, xColumn);
}

void ReceptorsForm::RemoveReceptor() {
    const int row = table_->currentRow();
    if (row < 0) return;
    if (!TakeOrSayWhy([this](QStringList& errors) { return TakeTable(errors); })) return;
    std::string error;
    for (const Source& source : working_->sources) {
        if (source.attachedReceptor == row) {
            // The engine refuses with its reason; nothing changes.
            working_->RemoveReceptor(static_cast<std::size_t>(row), error);
            Prompts().ShowError(ToQString(error));
            return;
        }
    }
    if (!Prompts().AskYesNo(Tr(TranslatableText("Are you sure you want to delete")) +
                            QStringLiteral(" ") +
                            ToQString(working_->receptors[static_cast<std::size_t>(row)].name) +
                            QStringLiteral("?")))
        return;
    if (!working_->RemoveReceptor(static_cast<std::size_t>(row), error)) {
        Prompts().ShowError(ToQString(error));
        return;
    }
    ShowTable();
}

bool ReceptorsForm::Validate(QStringList& errors) { return TakeTable(errors); }

void ReceptorsForm::Apply(Project& project) {
    project.receptors = working_->receptors;
    for (std::size_t s = 0; s < project.sources.size() && s < working_->sources.size(); ++s)
        project.sources[s].attachedReceptor = working_->sources[s].attachedReceptor;
}

} // namespace varnex::ui
