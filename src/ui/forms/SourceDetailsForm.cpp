#include "ui/forms/SourceDetailsForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "base/TextFormat.h"
#include "model/PlanGeometry.h"
#include "model/Project.h"
#include "settings/Translate.h"
#include "transport/SourceTerm.h"
#include "ui/common/QtText.h"
#include "ui/common/UserPrompts.h"
#include "ui/forms/DistributionEdit.h"

namespace varnex::ui {

namespace {

QTableWidgetItem* Cell(const QString& text, bool editable = true) {
    auto* item = new QTableWidgetItem(text);
    if (!editable) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

} // namespace

SourceDetailsForm::SourceDetailsForm(std::size_t sourceIndex, QWidget* parent)
    : InputForm(parent), sourceIndex_(sourceIndex) {
    // Name and shape.
    auto* shapeBox = new QGroupBox(Tr(TranslatableText("Geometry")), this);
    auto* shape = new QFormLayout(shapeBox);
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("sourceName"));
    LimitTextLength(name_);
    shape->addRow(Tr(TranslatableText("Name")), name_);
    vertices_ = new QTableWidget(0, 2, this);
    vertices_->setObjectName(QStringLiteral("vertexTable"));
    vertices_->setHorizontalHeaderLabels(
        {Tr(TranslatableText("X [m]")), Tr(TranslatableText("Y [m]"))});
    vertices_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    vertices_->setMinimumHeight(150);
    auto* addVertex = new QPushButton(Tr(TranslatableText("Add Vertex")), this);
    addVertex->setObjectName(QStringLiteral("addVertex"));
    auto* removeVertex = new QPushButton(Tr(TranslatableText("Remove Vertex")), this);
    removeVertex->setObjectName(QStringLiteral("removeVertex"));
    auto* vertexButtons = new QHBoxLayout;
    vertexButtons->addWidget(addVertex);
    vertexButtons->addWidget(removeVertex);
    vertexButtons->addStretch();
    shape->addRow(Tr(TranslatableText("Vertices")), vertices_);
    shape->addRow(QString(), vertexButtons);
    centreDefinition_ = new QComboBox(this);
    centreDefinition_->setObjectName(QStringLiteral("centreDefinition"));
    centreDefinition_->addItems({Tr(TranslatableText("Calculated Centre")),
                                 Tr(TranslatableText("User Defined")),
                                 Tr(TranslatableText("Random Sampling"))});
    shape->addRow(Tr(TranslatableText("Centre")), centreDefinition_);
    centreX_ = new QLineEdit(this);
    centreX_->setObjectName(QStringLiteral("centreX"));
    centreY_ = new QLineEdit(this);
    centreY_->setObjectName(QStringLiteral("centreY"));
    auto* centre = new QHBoxLayout;
    centre->addWidget(centreX_);
    centre->addWidget(centreY_);
    shape->addRow(Tr(TranslatableText("Centre X, Y [m]")), centre);
    fillColour_ = new QComboBox(this);
    fillColour_->setObjectName(QStringLiteral("fillColour"));
    fillColour_->addItems({Tr(TranslatableText("Red")), Tr(TranslatableText("Yellow")),
                           Tr(TranslatableText("Green")), Tr(TranslatableText("Cyan")),
                           Tr(TranslatableText("Blue")), Tr(TranslatableText("Magenta")),
                           Tr(TranslatableText("White"))});
    hatchStyle_ = new QComboBox(this);
    hatchStyle_->setObjectName(QStringLiteral("hatchStyle"));
    hatchStyle_->addItems({Tr(TranslatableText("Solid")), Tr(TranslatableText("Back Diagonal")),
                           Tr(TranslatableText("Cross")), Tr(TranslatableText("Diagonal Cross")),
                           Tr(TranslatableText("Forward Diagonal")),
                           Tr(TranslatableText("Horizontal")), Tr(TranslatableText("Vertical"))});
    shape->addRow(Tr(TranslatableText("Fill Colour")), fillColour_);
    shape->addRow(Tr(TranslatableText("Hatch Style")), hatchStyle_);

