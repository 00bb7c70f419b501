#include "ui/forms/SimulationLevelForm.h"

#include <QButtonGroup>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "model/Project.h"
#include "settings/Translate.h"
#include "ui/common/QtText.h"

namespace varnex::ui {

SimulationLevelForm::SimulationLevelForm(QWidget* parent) : InputForm(parent) {
    auto* layout = new QVBoxLayout(this);
    levels_ = new QButtonGroup(this);
    const char* explanations[] = {
        TranslatableText("Leachate concentrations at the source"),
        TranslatableText("Concentrations at the base of the unsaturated zone"),
        TranslatableText("Concentrations at receptors remote from the source"),
        TranslatableText("Concentrations entered directly at the aquifer"),
    };
    for (int level = SimulationLevel::level1; level <= SimulationLevel::level3a; ++level) {
        auto* button = new QRadioButton(ToQString(Translate(SimulationLevelName(level))), this);
        button->setObjectName(QStringLiteral("level%1").arg(level));
        levels_->addButton(button, level);
        layout->addWidget(button);
        auto* note = new QLabel(Tr(explanations[level - 1]), this);
        note->setIndent(24);
        layout->addWidget(note);
    }
    layout->addStretch();
}

QString SimulationLevelForm::Title() const { return Tr(TranslatableText("Simulation Level")); }

void SimulationLevelForm::Load(const Project& project) {
    if (QAbstractButton* button = levels_->button(project.simulationLevel))
        button->setChecked(true);
}

bool SimulationLevelForm::Validate(QStringList&) { return true; }

void SimulationLevelForm::Apply(Project& project) {
    const int level = levels_->checkedId();
    if (level < SimulationLevel::level1 || level == project.simulationLevel) return;
    project.simulationLevel = level;
    project.InvalidateResults();
}

} // namespace varnex::ui
