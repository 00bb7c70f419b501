#pragma once

#include <QString>

namespace varnex::ui {

// Every question and message the shell puts to the user goes through this,
// so the commands can be driven without a person at the screen (tests,
// and later scripted use) while the program itself shows dialogs.
class UserPrompts {
public:
    enum class Answer { yes, no, cancel };

    virtual ~UserPrompts() = default;

    virtual void ShowError(const QString& text) = 0;
    virtual void ShowWarning(const QString& text) = 0;
    virtual void ShowInformation(const QString& title, const QString& text) = 0;
    virtual bool AskYesNo(const QString& text) = 0;
    virtual Answer AskYesNoCancel(const QString& text) = 0;
    // The chosen path, or empty when the user cancelled.
    virtual QString ChooseOpenFile(const QString& title, const QString& filter) = 0;
    virtual QString ChooseSaveFile(const QString& title, const QString& suggestedPath,
                                   const QString& filter) = 0;
};

} // namespace varnex::ui
