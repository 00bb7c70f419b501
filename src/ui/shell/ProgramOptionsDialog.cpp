#include "ui/shell/ProgramOptionsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "settings/SolverSettings.h"
#include "settings/Translate.h"
#include "settings/UserInterfaceSettings.h"
#include "ui/common/QtText.h"

namespace varnex::ui {

ProgramOptionsDialog::ProgramOptionsDialog(const std::vector<std::string>& languages,
                                           const std::string& currentLanguage, bool autoComplete,
                                           SolverKernel currentKernel, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(ToQString(Translate(UserInterfaceSettings::optionsDialogTitle)));

    languageBox_ = new QComboBox(this);
    languageBox_->setObjectName(QStringLiteral("language"));
    for (const std::string& language : languages) languageBox_->addItem(ToQString(language));
    // A language no longer listed stays visible, so OK does not change it
    // behind the user's back.
    if (languageBox_->findText(ToQString(currentLanguage)) < 0)
        languageBox_->addItem(ToQString(currentLanguage));
    languageBox_->setCurrentText(ToQString(currentLanguage));
    languageBox_->setMinimumWidth(200);

    autoCompleteBox_ =
        new QCheckBox(ToQString(Translate(UserInterfaceSettings::autoCompleteLabel)), this);
    autoCompleteBox_->setChecked(autoComplete);

    // The kernels in the order of their preference codes; each entry keeps
    // its kernel, so the order of the list is free to change.
    kernelBox_ = new QComboBox(this);
    kernelBox_->setObjectName(QStringLiteral("solverKernel"));
    const struct {
        SolverKernel kernel;
        const char* label;
    } kernels[] = {{SolverKernel::fast, SolverSettings::fastKernelLabel},
                   {SolverKernel::reference, SolverSettings::referenceKernelLabel},
                   {SolverKernel::exact, SolverSettings::exactKernelLabel}};
    for (const auto& entry : kernels) {
        kernelBox_->addItem(ToQString(Translate(entry.label)), static_cast<int>(entry.kernel));
        if (entry.kernel == currentKernel) kernelBox_->setCurrentIndex(kernelBox_->count() - 1);
    }

    auto* group = new QGroupBox(this);
    auto* form = new QFormLayout(group);
    form->addRow(ToQString(Translate(UserInterfaceSettings::languageLabel)), languageBox_);
    form->addRow(autoCompleteBox_);
    form->addRow(ToQString(Translate(SolverSettings::kernelLabel)), kernelBox_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(ToQString(Translate("OK")));
    buttons->button(QDialogButtonBox::Cancel)->setText(ToQString(Translate("Cancel")));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

std::string ProgramOptionsDialog::ChosenLanguage() const {
    return ToStdString(languageBox_->currentText());
}

bool ProgramOptionsDialog::ChosenAutoComplete() const { return autoCompleteBox_->isChecked(); }

SolverKernel ProgramOptionsDialog::ChosenKernel() const {
    return static_cast<SolverKernel>(kernelBox_->currentData().toInt());
}

} // namespace varnex::ui
