#include "ui/graphs/SensitivityDialog.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QCursor>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QResizeEvent>
#include <QSplitter>
#include <QTextDocumentFragment>
#include <QToolTip>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "analysis/SensitivityAnalysis.h"
#include "analysis/SensitivityChoices.h"
#include "analysis/SensitivityDialogTexts.h"
#include "base/NumberText.h"
#include "base/TextFormat.h"
#include "model/Project.h"
#include "settings/Translate.h"
#include "ui/common/CopyAction.h"
#include "ui/common/QtText.h"
#include "ui/graphs/SensitivityLabels.h"

namespace varnex::ui {

namespace {

constexpr std::size_t tornadoBars = 10;

QString Tr(const char* english) { return ToQString(Translate(english)); }

// A choice's data: the result chooser packs code and time slice, the
// selectors carry the entity index.
int PackResult(int code, int timeSlice) { return code * 100000 + (timeSlice + 1); }
int ResultCode(int packed) { return packed / 100000; }
int ResultTimeSlice(int packed) { return packed % 100000 - 1; }

// Refills a selector and keeps its previous position, as far as the new
// entries reach.
void Refill(QComboBox* box, const SensitivitySelector& selector) {
    const int previous = box->currentIndex();
    box->clear();
    for (const SensitivityChoice& choice : selector.choices)
        box->addItem(ToQString(choice.text), choice.index);
    if (box->count() > 0) box->setCurrentIndex(std::clamp(previous, 0, box->count() - 1));
    box->setEnabled(selector.enabled && box->count() > 0);
}

// The widest a bar's label may be before it is shortened at its end.
constexpr int tornadoLabelWidth = 280;

// A bar's label: its rank in the list (which also keeps equal labels of
// different receptors apart, as the category axis needs), where the result
// was taken and, on a line of its own, the input. Each line is shortened at
// its end: the part that tells the bars apart comes first. The chart draws
// its labels as rich text.
QString BarLabel(int rank, const QString& place, const QString& input, const QFont& font) {
    const QFontMetrics metrics(font);
    const QString first = QStringLiteral("%1. %2").arg(rank).arg(place.isEmpty() ? input : place);
    QString label = metrics.elidedText(first, Qt::ElideRight, tornadoLabelWidth).toHtmlEscaped();
    if (!place.isEmpty())
        label += QStringLiteral("<br>") +
                 metrics.elidedText(input, Qt::ElideRight, tornadoLabelWidth).toHtmlEscaped();
    return label;
}

} // namespace

SensitivityDialog::SensitivityDialog(Project& project, QWidget* parent)
    : QDialog(parent), project_(project) {
    setWindowTitle(Tr(SensitivityDialogTexts::title));
    resultBox_ = new QComboBox(this);
    sourceBox_ = new QComboBox(this);
    receptorBox_ = new QComboBox(this);
    pathwayBox_ = new QComboBox(this);
    contaminantBox_ = new QComboBox(this);
    individualBox_ = new QCheckBox(Tr(SensitivityDialogTexts::individualContaminant), this);
    firstTenBox_ = new QCheckBox(Tr(SensitivityDialogTexts::firstTenOnly), this);
    excludeZeroBox_ = new QCheckBox(Tr(SensitivityDialogTexts::excludeZero), this);
    rankBox_ = new QCheckBox(Tr(SensitivityDialogTexts::rankCorrelation), this);
    excludeZeroBox_->setChecked(true);

    for (const SensitivityChoice& choice : ResultChoices(project_))
        resultBox_->addItem(ToQString(choice.text), PackResult(choice.code, choice.index));
    for (const Contaminant& contaminant : project_.contaminants)
        contaminantBox_->addItem(ToQString(contaminant.name));
    contaminantBox_->setEnabled(false);
    filling_ = true;
    Refill(sourceBox_, varnex::SourceSelector(project_));
    filling_ = false;

    list_ = new QTreeWidget(this);
    list_->setColumnCount(2);
    list_->setHeaderLabels(
        {Tr(SensitivityDialogTexts::inputColumn), Tr(SensitivityDialogTexts::sensitivityColumn)});
    list_->setRootIsDecorated(false);
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    list_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    list_->setMinimumWidth(420);
    list_->setTextElideMode(Qt::ElideRight);
    // Rows of two lines read apart better on alternating ground.
    list_->setAlternatingRowColors(true);
    AddCopyAction(this, list_, [this] { CopyToClipboard(); });
    context_ = new QLabel(this);
    context_->setWordWrap(true);
    context_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    chartView_ = new QChartView(this);
    chartView_->setRenderHint(QPainter::Antialiasing);
    chartView_->setMinimumWidth(420);
    chartView_->installEventFilter(this);
    chartView_->setBackgroundBrush(Qt::white);

    auto* form = new QFormLayout;
    form->addRow(Tr(SensitivityDialogTexts::resultChooser), resultBox_);
    form->addRow(Tr(SensitivityDialogTexts::sourceSelector), sourceBox_);
    form->addRow(Tr(SensitivityDialogTexts::receptorSelector), receptorBox_);
    form->addRow(Tr(SensitivityDialogTexts::pathwaySelector), pathwayBox_);
    form->addRow(individualBox_, contaminantBox_);
    auto* options = new QHBoxLayout;
    options->addWidget(firstTenBox_);
    options->addWidget(excludeZeroBox_);
    options->addWidget(rankBox_);
    options->addStretch();

    // The user may give the list or the chart more room; the chart starts
    // with the larger share, as its labels need a column of their own.
    auto* results = new QSplitter(Qt::Horizontal, this);
    results->addWidget(list_);
    results->addWidget(chartView_);
    results->setStretchFactor(0, 4);
    results->setStretchFactor(1, 5);
    results->setChildrenCollapsible(false);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(Tr("Close"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(options);
    layout->addWidget(context_);
    layout->addWidget(results, 1);
    layout->addWidget(buttons);
    resize(1180, 660);

    for (QComboBox* box : {resultBox_, sourceBox_, receptorBox_, pathwayBox_, contaminantBox_})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { OnChange(); });
    for (QCheckBox* box : {firstTenBox_, excludeZeroBox_, rankBox_})
        connect(box, &QCheckBox::toggled, this, [this] { OnChange(); });
    connect(individualBox_, &QCheckBox::toggled, this, [this](bool on) {
        contaminantBox_->setEnabled(on);
        OnChange();
    });
    OnChange();
}

SensitivitySelection SensitivityDialog::Selection() const {
    SensitivitySelection selection;
    const int packed =
        resultBox_->currentIndex() >= 0 ? resultBox_->currentData().toInt() : PackResult(0, -1);
    selection.result = ResultCode(packed);
    selection.timeSlice = std::max(0, ResultTimeSlice(packed));
    selection.source = sourceBox_->currentIndex() >= 0 ? sourceBox_->currentData().toInt()
                                                       : SensitivitySelection::all;
    selection.receptor = receptorBox_->isEnabled() && receptorBox_->currentIndex() >= 0
                             ? receptorBox_->currentData().toInt()
                             : SensitivitySelection::all;
    selection.pathway = pathwayBox_->isEnabled() && pathwayBox_->currentIndex() >= 0
                            ? pathwayBox_->currentData().toInt()
                            : SensitivitySelection::all;
    selection.contaminant = individualBox_->isChecked() && contaminantBox_->currentIndex() >= 0
                                ? contaminantBox_->currentIndex()
                                : SensitivitySelection::all;
    selection.rank = rankBox_->isChecked();
    return selection;
}

void SensitivityDialog::OnChange() {
    if (filling_) return;
    RefreshSelectors();
    Recompute();
}

void SensitivityDialog::RefreshSelectors() {
    filling_ = true;
    const SensitivitySelection selection = Selection();
    Refill(receptorBox_, varnex::ReceptorSelector(project_, selection.result));
    Refill(pathwayBox_, varnex::PathwaySelector(project_, selection.source, selection.result));
    filling_ = false;
}

void SensitivityDialog::Recompute() {
    // The rank coefficient sorts every input's samples: thousands of
    // iterations take a while.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::vector<SensitivityEntry> entries = ComputeEntries(project_, Selection());
    rows_ = varnex::FillList(entries, firstTenBox_->isChecked(), excludeZeroBox_->isChecked());
    QApplication::restoreOverrideCursor();
    FillList();
    DrawTornado();
}

void SensitivityDialog::FillList() {
    list_->clear();
    labels_ = SensitivityLabels::Of(rows_);
    context_->setText(labels_.common.isEmpty()
                          ? QString()
                          : ToQString(FormatText(TranslateFormat("Inputs for: %s"),
                                                 {ToStdString(labels_.common)})));
    context_->setVisible(!labels_.common.isEmpty());
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const SensitivityRow& row = rows_[i];
        // Two lines as on the chart: where, then the input.
        auto* item = new QTreeWidgetItem(
            list_, {labels_.Row(static_cast<int>(i), QStringLiteral("\n")), ToQString(row.text)});
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        // The whole label, as the command-line tool prints it, on hover
        // and in the copied text.
        item->setData(0, fullLabelRole, ToQString(row.label));
        item->setToolTip(0, ToQString(row.label));
    }
}

QString SensitivityDialog::CopiedText() const {
    // Which result the coefficients belong to, as the selectors show it, so
    // that a pasted table still says what it ranks.
    QStringList chosen;
    for (const QComboBox* box : {resultBox_, sourceBox_, receptorBox_, pathwayBox_})
        if (box->isEnabled() && box->currentIndex() >= 0) chosen << box->currentText();
    if (individualBox_->isChecked() && contaminantBox_->currentIndex() >= 0)
        chosen << contaminantBox_->currentText();
    QString text = chosen.join(QStringLiteral(" - ")) + QLatin1Char('\n');
    text += list_->headerItem()->text(0) + QLatin1Char('\t') + list_->headerItem()->text(1) +
            QLatin1Char('\n');
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list_->topLevelItem(i);
        text += item->data(0, fullLabelRole).toString() + QLatin1Char('\t') + item->text(1) +
                QLatin1Char('\n');
    }
    return text;
}

