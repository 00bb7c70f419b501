#include "ui/forms/SimulationParametersForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "model/Project.h"
#include "model/TimeSlices.h"
#include "settings/Translate.h"
#include "stochastic/IterationCount.h"
#include "ui/common/QtText.h"
#include "ui/common/UserPrompts.h"

namespace varnex::ui {

namespace {

QSpinBox* YearBox(QWidget* parent, const char* name, int value) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(0, 10000000);
    box->setValue(value);
    return box;
}

// The factor a user-defined decline had nearest to `year`, so that factors
// stay with their times when the time slices change.
double FactorNear(const std::vector<double>& oldSlices, const std::vector<double>& factors,
                  double year) {
    double best = 1e308;
    double factor = 1.0;
    for (std::size_t k = 0; k < oldSlices.size() && k < factors.size(); ++k) {
        const double distance = std::fabs(oldSlices[k] - year);
        if (distance < best) {
            best = distance;
            factor = factors[k];
        }
    }
    return factor;
}

} // namespace

SimulationParametersForm::SimulationParametersForm(QWidget* parent) : InputForm(parent) {
    iterations_ = new QSpinBox(this);
    iterations_->setObjectName(QStringLiteral("iterations"));
    iterations_->setRange(0, maximumIterationCount);
    iterations_->setMinimumWidth(120);
    auto* top = new QFormLayout;
    top->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    top->addRow(Tr(TranslatableText("Iterations")), iterations_);
    samplingMethod_ = new QComboBox(this);
    samplingMethod_->setObjectName(QStringLiteral("samplingMethod"));
    // In the order of SamplingMethod.
    samplingMethod_->addItem(Tr(TranslatableText("Monte Carlo")));
    samplingMethod_->addItem(Tr(TranslatableText("Latin Hypercube")));
    samplingMethod_->setToolTip(
        Tr(TranslatableText("Latin Hypercube draws each input's values from equally probable "
                            "strata of its distribution: means and percentiles scatter less "
                            "from run to run for the same number of iterations.")));
    top->addRow(Tr(TranslatableText("Sampling Method")), samplingMethod_);

    auto* seriesBox = new QGroupBox(Tr(TranslatableText("Calculate Timeslices")), this);
    auto* series = new QFormLayout(seriesBox);
    startYear_ = YearBox(this, "startYear", 1);
    endYear_ = YearBox(this, "endYear", 1000);
    step_ = YearBox(this, "stepYears", 100);
    logarithmic_ = new QCheckBox(Tr(TranslatableText("Logarithmic")), this);
    logarithmic_->setObjectName(QStringLiteral("logarithmic"));
    auto* calculate = new QPushButton(Tr(TranslatableText("Calculate Timeslices")), this);
    calculate->setObjectName(QStringLiteral("calculateTimeSlices"));
    series->addRow(Tr(TranslatableText("Start Year")), startYear_);
    series->addRow(Tr(TranslatableText("End Year")), endYear_);
    series->addRow(Tr(TranslatableText("Step (yrs)")), step_);
    series->addRow(logarithmic_);
    series->addRow(calculate);
    series->setRowWrapPolicy(QFormLayout::DontWrapRows);

    auto* listBox = new QGroupBox(Tr(TranslatableText("User Defined Timeslices")), this);
    auto* listLayout = new QVBoxLayout(listBox);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("timeSliceList"));
    list_->setMinimumHeight(180);
    newYear_ = YearBox(this, "newTimeSlice", 100);
    auto* insert = new QPushButton(Tr(TranslatableText("Insert Timeslice")), this);
    insert->setObjectName(QStringLiteral("insertTimeSlice"));
    auto* remove = new QPushButton(Tr(TranslatableText("Remove Timeslice")), this);
    remove->setObjectName(QStringLiteral("removeTimeSlice"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(newYear_);
    buttons->addWidget(insert);
    buttons->addWidget(remove);
    listLayout->addWidget(list_);
    listLayout->addLayout(buttons);

    auto* columns = new QHBoxLayout;
    auto* seriesColumn = new QVBoxLayout;
    seriesColumn->addWidget(seriesBox);
    seriesColumn->addStretch();
    columns->addLayout(seriesColumn);
    columns->addWidget(listBox, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(columns);

    connect(calculate, &QPushButton::clicked, this, &SimulationParametersForm::CalculateTimeSlices);
    connect(insert, &QPushButton::clicked, this, &SimulationParametersForm::InsertTimeSlice);
    connect(remove, &QPushButton::clicked, this, &SimulationParametersForm::RemoveTimeSlice);
    connect(logarithmic_, &QCheckBox::toggled, step_, &QWidget::setDisabled);
}

QString SimulationParametersForm::Title() const {
    return Tr(TranslatableText("Simulation Parameters"));
}

std::vector<int> SimulationParametersForm::ListedYears(bool* valid) const {
    std::vector<int> years;
    if (valid) *valid = true;
    for (int row = 0; row < list_->count(); ++row) {
        bool ok = false;
        const int year = list_->item(row)->text().trimmed().toInt(&ok);
        if (!ok || year < Project::firstTimeSliceYear || year > Project::lastTimeSliceYear) {
            if (valid) *valid = false;
            continue;
        }
        years.push_back(year);
    }
    return years;
}

void SimulationParametersForm::ShowYears(std::vector<int> years) {
    std::sort(years.begin(), years.end());
    years.erase(std::unique(years.begin(), years.end()), years.end());
    list_->clear();
    for (int year : years) {
        auto* item = new QListWidgetItem(QString::asprintf("%d", year), list_);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
}

void SimulationParametersForm::Load(const Project& project) {
    loadedSlices_ = project.timeSlices;
    loadedIterations_ = IterationCount();
    iterations_->setValue(loadedIterations_);
    samplingMethod_->setCurrentIndex(static_cast<int>(project.samplingMethod));
    std::vector<int> years;
    for (double slice : project.timeSlices) years.push_back(static_cast<int>(std::lround(slice)));
    ShowYears(years);
}

void SimulationParametersForm::CalculateTimeSlices() {
    std::vector<int> years = ListedYears();
    const std::string problems = varnex::CalculateTimeSlices(
        startYear_->value(), endYear_->value(), step_->value(), logarithmic_->isChecked(), years);
    if (!problems.empty()) {
        Prompts().ShowError(ToQString(problems));
        return;
    }
    ShowYears(years);
}

void SimulationParametersForm::InsertTimeSlice() {
    std::vector<int> years = ListedYears();
    const int year = newYear_->value();
    if (year < Project::firstTimeSliceYear || year > Project::lastTimeSliceYear) {
        Prompts().ShowError(Tr(TranslatableText("Timeslices must be from 1 to 1000000 years.")));
        return;
    }
    years.push_back(year);
    ShowYears(years);
}

void SimulationParametersForm::RemoveTimeSlice() {
    const int row = list_->currentRow();
    if (row >= 0) delete list_->takeItem(row);
}

bool SimulationParametersForm::Validate(QStringList& errors) {
    bool valid = true;
    const std::vector<int> years = ListedYears(&valid);
    if (!valid) errors << Tr(TranslatableText("Timeslices must be from 1 to 1000000 years."));
    if (years.empty() && valid) {
        errors << Tr(TranslatableText("At least one timeslice is required."));
        valid = false;
    }
    return valid;
}

void SimulationParametersForm::Apply(Project& project) {
    const std::vector<int> years = ListedYears();
    std::vector<double> asDoubles(years.begin(), years.end());
    std::sort(asDoubles.begin(), asDoubles.end());
    // Years typed as whole numbers: a stored slice that shows rounded stays
    // as it was unless the list changed.
    std::vector<int> loadedYears;
    for (double slice : loadedSlices_) loadedYears.push_back(static_cast<int>(std::lround(slice)));
    std::vector<int> sortedYears = years;
    std::sort(sortedYears.begin(), sortedYears.end());
    const SamplingMethod method = samplingMethod_->currentIndex() == 1
                                      ? SamplingMethod::latinHypercube
                                      : SamplingMethod::monteCarlo;
    if (method != project.samplingMethod) {
        // Results of the other method no longer describe the project.
        project.samplingMethod = method;
        project.InvalidateResults();
    }
    if (sortedYears == loadedYears && iterations_->value() == loadedIterations_) return;
    const std::vector<double> oldSlices = project.timeSlices;
    std::string error;
    if (!AcceptSimulationParameters(project, years, iterations_->value(), error)) {
        Prompts().ShowError(ToQString(error));
        return;
    }
    // A user-defined decline has one factor per time slice.
    if (project.timeSlices != oldSlices) {
        for (Source& source : project.sources) {
            if (source.decliningSource != Source::userDefinedDecline) continue;
            std::vector<double> factors;
            for (double year : project.timeSlices)
                factors.push_back(FactorNear(oldSlices, source.declineFactors, year));
            source.declineFactors = std::move(factors);
        }
    }
}

} // namespace varnex::ui