    // Soil.
    auto* soilBox = new QGroupBox(Tr(TranslatableText("Soil Properties")), this);
    auto* soil = new QFormLayout(soilBox);
    inputs_ = AddInputs<Source>(
        soil, QString(), {"thickness", "dryBulkDensity", "foc", "overallUnsaturatedZoneThickness"});
    calculatePorosities_ = new QCheckBox(Tr(TranslatableText("Calculate Porosities")), this);
    calculatePorosities_->setObjectName(QStringLiteral("calculatePorosities"));
    soil->addRow(calculatePorosities_);
    const std::vector<InputField> porosities = AddInputs<Source>(
        soil, QString(),
        {"waterFilledPorosity", "airFilledPorosity", "moistureContent", "particleDensity"});
    for (std::size_t k = 0; k < inputs_.size() && k < porosities.size(); ++k)
        if (porosities[k].edit) inputs_[k] = porosities[k];

    // Decline with time.
    auto* declineBox = new QGroupBox(Tr(TranslatableText("Declining Source")), this);
    auto* decline = new QFormLayout(declineBox);
    decliningSource_ = new QComboBox(this);
    decliningSource_->setObjectName(QStringLiteral("decliningSource"));
    decliningSource_->addItems({Tr(TranslatableText("No Declining Source")),
                                Tr(TranslatableText("Calculated Declining Source")),
                                Tr(TranslatableText("User Defined Declining Source"))});
    decline->addRow(Tr(TranslatableText("Source Term")), decliningSource_);
    timeOffset_ = new QLineEdit(this);
    timeOffset_->setObjectName(QStringLiteral("timeOffset"));
    decline->addRow(Tr(TranslatableText("Time Offset [years]")), timeOffset_);
    declineGrid_ = new QTableWidget(0, 2, this);
    declineGrid_->setObjectName(QStringLiteral("declineGrid"));
    declineGrid_->setHorizontalHeaderLabels(
        {Tr(TranslatableText("Year")), Tr(TranslatableText("Faction Remaining"))});
    declineGrid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    declineGrid_->verticalHeader()->hide();
    declineGrid_->setMinimumHeight(120);
    decline->addRow(declineGrid_);

    auto* layout = new QGridLayout(this);
    layout->addWidget(shapeBox, 0, 0);
    layout->addWidget(soilBox, 0, 1);
    layout->addWidget(declineBox, 1, 0, 1, 2);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 1);

    connect(addVertex, &QPushButton::clicked, this,
            [this] { AddVertexRow(QStringLiteral("0"), QStringLiteral("0")); });
    connect(removeVertex, &QPushButton::clicked, this, [this] {
        const int row =
            vertices_->currentRow() >= 0 ? vertices_->currentRow() : vertices_->rowCount() - 1;
        if (row >= 0) vertices_->removeRow(row);
    });
    connect(centreDefinition_, &QComboBox::currentIndexChanged, this, [this] { UpdateEnabled(); });
    connect(decliningSource_, &QComboBox::currentIndexChanged, this, [this] { UpdateEnabled(); });
    connect(calculatePorosities_, &QCheckBox::toggled, this, [this] { UpdateEnabled(); });
}

QString SourceDetailsForm::Title() const { return Tr(TranslatableText("Source Details")); }

void SourceDetailsForm::AddVertexRow(const QString& x, const QString& y) {
    const int row = vertices_->rowCount();
    vertices_->insertRow(row);
    vertices_->setItem(row, 0, Cell(x));
    vertices_->setItem(row, 1, Cell(y));
}

