#include "ui/forms/DomainForm.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "base/TextFormat.h"
#include "gis/CoordinateSystem.h"
#include "model/Project.h"
#include "settings/Translate.h"
#include "ui/common/QtText.h"
#include "ui/common/UserPrompts.h"
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
    connect(browse, &QPushButton::clicked, this, &DomainForm::BrowseMapFile);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(mapFile_);
    fileRow->addWidget(browse);
    auto* dxfOptions = new QPushButton(Tr(TranslatableText("DXF Options...")), this);
    dxfOptions->setObjectName(QStringLiteral("dxfOptions"));
    connect(dxfOptions, &QPushButton::clicked, this, &DomainForm::EditDxfOptions);
    coordinateSystem_ = new QLineEdit(this);
    coordinateSystem_->setObjectName(QStringLiteral("coordinateSystem"));
    coordinateSystem_->setMinimumWidth(140);
    coordinateSystem_->setPlaceholderText(Tr(TranslatableText("none")));
    coordinateSystem_->setToolTip(
        Tr(TranslatableText("The EPSG code of the projected coordinate reference system the site "
                            "plan's metres are in, e.g. 27700 for the British National Grid; "
                            "empty or 0 for none. Maps for a GIS carry it, and background maps "
                            "in another system are transformed into it.")));
    coordinateSystemName_ = new QLabel(this);
    coordinateSystemName_->setObjectName(QStringLiteral("coordinateSystemName"));
    coordinateSystemName_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* systemRow = new QHBoxLayout;
    systemRow->addWidget(coordinateSystem_);
    systemRow->addWidget(coordinateSystemName_);
    connect(coordinateSystem_, &QLineEdit::textChanged, this,
            &DomainForm::ShowCoordinateSystemName);
    layout->addRow(Tr(TranslatableText("Grid Spacing (m)")), gridSpacing_);
    layout->addRow(Tr(TranslatableText("Coordinate System (EPSG)")), systemRow);
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

void DomainForm::BrowseMapFile() {
    const QString filter =
        Tr(TranslatableText("Supported File Types")) +
        QStringLiteral(" (*.dxf *.dwg *.tif *.tiff *.png *.jpg *.jpeg *.gpkg *.shp *.geojson "
                       "*.json);;") +
        Tr(TranslatableText("All Files")) + QStringLiteral(" (*)");
    const QString path = Prompts().ChooseOpenFile(Tr(TranslatableText("Background Map")), filter);
    if (!path.isEmpty()) mapFile_->setText(path);
}

std::optional<int> DomainForm::EnteredEpsg() const {
    QString text = coordinateSystem_->text().trimmed();
    // "EPSG:27700", as GIS programs show a code, is taken as well.
    if (text.startsWith(QStringLiteral("EPSG:"), Qt::CaseInsensitive)) text = text.mid(5).trimmed();
    if (text.isEmpty()) return 0;
    bool number = false;
    const int code = text.toInt(&number);
    if (!number || code < 0) return std::nullopt;
    return code;
}

void DomainForm::ShowCoordinateSystemName() {
    const std::optional<int> epsg = EnteredEpsg();
    QString name;
    if (epsg && *epsg > 0) {
        name = ToQString(CoordinateSystemName(*epsg));
        if (name.isEmpty()) name = Tr(TranslatableText("(unknown code)"));
    }
    coordinateSystemName_->setText(name);
}

void DomainForm::Load(const Project& project) {
    plan_ = project.sitePlan;
    gridSpacing_->setValue(plan_.gridSpacing);
    shownGridSpacing_ = gridSpacing_->value();
    showGrid_->setChecked(plan_.showGrid);
    showBackgroundMap_->setChecked(plan_.showBackgroundMap);
    mapFile_->setText(ToQString(plan_.backgroundMapFile));
    coordinateSystem_->setText(project.coordinateSystemEpsg != 0
                                   ? QString::number(project.coordinateSystemEpsg)
                                   : QString());
    ShowCoordinateSystemName();
}

bool DomainForm::Validate(QStringList& errors) {
    bool valid =
        CheckTextFits(mapFile_->text().trimmed(), Tr(TranslatableText("Background Map")), errors);
    const std::optional<int> epsg = EnteredEpsg();
    QString problem;
    if (!epsg)
        problem = ToQString(
            FormatText(TranslateFormat("%s is not an EPSG code: please enter a whole number such "
                                       "as 27700, or leave the field empty for none."),
                       {ToStdString(coordinateSystem_->text().trimmed())}));
    else
        problem = ToQString(CoordinateSystemProblem(*epsg));
    if (!problem.isEmpty()) {
        errors << problem;
        coordinateSystem_->setFocus(Qt::OtherFocusReason);
        coordinateSystem_->selectAll();
        valid = false;
    }
    return valid;
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
    project.coordinateSystemEpsg = EnteredEpsg().value_or(project.coordinateSystemEpsg);
}

} // namespace varnex::ui
