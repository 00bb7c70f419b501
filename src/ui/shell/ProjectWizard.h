#pragma once

#include <QDialog>
#include <memory>
#include <vector>

#include "ui/forms/FormKind.h"

class QLabel;
class QPushButton;
class QScrollArea;

namespace varnex {
class Project;
}

namespace varnex::ui {

class InputForm;
class UserPrompts;

// The guided sequence of input forms: seven opening forms, the four forms
// of every source, and three closing forms. The wizard works on a copy of
// the project; the caller takes Result() when it finished.
class ProjectWizard : public QDialog {
    Q_OBJECT

public:
    struct Step {
        FormKind kind = FormKind::projectDetails;
        int sourceIndex = -1;
    };

    // The whole sequence for the project.
    ProjectWizard(const Project& project, UserPrompts& prompts, QWidget* parent = nullptr);
    // Only the four forms of one source.
    ProjectWizard(const Project& project, int sourceIndex, UserPrompts& prompts,
                  QWidget* parent = nullptr);
    ~ProjectWizard() override;

    // 4 x sources + 10.
    static int FormCount(int sourceCount);
    // The form at `index` of the whole sequence; raises the shown
    // Exception "Unexpected Wizard Form Index" outside it.
    static Step StepAt(int index, int sourceCount);

    int CurrentIndex() const { return index_; }
    int Count() const;
    Step CurrentStep() const;
    InputForm* CurrentForm() const { return form_; }
    Project& Result() { return *working_; }

    // The buttons' work; each returns whether the wizard moved (or closed).
    bool Next();
    bool Previous();
    bool Finish();
    void reject() override;

private:
    void Build();
    bool ShowForm(int index);
    // Takes the current form's entries; false keeps the user on it.
    bool LeaveForm();

    std::unique_ptr<Project> working_;
    UserPrompts& prompts_;
    int onlySource_ = -1;
    int index_ = -1;
    int startIterations_;
    InputForm* form_ = nullptr;
    QLabel* title_;
    QLabel* position_;
    QScrollArea* area_;
    QPushButton* previous_;
    QPushButton* next_;
    QPushButton* finish_;
};

} // namespace varnex::ui
