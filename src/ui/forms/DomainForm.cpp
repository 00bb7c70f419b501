#include "ui/forms/DomainForm.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "model/Project.h"
#include "settings/Translate.h"
#include "ui/common/QtText.h"
#include "ui/forms/DxfOptionsForm.h"
#include "ui/forms/FormDialog.h"

namespace varnex::ui {

DomainForm::DomainForm(QWidget* parent) : InputForm(parent) {
    auto* layout = new QFormLayout(this);
    // Short entries at their natural width read better than stretched ones.
    layout->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    gridSpacing_ = new QSpinBox(this);
    gridSpacing_->setObjectName(QStringLiteral("gridSpacing"));
    gridSpacing_->setRange(1, 100000);
    gridSpacing_->setMinimumWidth(140);
    showGrid_ = new QCheckBox(Tr(TranslatableText("Show Grid")), this);
    showGrid_->setObjectName(QStringLiteral("showGrid"));
    showBackgroundMap_ = new QCheckBox(Tr(TranslatableText("Show Background Map")), this);
    showBackgroundMap_->setObjectName(QStringLiteral("showBackgroundMap"));
    mapFile_ = new QLineEdit(this);
    mapFile_->setObjectName(QStringLiteral("backgroundMapFile"));
    mapFile_->setMinimumWidth(380);
    LimitTextLength(mapFile_);
    auto* browse = new QPushButton(Tr(TranslatableText("Browse...")), this);
    browse->setObjectName(QStringLiteral("browse"));
    connect(browse, &QPushButton::clicked, this,
            [this] { DxfOptionsForm::BrowseMapFile(Prompts(), mapFile_); });
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(mapFile_);
    fileRow->addWidget(browse);
    auto* dxfOptions = new QPushButton(Tr(TranslatableText("DXF Options...")), this);
    dxfOptions->setObjectName(QStringLiteral("dxfOptions"));
    connect(dxfOptions, &QPushButton::clicked, this, &DomainForm::EditDxfOptions);
    layout->addRow(Tr(TranslatableText("Grid Spacing (m)")), gridSpacing_);
    layout->addRow(showGrid_);
    layout->addRow(showBackgroundMap_);
    layout->addRow(Tr(TranslatableText("Background Map")), fileRow);
    layout->addRow(QString(), dxfOptions);
}

QString DomainForm::Title() const { return Tr(TranslatableText("Domain")); }

void DomainForm::EditDxfOptions() {
    // The dialog works on a project of its own holding this form's entries,
    // so that Cancel there, or here, leaves the real project as it was.
    Project entries;
    entries.sitePlan = plan_;
    entries.sitePlan.showBackgroundMap = showBackgroundMap_->isChecked();
    entries.sitePlan.backgroundMapFile = ToStdString(mapFile_->text().trimmed());
    FormDialog dialog(new DxfOptionsForm, entries, Prompts(), this);
    if (dialog.exec() != QDialog::Accepted) return;
    plan_ = entries.sitePlan;
    showBackgroundMap_->setChecked(plan_.showBackgroundMap);
    mapFile_->setText(ToQString(plan_.backgroundMapFile));
}

void DomainForm::Load(const Project& project) {
    plan_ = project.sitePlan;
    gridSpacing_->setValue(plan_.gridSpacing);
    shownGridSpacing_ = gridSpacing_->value();
    showGrid_->setChecked(plan_.showGrid);
    showBackgroundMap_->setChecked(plan_.showBackgroundMap);
    mapFile_->setText(ToQString(plan_.backgroundMapFile));
}

bool DomainForm::Validate(QStringList& errors) {
    return CheckTextFits(mapFile_->text().trimmed(), Tr(TranslatableText("Background Map")),
                         errors);
}

void DomainForm::Apply(Project& project) {
    SitePlan& plan = project.sitePlan;
    // The spin box cannot show a spacing below 1: a stored one stays unless
    // the user changed the spacing.
    if (gridSpacing_->value() != shownGridSpacing_) plan.gridSpacing = gridSpacing_->value();
    plan.showGrid = showGrid_->isChecked();
    plan.showBackgroundMap = showBackgroundMap_->isChecked();
    plan.backgroundMapFile = ToStdString(mapFile_->text().trimmed());
    // Already kept to the stored value where unchanged (see DxfOptionsForm).
    plan.mapOffsetX = plan_.mapOffsetX;
    plan.mapOffsetY = plan_.mapOffsetY;
    plan.mapScale = plan_.mapScale;
}

} // namespace varnex::ui
