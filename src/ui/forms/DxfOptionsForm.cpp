#include "ui/forms/DxfOptionsForm.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include "model/Project.h"
#include "settings/Translate.h"
#include "ui/common/QtText.h"
#include "ui/common/UserPrompts.h"

namespace varnex::ui {

DxfOptionsForm::DxfOptionsForm(QWidget* parent) : InputForm(parent) {
    auto* layout = new QFormLayout(this);
    // Short entries at their natural width read better than stretched ones.
    layout->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    showBackgroundMap_ = new QCheckBox(Tr(TranslatableText("Show Background Map")), this);
    showBackgroundMap_->setObjectName(QStringLiteral("showBackgroundMap"));
    mapFile_ = new QLineEdit(this);
    mapFile_->setObjectName(QStringLiteral("backgroundMapFile"));
    mapFile_->setMinimumWidth(380);
    LimitTextLength(mapFile_);
    auto* browse = new QPushButton(Tr(TranslatableText("Browse...")), this);
    browse->setObjectName(QStringLiteral("browse"));
    connect(browse, &QPushButton::clicked, this, [this] { BrowseMapFile(Prompts(), mapFile_); });
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(mapFile_);
    fileRow->addWidget(browse);
    const auto number = [this](const char* name, double low, double high) {
        auto* box = new QDoubleSpinBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setRange(low, high);
        box->setDecimals(3);
        box->setMinimumWidth(140);
        return box;
    };
    mapOffsetX_ = number("mapOffsetX", -1e9, 1e9);
    mapOffsetY_ = number("mapOffsetY", -1e9, 1e9);
    mapScale_ = number("mapScale", 0.001, 1e6);
    layout->addRow(Tr(TranslatableText("Background Map")), fileRow);
    layout->addRow(showBackgroundMap_);
    layout->addRow(Tr(TranslatableText("Map Offset X [m]")), mapOffsetX_);
    layout->addRow(Tr(TranslatableText("Map Offset Y [m]")), mapOffsetY_);
    layout->addRow(Tr(TranslatableText("Map Scale")), mapScale_);
}

QString DxfOptionsForm::Title() const { return Tr(TranslatableText("DXF Options")); }

void DxfOptionsForm::BrowseMapFile(UserPrompts& prompts, QLineEdit* mapFile) {
    const QString filter =
        Tr(TranslatableText("Supported File Types")) + QStringLiteral(" (*.dwg *.dxf)");
    const QString path = prompts.ChooseOpenFile(Tr(TranslatableText("Background Map")), filter);
    if (!path.isEmpty()) mapFile->setText(path);
}

void DxfOptionsForm::Load(const Project& project) {
    const SitePlan& plan = project.sitePlan;
    showBackgroundMap_->setChecked(plan.showBackgroundMap);
    mapFile_->setText(ToQString(plan.backgroundMapFile));
    mapOffsetX_->setValue(plan.mapOffsetX);
    mapOffsetY_->setValue(plan.mapOffsetY);
    mapScale_->setValue(plan.mapScale);
}

bool DxfOptionsForm::Validate(QStringList& errors) {
    return CheckTextFits(mapFile_->text().trimmed(), Tr(TranslatableText("Background Map")),
                         errors);
}

void DxfOptionsForm::Apply(Project& project) {
    SitePlan& plan = project.sitePlan;
    plan.showBackgroundMap = showBackgroundMap_->isChecked();
    plan.backgroundMapFile = ToStdString(mapFile_->text().trimmed());
    // A spin box rounds to its decimals: keep the stored placement unless
    // the user changed it.
    const auto take = [](double& stored, const QDoubleSpinBox* box) {
        if (box->value() != QString::number(stored, 'f', box->decimals()).toDouble())
            stored = box->value();
    };
    take(plan.mapOffsetX, mapOffsetX_);
    take(plan.mapOffsetY, mapOffsetY_);
    take(plan.mapScale, mapScale_);
}

} // namespace varnex::ui
