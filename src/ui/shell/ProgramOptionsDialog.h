#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;

namespace varnex::ui {

// "Program Options": the language of the user interface and whether the
// distribution editor completes keywords ("Smart Insert Parameter String").
// The dialog only collects the choices; the main window applies them.
class ProgramOptionsDialog : public QDialog {
    Q_OBJECT

public:
    ProgramOptionsDialog(const std::vector<std::string>& languages,
                         const std::string& currentLanguage, bool autoComplete,
                         QWidget* parent = nullptr);

    std::string ChosenLanguage() const;
    bool ChosenAutoComplete() const;

private:
    QComboBox* languageBox_;
    QCheckBox* autoCompleteBox_;
};

} // namespace varnex::ui
