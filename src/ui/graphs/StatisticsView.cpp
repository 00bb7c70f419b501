#include "ui/graphs/StatisticsView.h"

#include <QClipboard>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "base/TextFormat.h"
#include "model/Project.h"
#include "settings/Translate.h"
#include "ui/common/CopyAction.h"
#include "ui/common/QtText.h"
#include "ui/graphs/GraphBuilder.h"

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

// A tool window of the main window: it stays above it while the user works
// there.
StatisticsView::StatisticsView(const Project& project, QWidget* parent)
    : QWidget(parent, Qt::Tool), project_(project) {
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
    for (QComboBox* box :
         {resultBox_, sourceBox_, receptorBox_, contaminantBox_, timeBox_, measuredAtBox_})
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
    for (int kind = 0; kind < StatisticsKind::count; ++kind)
        resultBox_->addItem(Tr(StatisticsKind::Caption(kind)), kind);
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
        timeBox_->addItem(ToQString(FormatText("%.0lf", {project_.timeSlices[k]})),
                          static_cast<int>(k));
    // Every slice side by side shows how the plume arrives and passes.
    if (project_.timeSlices.size() > 1) timeBox_->addItem(Tr("All"), allTimeSlices);
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
            measuredAtBox_->addItem(
                ToQString(StatisticsTable::PathwayEntry(chosen.pathways[p].name)),
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
    receptorBox_->setEnabled(choice_.measuredAt == MeasuredAt::receptor &&
                             receptorBox_->count() > 0);
    ShowLines();
}

void StatisticsView::ShowLines() {
    // "All" stands for a column per time slice where the result depends on
    // time; a result that does not has one column whatever the selector says.
    std::vector<int> slices;
    if (choice_.timeSlice == allTimeSlices && StatisticsKind::DependsOnTime(choice_.kind)) {
        for (std::size_t k = 0; k < project_.timeSlices.size(); ++k)
            slices.push_back(static_cast<int>(k));
    } else {
        slices.push_back(choice_.timeSlice == allTimeSlices ? 0 : choice_.timeSlice);
    }
    StatisticsChoice shown = choice_;
    shown.timeSlice = slices.front();
    QString caption = ToQString(StatisticsTable::Caption(project_, shown));
    if (slices.size() > 1) {
        // The caption names no single time; the column headings do.
        StatisticsChoice timeless = shown;
        timeless.timeSlice = -1;
        caption = ToQString(StatisticsTable::Caption(project_, timeless));
    }
    setWindowTitle(caption);

    table_->clear();
    table_->setColumnCount(1 + static_cast<int>(slices.size()));
    QStringList headings{Tr("Statistic")};
    for (std::size_t column = 0; column < slices.size(); ++column) {
        shown.timeSlice = slices[column];
        const std::vector<StatisticsLine> lines = StatisticsTable::Lines(project_, shown);
        if (column == 0) table_->setRowCount(static_cast<int>(lines.size()));
        const std::size_t k = static_cast<std::size_t>(std::max(0, slices[column]));
        headings << (k < project_.timeSlices.size()
                         ? ToQString(GraphBuilder::TimeSliceText(project_.timeSlices[k]))
                         : QString());
        for (std::size_t i = 0; i < lines.size() && static_cast<int>(i) < table_->rowCount(); ++i) {
            const int row = static_cast<int>(i);
            if (column == 0)
                table_->setItem(row, 0, new QTableWidgetItem(ToQString(lines[i].label)));
            auto* value = new QTableWidgetItem(ToQString(lines[i].value));
            value->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(row, 1 + static_cast<int>(column), value);
        }
    }
    table_->setHorizontalHeaderLabels(headings);
    table_->horizontalHeader()->setVisible(slices.size() > 1);
    table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    for (int column = 1; column < table_->columnCount(); ++column)
        table_->horizontalHeader()->setSectionResizeMode(
            column, slices.size() > 1 ? QHeaderView::ResizeToContents : QHeaderView::Stretch);
}

QString StatisticsView::ValueOf(const QString& label) const {
    for (int row = 0; row < table_->rowCount(); ++row)
        if (table_->item(row, 0) && table_->item(row, 0)->text() == label)
            return table_->item(row, 1)->text();
    return QString();
}

QString StatisticsView::CopiedText() const {
    auto selected = [this](int row) {
        for (int column = 0; column < table_->columnCount(); ++column)
            if (table_->item(row, column) && table_->item(row, column)->isSelected()) return true;
        return false;
    };
    std::vector<int> rows;
    for (int row = 0; row < table_->rowCount(); ++row)
        if (selected(row)) rows.push_back(row);
    if (rows.empty())
        for (int row = 0; row < table_->rowCount(); ++row) rows.push_back(row);
    QString text = windowTitle() + QLatin1Char('\n');
    auto line = [this](auto cell) {
        QStringList cells;
        for (int column = 0; column < table_->columnCount(); ++column) cells << cell(column);
        return cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    };
    // Several time slices: the headings say which column is which.
    if (table_->columnCount() > 2)
        text += line([this](int column) {
            const QTableWidgetItem* heading = table_->horizontalHeaderItem(column);
            return heading ? heading->text() : QString();
        });
    for (int row : rows)
        text += line([this, row](int column) {
            const QTableWidgetItem* item = table_->item(row, column);
            return item ? item->text() : QString();
        });
    return text;
}

void StatisticsView::CopyToClipboard() const {
    QGuiApplication::clipboard()->setText(CopiedText());
}

void StatisticsView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) ShowLines();
    QWidget::changeEvent(event);
}

} // namespace varnex::ui
