#pragma once

#include <QDialog>

#include "ui/forms/FormKind.h"

class QLabel;

namespace varnex {
class Project;
}

namespace varnex::ui {

class InputForm;
class UserPrompts;

// One input form in a dialog with OK and Cancel. OK takes the entries into
// the project only when the form's checks pass; with failing entries the
// form stays open with the faults listed under it and the first faulty
// field focused, so that nothing typed is lost.
class FormDialog : public QDialog {
    Q_OBJECT

public:
    // Takes ownership of `form` and shows `project` in it; `project` is
    // written to only by an accepted OK.
    FormDialog(InputForm* form, Project& project, UserPrompts& prompts, QWidget* parent = nullptr);

    InputForm* Form() const { return form_; }
    // OK: true when the dialog closed with the entries taken, false when it
    // stays open.
    bool TryAccept();
    // The faults listed by the last refused OK, empty after none.
    QString ShownErrors() const;
    // Focuses a field of the form (see InputForm::FocusField).
    void FocusField(const QString& field, int entity);

    // Shows the form of `kind` modally; true when the project changed.
    static bool EditProject(FormKind kind, int sourceIndex, Project& project, UserPrompts& prompts,
                            QWidget* parent);
    // The same with the field named `field` of entry `entity` focused.
    static bool EditProject(FormKind kind, int sourceIndex, Project& project, UserPrompts& prompts,
                            QWidget* parent, const QString& field, int entity);

private:
    InputForm* form_;
    Project& project_;
    UserPrompts& prompts_;
    QLabel* errors_ = nullptr;
};

// The text of every form's question when it is left with failing entries.
QString LoseChangesQuestion(const QStringList& errors);

} // namespace varnex::ui
