#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "ui/common/UserPrompts.h"

namespace varnex::ui::test {

// Prompts with answers given in advance; every message shown is recorded.
// A question without a prepared answer is answered No / Cancel / no file.
class ScriptedPrompts : public UserPrompts {
public:
    void ShowError(const QString& text) override { errors << text; }
    void ShowWarning(const QString& text) override { warnings << text; }
    void ShowInformation(const QString& title, const QString& text) override {
        information << title + "\n" + text;
    }
    bool AskYesNo(const QString& text) override {
        questions << text;
        return yesNoAnswers.isEmpty() ? false : yesNoAnswers.takeFirst();
    }
    Answer AskYesNoCancel(const QString& text) override {
        questions << text;
        return yesNoCancelAnswers.isEmpty() ? Answer::cancel : yesNoCancelAnswers.takeFirst();
    }
    QString ChooseOpenFile(const QString&, const QString&) override {
        return openFiles.isEmpty() ? QString() : openFiles.takeFirst();
    }
    QString ChooseSaveFile(const QString&, const QString&, const QString&) override {
        return saveFiles.isEmpty() ? QString() : saveFiles.takeFirst();
    }

    QList<bool> yesNoAnswers;
    QList<Answer> yesNoCancelAnswers;
    QStringList openFiles;
    QStringList saveFiles;

    QStringList errors;
    QStringList warnings;
    QStringList information;
    QStringList questions;
};

} // namespace varnex::ui::test
