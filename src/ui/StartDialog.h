#pragma once

#include <QDialog>

namespace varnex::ui {

// The choice offered before the main window appears: open a project, start
// a new one, or leave the program.
class StartDialog : public QDialog {
    Q_OBJECT

public:
    enum class Choice { open, newProject, exit };

    explicit StartDialog(QWidget* parent = nullptr);

    // Shows the dialog; closing it counts as "Exit".
    Choice Ask();

private:
    Choice choice_ = Choice::exit;
};

} // namespace varnex::ui
