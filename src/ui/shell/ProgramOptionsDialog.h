#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "settings/SolverKernel.h"

class QCheckBox;
class QComboBox;

namespace varnex::ui {

// "Program Options": the language of the user interface, whether the
// distribution editor completes keywords ("Smart Insert Parameter String")
// and which advection-dispersion kernel the runs and plumes use. The dialog
// only collects the choices; the main window applies them.
class ProgramOptionsDialog : public QDialog {
    Q_OBJECT

public:
    ProgramOptionsDialog(const std::vector<std::string>& languages,
                         const std::string& currentLanguage, bool autoComplete,
                         SolverKernel currentKernel = SolverKernel::fast,
                         QWidget* parent = nullptr);

    std::string ChosenLanguage() const;
    bool ChosenAutoComplete() const;
    SolverKernel ChosenKernel() const;

private:
    QComboBox* languageBox_;
    QCheckBox* autoCompleteBox_;
    QComboBox* kernelBox_;
};

} // namespace varnex::ui