void SensitivityDialog::CopyToClipboard() const {
    QApplication::clipboard()->setText(CopiedText());
}

bool SensitivityDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == chartView_ && event->type() == QEvent::Resize)
        PlaceTornado(static_cast<QResizeEvent*>(event)->size());
    return QDialog::eventFilter(watched, event);
}

void SensitivityDialog::PlaceTornado(const QSize& size) {
    QChart* chart = chartView_->chart();
    if (!chart || labelColumn_ <= 0) return;
    // The plot starts right of the widest label, so that no label is cut
    // and no room is wasted; the bars keep at least a third of the width.
    const int left = std::min(labelColumn_ + 14, size.width() * 2 / 3);
    const int top = QFontMetrics(chart->titleFont()).height() + 16;
    const int bottom = QFontMetrics(chart->axes(Qt::Horizontal).isEmpty()
                                        ? chart->font()
                                        : chart->axes(Qt::Horizontal).front()->labelsFont())
                           .height() +
                       18;
    chart->setPlotArea(QRectF(left, top, std::max(40, size.width() - left - 24),
                              std::max(40, size.height() - top - bottom)));
}

void SensitivityDialog::DrawTornado() {
    auto* chart = new QChart;
    chart->setTitle(Tr(rankBox_->isChecked() ? SensitivityDialogTexts::rankCorrelation
                                             : SensitivityDialogTexts::sensitivityColumn));
    chart->legend()->hide();
    chart->setMargins(QMargins(2, 2, 16, 2));
    // With the plot area placed by hand the chart's own background is not
    // laid out again; the view paints the ground instead.
    chart->setBackgroundVisible(false);
    // The ten strongest inputs, strongest on top: a horizontal bar chart
    // puts its first category at the bottom.
    auto* bars = new QBarSet(QString());
    bars->setColor(QColor(40, 90, 200));
    QStringList categories;
    std::vector<const SensitivityRow*> shown;
    std::vector<int> shownRows;
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (!rows_[i].isSingleValue && shown.size() < tornadoBars) {
            shown.push_back(&rows_[i]);
            shownRows.push_back(static_cast<int>(i));
        }
    QFont small = chart->font();
    small.setPointSizeF(7.5);
    // The axis labels may be shortened; hovering a bar tells its whole
    // label and coefficient.
    QStringList wholeLabels;
    labelColumn_ = 0;
    const QFontMetrics metrics(small);
    for (std::size_t k = shown.size(); k-- > 0;) {
        categories << BarLabel(static_cast<int>(k) + 1, labels_.places.value(shownRows[k]),
                               labels_.inputs.value(shownRows[k]), small);
        for (const QString& line : QTextDocumentFragment::fromHtml(categories.back())
                                       .toPlainText()
                                       .split(QRegularExpression(QStringLiteral("[\\n\\x{2028}]"))))
            labelColumn_ = std::max(labelColumn_, metrics.horizontalAdvance(line));
        wholeLabels << QStringLiteral("%1. %2: %3")
                           .arg(k + 1)
                           .arg(ToQString(shown[k]->label))
                           .arg(ToQString(FormatG(shown[k]->coefficient, 4)));
        bars->append(shown[k]->coefficient);
    }
    auto* series = new QHorizontalBarSeries;
    series->append(bars);
    connect(series, &QHorizontalBarSeries::hovered, chartView_,
            [wholeLabels](bool entered, int index, QBarSet*) {
                if (entered && index >= 0 && index < wholeLabels.size())
                    QToolTip::showText(QCursor::pos(), wholeLabels[index]);
                else
                    QToolTip::hideText();
            });
    series->setBarWidth(0.6);
    chart->addSeries(series);
    auto* inputs = new QBarCategoryAxis;
    inputs->append(categories.isEmpty() ? QStringList{QString()} : categories);
    inputs->setLabelsFont(small);
    // The labels are already shortened to their column; the chart's own
    // truncation would cut them again, to a third of its width.
    inputs->setTruncateLabels(false);
    auto* coefficients = new QValueAxis;
    coefficients->setRange(-1.0, 1.0);
    coefficients->setTickCount(5);
    coefficients->setLabelFormat("%.1f");
    coefficients->setLabelsFont(small);
    chart->addAxis(coefficients, Qt::AlignBottom);
    chart->addAxis(inputs, Qt::AlignLeft);
    series->attachAxis(coefficients);
    series->attachAxis(inputs);
    QChart* old = chartView_->chart();
    chartView_->setChart(chart);
    delete old;
    PlaceTornado(chartView_->size());
}

} // namespace varnex::ui
