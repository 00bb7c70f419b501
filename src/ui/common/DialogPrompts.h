#pragma once

#include <QPointer>
#include <QWidget>

#include "ui/common/UserPrompts.h"

class QMessageBox;

namespace varnex::ui {

// The prompts as message boxes and file dialogs over a parent window.
class DialogPrompts : public UserPrompts {
public:
    explicit DialogPrompts(QWidget* parent) : parent_(parent) {}

    void ShowError(const QString& text) override;
    void ShowWarning(const QString& text) override;
    void ShowInformation(const QString& title, const QString& text) override;
    bool AskYesNo(const QString& text) override;
    Answer AskYesNoCancel(const QString& text) override;
    QString ChooseOpenFile(const QString& title, const QString& filter) override;
    QString ChooseSaveFile(const QString& title, const QString& suggestedPath,
                           const QString& filter) override;

    // Gives the box's standard buttons the texts of the language in force.
    static void TranslateButtons(QMessageBox& box);

private:
    // The window the boxes belong to; the active modal dialog (the progress
    // window during a run) takes precedence so a box never hides behind it.
    QWidget* Parent() const;

    QPointer<QWidget> parent_;
};

} // namespace varnex::ui
