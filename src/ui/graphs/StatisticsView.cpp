#include "ui/graphs/StatisticsView.h"

#include <algorithm>

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QEvent>
#include <QFormLayout>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "model/Project.h"
#include "base/TextFormat.h"
#include "settings/Translate.h"
#include "ui/common/CopyAction.h"
#include "ui/common/QtText.h"

namespace varnex::ui {

namespace {

QString Tr(const char* english) { return ToQString(Translate(english)); }

void SelectData(QComboBox* box, int data) {
    const int found = box->findData(data);
    if (found >= 0)
        box->setCurrentIndex(found);
    else if (box->count() > 0)
        box->setCurrentIndex(0);
}

int CurrentData(const QComboBox* box, int fallback) {
    return box->currentIndex() >= 0 ? box->currentData().toInt() : fallback;
}

} // namespace

StatisticsView::StatisticsView(const Project& project, QWidget* parent) : QWidget(parent, Qt::Window), project_(project) {
    resultBox_ = new QComboBox(this);
    sourceBox_ = new QComboBox(this);
    receptorBox_ = new QComboBox(this);
    contaminantBox_ = new QComboBox(this);
    timeBox_ = new QComboBox(this);
    measuredAtBox_ = new QComboBox(this);
    auto* form = new QFormLayout;
    form->addRow(Tr("Result"), resultBox_);
    form->addRow(Tr("Source"), sourceBox_);
    form->addRow(Tr("Receptor"), receptorBox_);
    form->addRow(Tr("Contaminant"), contaminantBox_);
    form->addRow(Tr("Time [years]"), timeBox_);
    form->addRow(Tr("Measured At"), measuredAtBox_);
    for (QComboBox* box : {resultBox_, sourceBox_, receptorBox_, contaminantBox_, timeBox_, measuredAtBox_})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { OnSelectionChanged(); });

    table_ = new QTableWidget(0, 2, this);
    table_->horizontalHeader()->hide();
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 8);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    AddCopyAction(this, table_, [this] { CopyToClipboard(); });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(table_, 1);
    resize(560, 640);
    RefreshFromProject();
}

void StatisticsView::RefreshFromProject() {
    FillSelectors();
    OnSelectionChanged();
}

void StatisticsView::FillSelectors() {
    filling_ = true;
    resultBox_->clear();
    for (int kind = 0; kind < StatisticsKind::count; ++kind) resultBox_->addItem(Tr(StatisticsKind::Caption(kind)), kind);
    SelectData(resultBox_, choice_.kind);

    sourceBox_->clear();
    sourceBox_->addItem(Tr("<Total>"), ResultLocation::total);
    for (std::size_t s = 0; s < project_.sources.size(); ++s)
        sourceBox_->addItem(ToQString(project_.sources[s].name), static_cast<int>(s));
    SelectData(sourceBox_, choice_.source);

    receptorBox_->clear();
    for (std::size_t r = 0; r < project_.receptors.size(); ++r)
        receptorBox_->addItem(ToQString(project_.receptors[r].name), static_cast<int>(r));
    SelectData(receptorBox_, choice_.receptor);

    contaminantBox_->clear();
    for (std::size_t c = 0; c < project_.contaminants.size(); ++c)
        contaminantBox_->addItem(ToQString(project_.contaminants[c].name), static_cast<int>(c));
    SelectData(contaminantBox_, choice_.contaminant);

    timeBox_->clear();
    for (std::size_t k = 0; k < project_.timeSlices.size(); ++k)
        timeBox_->addItem(ToQString(FormatText("%.0lf", {project_.timeSlices[k]})), static_cast<int>(k));
    SelectData(timeBox_, choice_.timeSlice);
    FillMeasuredAt();
    filling_ = false;
}

void StatisticsView::FillMeasuredAt() {
    const int previous = CurrentData(measuredAtBox_, choice_.measuredAt);
    const bool wasFilling = filling_;
    filling_ = true;
    measuredAtBox_->clear();
    measuredAtBox_->addItem(Tr("Receptor"), MeasuredAt::receptor);
    measuredAtBox_->addItem(Tr("Source"), MeasuredAt::source);
    const int source = CurrentData(sourceBox_, ResultLocation::total);
    if (source >= 0 && static_cast<std::size_t>(source) < project_.sources.size()) {
        const Source& chosen = project_.sources[static_cast<std::size_t>(source)];
        for (std::size_t p = 0; p < chosen.pathways.size(); ++p)
            measuredAtBox_->addItem(ToQString(StatisticsTable::PathwayEntry(chosen.pathways[p].name)),
                                    MeasuredAt::firstPathway + static_cast<int>(p));
    }
    SelectData(measuredAtBox_, previous);
    filling_ = wasFilling;
}

void StatisticsView::OnSelectionChanged() {
    if (filling_) return;
    if (sender() == sourceBox_) FillMeasuredAt();
    choice_.kind = CurrentData(resultBox_, choice_.kind);
    choice_.source = CurrentData(sourceBox_, choice_.source);
    choice_.receptor = CurrentData(receptorBox_, choice_.receptor);
    choice_.contaminant = CurrentData(contaminantBox_, choice_.contaminant);
    choice_.timeSlice = CurrentData(timeBox_, choice_.timeSlice);
    choice_.measuredAt = CurrentData(measuredAtBox_, choice_.measuredAt);
    timeBox_->setEnabled(StatisticsKind::DependsOnTime(choice_.kind));
    contaminantBox_->setEnabled(choice_.kind != StatisticsKind::aquiferFlow);
    receptorBox_->setEnabled(choice_.measuredAt == MeasuredAt::receptor && receptorBox_->count() > 0);
    ShowLines();
}

void StatisticsView::ShowLines() {
    setWindowTitle(ToQString(StatisticsTable::Caption(project_, choice_)));
    const std::vector<StatisticsLine> lines = StatisticsTable::Lines(project_, choice_);
    table_->setRowCount(static_cast<int>(lines.size()));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int row = static_cast<int>(i);
        table_->setItem(row, 0, new QTableWidgetItem(ToQString(lines[i].label)));
        auto* value = new QTableWidgetItem(ToQString(lines[i].value));
        value->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table_->setItem(row, 1, value);
    }
}

QString StatisticsView::ValueOf(const QString& label) const {
    for (int row = 0; row < table_->rowCount(); ++row)
        if (table_->item(row, 0) && table_->item(row, 0)->text() == label) return table_->item(row, 1)->text();
    return QString();
}

QString StatisticsView::CopiedText() const {
    std::vector<int> rows;
    for (int row = 0; row < table_->rowCount(); ++row) {
        const bool selected = (table_->item(row, 0) && table_->item(row, 0)->isSelected()) ||
                              (table_->item(row, 1) && table_->item(row, 1)->isSelected());
        if (selected) rows.push_back(row);
    }
    if (rows.empty())
        for (int row = 0; row < table_->rowCount(); ++row) rows.push_back(row);
    QString text = windowTitle() + QLatin1Char('\n');
    for (int row : rows) {
        const QTableWidgetItem* label = table_->item(row, 0);
        const QTableWidgetItem* value = table_->item(row, 1);
        text += (label ? label->text() : QString()) + QLatin1Char('\t') + (value ? value->text() : QString()) +
                QLatin1Char('\n');
    }
    return text;
}

void StatisticsView::CopyToClipboard() const { QGuiApplication::clipboard()->setText(CopiedText()); }

void StatisticsView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) ShowLines();
    QWidget::changeEvent(event);
}

} // namespace varnex::ui
