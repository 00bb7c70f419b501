#include "ui/siteplan/PlumeDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <iterator>
#include <optional>

#include "base/NumberText.h"
#include "base/TextFormat.h"
#include "model/Project.h"
#include "settings/Translate.h"
#include "ui/common/QtText.h"
#include "ui/common/UserPrompts.h"

namespace varnex::ui {

namespace {

// A typed number; anything else (and an empty entry) reads as 0, which the
// checks then refuse.
double EntryValue(const QLineEdit* entry) {
    double value = 0.0;
    if (!ParseWholeNumber(ToStdString(entry->text().trimmed()), value) || !std::isfinite(value))
        return 0.0;
    return value;
}

// A contaminant's standard, mg/l; 0 when it has none to exceed.
double StandardOf(const Contaminant& contaminant) {
    if (contaminant.standardStatus == Contaminant::noStandard || !(contaminant.standard > 0.0) ||
        !std::isfinite(contaminant.standard))
        return 0.0;
    return contaminant.standard;
}

} // namespace

PlumeDialog::PlumeDialog(Project& project, const QRectF& area, UserPrompts& prompts,
                         QWidget* parent)
    : QDialog(parent), project_(project), prompts_(prompts) {
    setWindowTitle(ToQString(Translate("Contaminant Plume")));

    // The view's centre and size give the mapped rectangle, its top edge
    // being the northern one.
    const QPointF centre = area.center();
    request_.leftX = centre.x() - area.width() * 0.5;
    request_.topY = centre.y() + area.height() * 0.5;
    request_.widthM = area.width();
    request_.heightM = area.height();

    const PlumeSettings& plume = project.plume;
    contaminantBox_ = new QComboBox(this);
    for (const Contaminant& contaminant : project.contaminants)
        contaminantBox_->addItem(ToQString(contaminant.name));
    if (plume.contaminantIndex >= 0 && plume.contaminantIndex < contaminantBox_->count())
        contaminantBox_->setCurrentIndex(plume.contaminantIndex);
    const double time = plume.timeYears > 0.0        ? plume.timeYears
                        : project.timeSlices.empty() ? 100.0
                                                     : project.timeSlices.front();
    timeEntry_ = new QLineEdit(ToQString(FormatG(time)), this);
    const double spacing = plume.spacingM > 0.0               ? plume.spacingM
                           : project.sitePlan.gridSpacing > 0 ? project.sitePlan.gridSpacing
                                                              : 10.0;
    spacingEntry_ = new QLineEdit(ToQString(FormatG(spacing)), this);
    nodeCount_ = new QLabel(this);

    const PlumeMapChoices& choices = project.plumeMap;
    kindBox_ = new QComboBox(this);
    kindBox_->addItem(ToQString(Translate("Central values")),
                      static_cast<int>(PlumeMapKind::centralValues));
    kindBox_->addItem(ToQString(Translate("Probability")),
                      static_cast<int>(PlumeMapKind::probability));
    kindBox_->setCurrentIndex(choices.kind == PlumeMapKind::probability ? 1 : 0);
    kindBox_->setToolTip(
        ToQString(Translate("Central values: every input at its central value. Probability: "
                            "the run's iterations at every node.")));
    // A probability map is made at one of the times the run computed.
    timeSliceBox_ = new QComboBox(this);
    for (double slice : project.timeSlices) timeSliceBox_->addItem(ToQString(FormatG(slice)));
    for (std::size_t i = 0; i < project.timeSlices.size(); ++i)
        if (project.timeSlices[i] == time) timeSliceBox_->setCurrentIndex(static_cast<int>(i));
    if (timeSliceBox_->currentIndex() < 0 && timeSliceBox_->count() > 0)
        timeSliceBox_->setCurrentIndex(timeSliceBox_->count() - 1);
    quantityBox_ = new QComboBox(this);
    percentileBox_ = new QComboBox(this);
    percentilesEntry_ = new QLineEdit(ToQString(PercentileLevelsText(choices.percentiles)), this);
    percentilesEntry_->setToolTip(
        ToQString(Translate("The percentiles computed at every node, e.g. 50,95")));
    standardNote_ = new QLabel(this);
    standardNote_->setWordWrap(true);
    auto* areaText = new QLabel(
        ToQString(FormatText(TranslateFormat("%.2lf x %.2lf m from (%.2lf,%.2lf)"),
                             {request_.widthM, request_.heightM, request_.leftX, request_.topY})),
        this);

    form_ = new QFormLayout;
    QFormLayout* form = form_;
    form->addRow(ToQString(Translate("Map")), kindBox_);
    form->addRow(ToQString(Translate("Contaminant")), contaminantBox_);
    form->addRow(ToQString(Translate("Time [years]")), timeEntry_);
    form->addRow(ToQString(Translate("Time slice [years]")), timeSliceBox_);
    form->addRow(ToQString(Translate("Show")), quantityBox_);
    form->addRow(ToQString(Translate("Percentile")), percentileBox_);
    form->addRow(ToQString(Translate("Percentiles computed")), percentilesEntry_);
    form->addRow(QString(), standardNote_);
    form->addRow(ToQString(Translate("Grid Spacing [m]")), spacingEntry_);
    form->addRow(ToQString(Translate("Area")), areaText);
    form->addRow(ToQString(Translate("Grid Nodes")), nodeCount_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(ToQString(Translate("OK")));
    buttons->button(QDialogButtonBox::Cancel)->setText(ToQString(Translate("Cancel")));
    connect(buttons, &QDialogButtonBox::accepted, this, &PlumeDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PlumeDialog::reject);
    connect(spacingEntry_, &QLineEdit::textChanged, this, &PlumeDialog::UpdateNodeCount);
    connect(kindBox_, &QComboBox::currentIndexChanged, this, &PlumeDialog::UpdateKind);
    connect(contaminantBox_, &QComboBox::currentIndexChanged, this, &PlumeDialog::UpdateQuantities);
    connect(quantityBox_, &QComboBox::currentIndexChanged, this, &PlumeDialog::UpdateKind);
    connect(percentilesEntry_, &QLineEdit::textChanged, this, &PlumeDialog::UpdatePercentiles);

    // The keyboard walks the rows from the top, as they are read.
    QWidget* const order[] = {kindBox_,     contaminantBox_, timeEntry_,        timeSliceBox_,
                              quantityBox_, percentileBox_,  percentilesEntry_, spacingEntry_};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(380);
    UpdatePercentiles();
    UpdateQuantities();
    for (int i = 0; i < quantityBox_->count(); ++i)
        if (quantityBox_->itemData(i).toInt() == static_cast<int>(choices.quantity))
            quantityBox_->setCurrentIndex(i);
    UpdateKind();
    UpdateNodeCount();
}

PlumeMapKind PlumeDialog::Kind() const {
    return kindBox_->currentData().toInt() == static_cast<int>(PlumeMapKind::probability)
               ? PlumeMapKind::probability
               : PlumeMapKind::centralValues;
}

QString PlumeDialog::StandardNote() const { return standardNote_->text(); }

void PlumeDialog::UpdateKind() {
    const bool probability = Kind() == PlumeMapKind::probability;
    form_->setRowVisible(timeEntry_, !probability);
    form_->setRowVisible(timeSliceBox_, probability);
    form_->setRowVisible(quantityBox_, probability);
    form_->setRowVisible(percentileBox_,
                         probability && quantityBox_->currentData().toInt() ==
                                            static_cast<int>(PlumeMapQuantity::percentile));
    form_->setRowVisible(percentilesEntry_, probability);
    form_->setRowVisible(standardNote_, probability && !standardNote_->text().isEmpty());
    adjustSize();
}

void PlumeDialog::UpdateQuantities() {
    const int index = contaminantBox_->currentIndex();
    const bool hasStandard =
        index >= 0 && static_cast<std::size_t>(index) < project_.contaminants.size() &&
        StandardOf(project_.contaminants[static_cast<std::size_t>(index)]) > 0.0;
    const QVariant chosen = quantityBox_->currentData();
    const QSignalBlocker blocker(quantityBox_);
    quantityBox_->clear();
    if (hasStandard)
        quantityBox_->addItem(ToQString(Translate("Probability of exceeding the standard")),
                              static_cast<int>(PlumeMapQuantity::exceedance));
    quantityBox_->addItem(ToQString(Translate("Mean")), static_cast<int>(PlumeMapQuantity::mean));
    quantityBox_->addItem(ToQString(Translate("Percentile")),
                          static_cast<int>(PlumeMapQuantity::percentile));
    const int at = chosen.isValid() ? quantityBox_->findData(chosen) : -1;
    quantityBox_->setCurrentIndex(std::max(at, 0));
    standardNote_->setText(
        hasStandard ? QString()
                    : ToQString(Translate("No water quality standard: the probability of "
                                          "exceeding it cannot be mapped.")));
    UpdateKind();
}

void PlumeDialog::UpdatePercentiles() {
    const std::optional<std::vector<int>> levels =
        ParsePercentileLevels(ToStdString(percentilesEntry_->text().trimmed()));
    if (!levels) return;
    const int chosen = percentileBox_->count() > 0 ? percentileBox_->currentData().toInt()
                                                   : project_.plumeMap.shownPercentile;
    percentileBox_->clear();
    for (int level : *levels) percentileBox_->addItem(QString::number(level), level);
    const int at = percentileBox_->findData(chosen);
    percentileBox_->setCurrentIndex(at >= 0 ? at : percentileBox_->count() - 1);
}

QString PlumeDialog::NodeCountText() const { return nodeCount_->text(); }

void PlumeDialog::UpdateNodeCount() {
    const double spacing = EntryValue(spacingEntry_);
    if (!(spacing > 0.0)) {
        nodeCount_->clear();
        return;
    }
    const double columns = std::ceil(request_.widthM / spacing);
    const double rows = std::ceil(request_.heightM / spacing);
    nodeCount_->setText(QStringLiteral("%1 x %2").arg(columns, 0, 'f', 0).arg(rows, 0, 'f', 0));
}

void PlumeDialog::accept() {
    const double time = EntryValue(timeEntry_);
    const double spacing = EntryValue(spacingEntry_);
    if (Kind() == PlumeMapKind::probability) {
        if (AcceptProbability(spacing)) QDialog::accept();
        return;
    }
    if (!(time > 0.0)) {
        prompts_.ShowWarning(ToQString(Translate("Time must be greater than 0")));
        timeEntry_->setFocus();
        return;
    }
    if (!(spacing > 0.0)) {
        prompts_.ShowWarning(ToQString(Translate("Grid spacing must be greater than 0")));
        spacingEntry_->setFocus();
        return;
    }
    // Refused here rather than after the dialog has gone, so the user can
    // choose a coarser grid at once.
    if (std::ceil(request_.widthM / spacing) * std::ceil(request_.heightM / spacing) >
        static_cast<double>(maximumPlumeNodes)) {
        prompts_.ShowWarning(ToQString(FormatText(
            TranslateFormat(
                "The plume grid would have more than %d nodes; choose a larger grid spacing."),
            {maximumPlumeNodes})));
        spacingEntry_->setFocus();
        return;
    }
    if (contaminantBox_->currentIndex() < 0) {
        prompts_.ShowWarning(ToQString(Translate("Choose a contaminant for the plume.")));
        return;
    }
    request_.contaminantIndex = contaminantBox_->currentIndex();
    request_.timeYears = time;
    request_.spacingM = spacing;
    PlumeSettings& plume = project_.plume;
    plume.contaminantIndex = request_.contaminantIndex;
    plume.timeYears = time;
    plume.spacingM = spacing;
    plume.active = true;
    project_.plumeMap.kind = PlumeMapKind::centralValues;
    QDialog::accept();
}

bool PlumeDialog::AcceptProbability(double spacing) {
    if (timeSliceBox_->currentIndex() < 0) {
        prompts_.ShowWarning(
            ToQString(Translate("The project has no time slices: a probability map needs a run.")));
        return false;
    }
    if (!(spacing > 0.0)) {
        prompts_.ShowWarning(ToQString(Translate("Grid spacing must be greater than 0")));
        spacingEntry_->setFocus();
        return false;
    }
    const double columns = std::ceil(request_.widthM / spacing);
    const double rows = std::ceil(request_.heightM / spacing);
    if (columns * rows > static_cast<double>(maximumProbabilityMapNodes)) {
        prompts_.ShowWarning(ToQString(FormatText(
            TranslateFormat("The probability map would have more than %d nodes; choose a "
                            "larger grid spacing."),
            {static_cast<int>(maximumProbabilityMapNodes)})));
        spacingEntry_->setFocus();
        return false;
    }
    const std::optional<std::vector<int>> levels =
        ParsePercentileLevels(ToStdString(percentilesEntry_->text().trimmed()));
    if (!levels || levels->empty()) {
        prompts_.ShowWarning(ToQString(
            Translate("Percentiles must be whole numbers from 1 to 99 separated by commas, "
                      "such as 50,95.")));
        percentilesEntry_->setFocus();
        return false;
    }
    if (contaminantBox_->currentIndex() < 0) {
        prompts_.ShowWarning(ToQString(Translate("Choose a contaminant for the plume.")));
        return false;
    }
    const double time =
        project_.timeSlices[static_cast<std::size_t>(timeSliceBox_->currentIndex())];
    PlumeMapChoices& choices = project_.plumeMap;
    choices.kind = PlumeMapKind::probability;
    choices.quantity = static_cast<PlumeMapQuantity>(quantityBox_->currentData().toInt());
    choices.percentiles = *levels;
    choices.shownPercentile = percentileBox_->currentIndex() >= 0
                                  ? percentileBox_->currentData().toInt()
                                  : levels->back();
    // Kept so that the next plume, of either kind, starts from them.
    PlumeSettings& plume = project_.plume;
    plume.contaminantIndex = contaminantBox_->currentIndex();
    plume.timeYears = time;
    plume.spacingM = spacing;

    mapRequest_ = ProbabilityMapRequest();
    mapRequest_.contaminantIndex = contaminantBox_->currentIndex();
    mapRequest_.timeYears = time;
    mapRequest_.percentileLevels = *levels;
    MapGrid& grid = mapRequest_.grid;
    grid.leftX = request_.leftX;
    grid.topY = request_.topY;
    grid.spacingXM = spacing;
    grid.spacingYM = spacing;
    grid.columns = static_cast<std::size_t>(columns);
    grid.rows = static_cast<std::size_t>(rows);
    return true;
}

void PlumeDialog::reject() {
    project_.plume.active = false;
    QDialog::reject();
}

} // namespace varnex::ui
