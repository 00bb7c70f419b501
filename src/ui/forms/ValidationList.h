#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "model/ValidationProblem.h"
#include "ui/forms/FormKind.h"

class QLabel;
class QListWidget;

namespace varnex {
class Project;
}

namespace varnex::ui {

// Where a problem of the check before a run is mended: the form, the source
// it is opened for, the field to focus and the entry (contaminant,
// inventory entry, pathway or receptor) to show first.
struct ProblemPlace {
    FormKind kind = FormKind::simulationParameters;
    int sourceIndex = -1;
    QString field;
    int entity = -1;
};
ProblemPlace PlaceOf(const ValidationProblem& problem);

// The problems that keep a project from running, one row each. Unlike a
// message box it stays open beside the program, and a row opens the form
// and field it names (double-click or Enter), so the user can work down
// the list.
class ValidationList : public QDialog {
    Q_OBJECT

public:
    explicit ValidationList(QWidget* parent = nullptr);

    void ShowProblems(const std::vector<ValidationProblem>& problems);
    const std::vector<ValidationProblem>& Problems() const { return problems_; }
    QListWidget* Rows() const { return rows_; }
    void Retranslate();

signals:
    // The user asked to mend problem `row`.
    void ProblemChosen(int row);

private:
    QLabel* hint_;
    QListWidget* rows_;
    std::vector<ValidationProblem> problems_;
};

} // namespace varnex::ui