void SourceDetailsForm::UpdateEnabled() {
    const bool userCentre = centreDefinition_->currentIndex() == Source::userDefinedCentre;
    centreX_->setEnabled(userCentre);
    centreY_->setEnabled(userCentre);
    declineGrid_->setEnabled(decliningSource_->currentIndex() == Source::userDefinedDecline);
    const bool calculated = calculatePorosities_->isChecked();
    // The porosities are typed, or calculated from the moisture content and
    // the particle density: only one of the two sets is used.
    const char* typedHint =
        TranslatableText("Not used: the porosities are calculated (Calculate Porosities is on).");
    const char* calculatedHint = TranslatableText("Used only when Calculate Porosities is on.");
    SetUsed(FieldOf(inputs_, &Source::waterFilledPorosity), !calculated, typedHint);
    SetUsed(FieldOf(inputs_, &Source::airFilledPorosity), !calculated, typedHint);
    SetUsed(FieldOf(inputs_, &Source::moistureContent), calculated, calculatedHint);
    SetUsed(FieldOf(inputs_, &Source::particleDensity), calculated, calculatedHint);
}

void SourceDetailsForm::Load(const Project& project) {
    loaded_ = sourceIndex_ < project.sources.size();
    setEnabled(loaded_);
    if (!loaded_) return;
    source_ = project.sources[sourceIndex_];
    otherNames_.clear();
    for (std::size_t s = 0; s < project.sources.size(); ++s)
        if (s != sourceIndex_) otherNames_ << ToQString(project.sources[s].name);
    timeSlices_ = project.timeSlices;

    name_->setText(ToQString(source_.name));
    vertices_->setRowCount(0);
    for (const PlanPoint& vertex : source_.vertices)
        AddVertexRow(NumberText(vertex.x), NumberText(vertex.y));
    centreDefinition_->setCurrentIndex(std::clamp(source_.centreDefinition, 0, 2));
    centreX_->setText(NumberText(source_.centre.x));
    centreY_->setText(NumberText(source_.centre.y));
    fillColour_->setCurrentIndex(std::clamp<int>(source_.fillColour, 1, 7) - 1);
    hatchStyle_->setCurrentIndex(std::clamp<int>(source_.hatchStyle, 1, 7) - 1);
    calculatePorosities_->setChecked(source_.calculatePorosities);
    LoadInputs(inputs_, source_);
    decliningSource_->setCurrentIndex(std::clamp(source_.decliningSource, 0, 2));
    timeOffset_->setText(NumberText(source_.timeOffset));
    declineGrid_->setRowCount(0);
    for (std::size_t k = 0; k < timeSlices_.size(); ++k) {
        const double factor = k < source_.declineFactors.size() ? source_.declineFactors[k] : 1.0;
        declineGrid_->insertRow(static_cast<int>(k));
        declineGrid_->setItem(static_cast<int>(k), 0,
                              Cell(QString::number(timeSlices_[k], 'g', 10), false));
        declineGrid_->setItem(static_cast<int>(k), 1, Cell(NumberText(factor)));
    }
    UpdateEnabled();
}

std::vector<double> SourceDetailsForm::DeclineFactors() const {
    std::vector<double> factors = source_.declineFactors;
    factors.resize(static_cast<std::size_t>(declineGrid_->rowCount()), 1.0);
    for (int row = 0; row < declineGrid_->rowCount(); ++row)
        TakeNumber(declineGrid_->item(row, 1)->text(), factors[static_cast<std::size_t>(row)]);
    return factors;
}

