#pragma once

#include <QDialog>

#include "ui/forms/FormKind.h"

namespace varnex {
class Project;
}

namespace varnex::ui {

class InputForm;
class UserPrompts;

// One input form in a dialog with OK and Cancel. OK takes the entries into
// the project only when the form's checks pass; with failing entries the
// user chooses between correcting them and leaving without them.
class FormDialog : public QDialog {
    Q_OBJECT

public:
    // Takes ownership of `form` and shows `project` in it; `project` is
    // written to only by an accepted OK.
    FormDialog(InputForm* form, Project& project, UserPrompts& prompts, QWidget* parent = nullptr);

    InputForm* Form() const { return form_; }
    // OK: true when the dialog closed (with the entries taken, or left
    // without them at the user's word), false when it stays open.
    bool TryAccept();

    // Shows the form of `kind` modally; true when the project changed.
    static bool EditProject(FormKind kind, int sourceIndex, Project& project, UserPrompts& prompts,
                            QWidget* parent);

private:
    InputForm* form_;
    Project& project_;
    UserPrompts& prompts_;
};

// The text of every form's question when it is left with failing entries.
QString LoseChangesQuestion(const QStringList& errors);

} // namespace varnex::ui
