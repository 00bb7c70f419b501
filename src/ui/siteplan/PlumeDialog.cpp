#include "ui/siteplan/PlumeDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

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
    auto* areaText = new QLabel(
        ToQString(FormatText(TranslateFormat("%.2lf x %.2lf m from (%.2lf,%.2lf)"),
                             {request_.widthM, request_.heightM, request_.leftX, request_.topY})),
        this);

    auto* form = new QFormLayout;
    form->addRow(ToQString(Translate("Contaminant")), contaminantBox_);
    form->addRow(ToQString(Translate("Time [years]")), timeEntry_);
    form->addRow(ToQString(Translate("Grid Spacing [m]")), spacingEntry_);
    form->addRow(ToQString(Translate("Area")), areaText);
    form->addRow(ToQString(Translate("Grid Nodes")), nodeCount_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(ToQString(Translate("OK")));
    buttons->button(QDialogButtonBox::Cancel)->setText(ToQString(Translate("Cancel")));
    connect(buttons, &QDialogButtonBox::accepted, this, &PlumeDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PlumeDialog::reject);
    connect(spacingEntry_, &QLineEdit::textChanged, this, &PlumeDialog::UpdateNodeCount);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(380);
    UpdateNodeCount();
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
    QDialog::accept();
}

void PlumeDialog::reject() {
    project_.plume.active = false;
    QDialog::reject();
}

} // namespace varnex::ui
