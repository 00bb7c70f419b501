#include "ui/forms/ValidationList.h"

#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "settings/Translate.h"
#include "ui/common/QtText.h"

namespace varnex::ui {

namespace {

// Enter on a row opens it, as a double click does; the list would otherwise
// pass the key to the dialog, where it closes it.
class ProblemRows : public QListWidget {
public:
    using QListWidget::QListWidget;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
            emit itemActivated(currentItem());
            event->accept();
            return;
        }
        QListWidget::keyPressEvent(event);
    }
};

// A source's inputs are split between its details and its infiltration;
// the latter holds the rain and soakaway inputs.
bool InfiltrationInput(const std::string& key) {
    for (const char* name :
         {"infiltration", "maximumInfiltrationRate", "baseArea", "catchmentArea", "runoffRecharge"})
        if (key == name) return true;
    return false;
}

} // namespace

ProblemPlace PlaceOf(const ValidationProblem& problem) {
    using E = ValidationProblem::Entity;
    ProblemPlace place;
    place.field = ToQString(problem.field);
    switch (problem.entity) {
    case E::project:
        place.kind =
            problem.field == "sourceCount" ? FormKind::numberOfSources : FormKind::projectDetails;
        break;
    case E::contaminant:
        place.kind = FormKind::contaminantInventory;
        place.entity = problem.index;
        break;
    case E::source:
        place.kind =
            InfiltrationInput(problem.field) ? FormKind::infiltration : FormKind::sourceDetails;
        place.sourceIndex = problem.source;
        if (problem.field == "vertices") place.field = QStringLiteral("vertexTable");
        if (problem.field == "declineFactors") place.field = QStringLiteral("declineGrid");
        break;
    case E::sourceEntry:
    case E::pathwayEntry:
        place.kind = FormKind::sourceInventory;
        place.sourceIndex = problem.source;
        place.entity = problem.index;
        if (problem.entity == E::pathwayEntry)
            place.field = QStringLiteral("pathway.") + place.field;
        break;
    case E::pathway:
        place.kind = FormKind::unsaturatedPathway;
        place.sourceIndex = problem.source;
        place.entity = problem.index;
        break;
    case E::receptor:
        place.kind = FormKind::receptors;
        place.entity = problem.index;
        break;
    case E::aquifer: place.kind = FormKind::aquiferPathway; break;
    case E::simulation:
        place.kind = problem.field == "backgroundMapFile" ? FormKind::domain
                                                          : FormKind::simulationParameters;
        break;
    }
    return place;
}

ValidationList::ValidationList(QWidget* parent)
    : QDialog(parent), hint_(new QLabel(this)), rows_(new ProblemRows(this)) {
    setObjectName(QStringLiteral("ValidationList"));
    rows_->setObjectName(QStringLiteral("validationRows"));
    rows_->setWordWrap(true);
    rows_->setAlternatingRowColors(true);
    hint_->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hint_);
    layout->addWidget(rows_, 1);
    connect(rows_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { emit ProblemChosen(rows_->row(item)); });
    resize(620, 360);
    Retranslate();
}

void ValidationList::Retranslate() {
    setWindowTitle(ToQString(Translate("Validation Errors")));
    hint_->setText(ToQString(Translate(
        "Double-click a problem, or press Enter on it, to open the form where it is mended.")));
}

void ValidationList::ShowProblems(const std::vector<ValidationProblem>& problems) {
    problems_ = problems;
    rows_->clear();
    for (const ValidationProblem& problem : problems_) {
        // A multi-line engine text (several faults of one input) stays one row.
        QString text = ToQString(problem.text);
        text.replace(QStringLiteral("\n "), QStringLiteral("\n"));
        rows_->addItem(text);
    }
    if (rows_->count() > 0) rows_->setCurrentRow(0);
}

} // namespace varnex::ui
