#include "ui/common/DialogPrompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include "settings/Translate.h"
#include "ui/common/QtText.h"

namespace varnex::ui {

namespace {

// Message boxes carry the program's name as their title, as they always did.
const QString programTitle = QStringLiteral("Varnex");

// A box whose buttons speak the language in force: Qt's own button texts
// follow only Qt's translations, which the program does not ship.
QMessageBox::StandardButton Ask(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                const QString& text, QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton preferred) {
    QMessageBox box(icon, title, text, buttons, parent);
    box.setDefaultButton(preferred);
    DialogPrompts::TranslateButtons(box);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

void DialogPrompts::TranslateButtons(QMessageBox& box) {
    const struct {
        QMessageBox::StandardButton button;
        const char* caption;
    } captions[] = {
        {QMessageBox::Yes, TranslatableText("&Yes")},
        {QMessageBox::No, TranslatableText("&No")},
        {QMessageBox::Cancel, TranslatableText("Cancel")},
        {QMessageBox::Ok, TranslatableText("OK")},
    };
    for (const auto& [button, caption] : captions)
        if (QAbstractButton* shown = box.button(button))
            shown->setText(ToQString(Translate(caption)));
}

QWidget* DialogPrompts::Parent() const {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return parent_.data();
}

void DialogPrompts::ShowError(const QString& text) {
    Ask(Parent(), QMessageBox::Critical, programTitle, text, QMessageBox::Ok, QMessageBox::Ok);
}

void DialogPrompts::ShowWarning(const QString& text) {
    Ask(Parent(), QMessageBox::Warning, programTitle, text, QMessageBox::Ok, QMessageBox::Ok);
}

void DialogPrompts::ShowInformation(const QString& title, const QString& text) {
    QMessageBox::about(Parent(), title, text);
}

bool DialogPrompts::AskYesNo(const QString& text) {
    return Ask(Parent(), QMessageBox::Question, programTitle, text,
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

UserPrompts::Answer DialogPrompts::AskYesNoCancel(const QString& text) {
    const auto button =
        Ask(Parent(), QMessageBox::Question, programTitle, text,
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (button == QMessageBox::Yes) return Answer::yes;
    if (button == QMessageBox::No) return Answer::no;
    return Answer::cancel;
}

QString DialogPrompts::ChooseOpenFile(const QString& title, const QString& filter) {
    return QFileDialog::getOpenFileName(Parent(), title, QString(), filter);
}

QString DialogPrompts::ChooseSaveFile(const QString& title, const QString& suggestedPath,
                                      const QString& filter) {
    return QFileDialog::getSaveFileName(Parent(), title, suggestedPath, filter);
}

} // namespace varnex::ui
