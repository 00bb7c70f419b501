#include "ui/DialogPrompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>


namespace varnex::ui {

namespace {

// Message boxes carry the program's name as their title, as they always did.
const QString programTitle = QStringLiteral("Varnex");

} // namespace

QWidget* DialogPrompts::Parent() const {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return parent_.data();
}

void DialogPrompts::ShowError(const QString& text) { QMessageBox::critical(Parent(), programTitle, text); }

void DialogPrompts::ShowWarning(const QString& text) { QMessageBox::warning(Parent(), programTitle, text); }

void DialogPrompts::ShowInformation(const QString& title, const QString& text) {
    QMessageBox::about(Parent(), title, text);
}

bool DialogPrompts::AskYesNo(const QString& text) {
    return QMessageBox::question(Parent(), programTitle, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

UserPrompts::Answer DialogPrompts::AskYesNoCancel(const QString& text) {
    const auto button = QMessageBox::question(Parent(), programTitle, text,
                                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                              QMessageBox::Yes);
    if (button == QMessageBox::Yes) return Answer::yes;
    if (button == QMessageBox::No) return Answer::no;
    return Answer::cancel;
}

QString DialogPrompts::ChooseOpenFile(const QString& title, const QString& filter) {
    return QFileDialog::getOpenFileName(Parent(), title, QString(), filter);
}

QString DialogPrompts::ChooseSaveFile(const QString& title, const QString& suggestedPath, const QString& filter) {
    return QFileDialog::getSaveFileName(Parent(), title, suggestedPath, filter);
}

} // namespace varnex::ui
