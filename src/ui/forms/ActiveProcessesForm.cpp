#include "ui/forms/ActiveProcessesForm.h"

#include <QCheckBox>
#include <QVBoxLayout>

#include "model/Project.h"
#include "settings/Translate.h"

namespace varnex::ui {

ActiveProcessesForm::ActiveProcessesForm(QWidget* parent) : InputForm(parent) {
    auto* layout = new QVBoxLayout(this);
    const auto box = [this, layout](const char* name, const char* label) {
        auto* check = new QCheckBox(Tr(label), this);
        check->setObjectName(QString::fromLatin1(name));
        layout->addWidget(check);
        return check;
    };
    retardedTravelUz_ = box("retardedTravelUz", TranslatableText("Retarded Travel in UZ"));
    biodegradationUz_ = box("biodegradationUz", TranslatableText("Biodegradation in UZ"));
    retardedTravelAquifer_ =
        box("retardedTravelAquifer", TranslatableText("Retarded Travel in Aquifer"));
    biodegradationAquifer_ =
        box("biodegradationAquifer", TranslatableText("Biodegradation in Aquifer"));
    layout->addStretch();
}

QString ActiveProcessesForm::Title() const { return Tr(TranslatableText("Active Processes")); }

void ActiveProcessesForm::Load(const Project& project) {
    retardedTravelUz_->setChecked(project.processes.retardedTravelUz);
    biodegradationUz_->setChecked(project.processes.biodegradationUz);
    retardedTravelAquifer_->setChecked(project.processes.retardedTravelAquifer);
    biodegradationAquifer_->setChecked(project.processes.biodegradationAquifer);
}

bool ActiveProcessesForm::Validate(QStringList&) { return true; }

void ActiveProcessesForm::Apply(Project& project) {
    ActiveProcesses chosen;
    chosen.retardedTravelUz = retardedTravelUz_->isChecked();
    chosen.biodegradationUz = biodegradationUz_->isChecked();
    chosen.retardedTravelAquifer = retardedTravelAquifer_->isChecked();
    chosen.biodegradationAquifer = biodegradationAquifer_->isChecked();
    const ActiveProcesses& old = project.processes;
    if (chosen.retardedTravelUz == old.retardedTravelUz &&
        chosen.biodegradationUz == old.biodegradationUz &&
        chosen.retardedTravelAquifer == old.retardedTravelAquifer &&
        chosen.biodegradationAquifer == old.biodegradationAquifer)
        return;
    project.processes = chosen;
    project.InvalidateResults();
}

} // namespace varnex::ui