bool SourceDetailsForm::Validate(QStringList& errors) {
    if (!loaded_) return true;
    bool valid = true;
    const QString name = name_->text().trimmed();
    if (name.isEmpty()) {
        errors << Tr(TranslatableText("Please enter a name"));
        valid = false;
    } else if (!CheckTextFits(name, Tr(TranslatableText("Name")), errors)) {
        valid = false;
    } else if (otherNames_.contains(name)) {
        errors << ToQString(Translate("Duplicate source name")) + QStringLiteral(": \"") + name +
                      QStringLiteral("\"");
        valid = false;
    }
    if (vertices_->rowCount() < 3) {
        errors << Tr(TranslatableText("At least three vertices are required."));
        valid = false;
    }
    std::vector<PlanPoint> outline;
    for (int row = 0; row < vertices_->rowCount(); ++row) {
        double x = 0.0, y = 0.0;
        const QTableWidgetItem* xItem = vertices_->item(row, 0);
        const QTableWidgetItem* yItem = vertices_->item(row, 1);
        if (!xItem || !yItem || !ReadNumber(xItem->text(), x) || !ReadNumber(yItem->text(), y)) {
            errors << ToQString(
                FormatText(TranslateFormat("Vertex %d: the coordinates must be numbers"),
                           {static_cast<long long>(row + 1)}));
            valid = false;
        } else if (!PlanCoordinateInRange(x) || !PlanCoordinateInRange(y)) {
            errors << Tr(TranslatableText(
                "Coordinates must be numbers within 1000000000 m of the plan's origin."));
            valid = false;
        }
        outline.push_back({x, y, 0.0, 0.0});
    }
    if (valid && PolygonCrossesItself(outline)) {
        errors << Tr(TranslatableText("The source polygon must not cross itself."));
        valid = false;
    }
    double number = 0.0;
    if (centreDefinition_->currentIndex() == Source::userDefinedCentre &&
        (!ReadNumber(centreX_->text(), number) || !ReadNumber(centreY_->text(), number))) {
        errors << Tr(TranslatableText("The centre coordinates must be numbers"));
        valid = false;
    }
    if (!ReadNumber(timeOffset_->text(), number) || number < 0.0) {
        errors << Tr(TranslatableText("The time offset must be a number not less than 0"));
        valid = false;
    }
    if (decliningSource_->currentIndex() == Source::userDefinedDecline) {
        for (int row = 0; row < declineGrid_->rowCount(); ++row) {
            if (!ReadNumber(declineGrid_->item(row, 1)->text(), number) || number < 0.0) {
                errors << ToQString(FormatText(
                    TranslateFormat(
                        "Year %s: the fraction remaining must be a number not less than 0"),
                    {ToStdString(declineGrid_->item(row, 0)->text())}));
                valid = false;
            }
        }
    }
    if (!CheckInputs<Source>(inputs_, errors)) valid = false;
    return valid;
}

bool SourceDetailsForm::ConfirmApply() {
    if (!loaded_ || decliningSource_->currentIndex() != Source::userDefinedDecline) return true;
    const std::string warning = CheckDecliningFactors(DeclineFactors());
    return warning.empty() || Prompts().AskYesNo(ToQString(warning));
}

void SourceDetailsForm::Apply(Project& project) {
    if (!loaded_ || sourceIndex_ >= project.sources.size()) return;
    Source& source = project.sources[sourceIndex_];
    source.name = ToStdString(name_->text().trimmed());
    std::vector<PlanPoint> vertices;
    for (int row = 0; row < vertices_->rowCount(); ++row) {
        PlanPoint vertex;
        if (static_cast<std::size_t>(row) < source.vertices.size())
            vertex = source.vertices[static_cast<std::size_t>(row)];
        TakeNumber(vertices_->item(row, 0)->text(), vertex.x);
        TakeNumber(vertices_->item(row, 1)->text(), vertex.y);
        vertices.push_back(vertex);
    }
    source.vertices = std::move(vertices);
    source.centreDefinition = centreDefinition_->currentIndex();
    if (source.centreDefinition == Source::userDefinedCentre) {
        TakeNumber(centreX_->text(), source.centre.x);
        TakeNumber(centreY_->text(), source.centre.y);
    }
    source.fillColour = static_cast<std::int16_t>(fillColour_->currentIndex() + 1);
    source.hatchStyle = static_cast<std::int16_t>(hatchStyle_->currentIndex() + 1);
    source.calculatePorosities = calculatePorosities_->isChecked();
    ApplyInputs(inputs_, source);
    source.decliningSource = decliningSource_->currentIndex();
    TakeNumber(timeOffset_->text(), source.timeOffset);
    // Factors belong to a user-defined decline only.
    if (source.decliningSource == Source::userDefinedDecline)
        source.declineFactors = DeclineFactors();
    else
        source.declineFactors.clear();
}

} // namespace varnex::ui
