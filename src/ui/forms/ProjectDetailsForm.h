#pragma once

#include "ui/forms/InputForm.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace varnex::ui {

// "Project Details": the descriptive texts of the project.
class ProjectDetailsForm : public InputForm {
    Q_OBJECT

public:
    explicit ProjectDetailsForm(QWidget* parent = nullptr);

    QString Title() const override;
    void Load(const Project& project) override;
    bool Validate(QStringList& errors) override;
    void Apply(Project& project) override;

private:
    QLineEdit* title_;
    QLineEdit* clientName_;
    QLineEdit* projectNumber_;
    QLineEdit* preparedBy_;
    QLabel* dateSaved_;
    QPlainTextEdit* comment_;
};

} // namespace varnex::ui
