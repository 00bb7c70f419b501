#include "ui/forms/FormDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

#include "model/Project.h"
#include "persist/ProjectJson.h"
#include "settings/Translate.h"
#include "ui/common/QtText.h"
#include "ui/common/UserPrompts.h"
#include "ui/forms/InputForm.h"

namespace varnex::ui {

void FormDialog::FocusField(const QString& field, int entity) {
    form_->FocusField(field, entity);
    // A hidden widget takes the focus only once its window is shown.
    QTimer::singleShot(0, this, [this, field, entity] { form_->FocusField(field, entity); });
}

QString LoseChangesQuestion(const QStringList& errors) {
    const QString question =
        ToQString(Translate("Do you want to lose any changes made on the current form?"));
    return errors.isEmpty() ? question
                            : errors.join(QLatin1Char('\n')) + QStringLiteral("\n\n") + question;
}

FormDialog::FormDialog(InputForm* form, Project& project, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), form_(form), project_(project), prompts_(prompts) {
    setObjectName(QStringLiteral("FormDialog"));
    form_->SetPrompts(&prompts_);
    form_->Load(project_);
    setWindowTitle(form_->Title());

    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(form_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(ToQString(Translate("OK")));
    buttons->button(QDialogButtonBox::Cancel)->setText(ToQString(Translate("Cancel")));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { TryAccept(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Why OK did not close the form: the faults stay in view while the user
    // mends them, instead of in a box that hides the form.
    errors_ = new QLabel(this);
    errors_->setObjectName(QStringLiteral("formErrors"));
    errors_->setWordWrap(true);
    errors_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QPalette colours = errors_->palette();
    colours.setColor(QPalette::WindowText, QColor(0xB0, 0x00, 0x20));
    errors_->setPalette(colours);
    errors_->hide();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll);
    layout->addWidget(errors_);
    layout->addWidget(buttons);
    const QSize wanted = form_->sizeHint() + QSize(40, 80);
    // Within a 1280 x 800 screen, less its task bar and the frame.
    resize(wanted.boundedTo(QSize(1240, 720)));
}

QString FormDialog::ShownErrors() const {
    return errors_->isHidden() ? QString() : errors_->text();
}

bool FormDialog::TryAccept() {
    QStringList errors;
    if (!form_->Validate(errors)) {
        // Nothing is thrown away: the form stays open with every entry as
        // typed, the first faulty field takes the focus and the faults are
        // listed under the form. Cancel is the way out without them.
        errors_->setText(errors.join(QLatin1Char('\n')));
        errors_->setVisible(!errors.isEmpty());
        form_->FocusFirstInvalidField();
        return false;
    }
    errors_->clear();
    errors_->hide();
    if (!form_->ConfirmApply()) return false;
    form_->Apply(project_);
    accept();
    return true;
}

bool FormDialog::EditProject(FormKind kind, int sourceIndex, Project& project, UserPrompts& prompts,
                             QWidget* parent) {
    return EditProject(kind, sourceIndex, project, prompts, parent, QString(), -1);
}

bool FormDialog::EditProject(FormKind kind, int sourceIndex, Project& project, UserPrompts& prompts,
                             QWidget* parent, const QString& field, int entity) {
    const std::string before = WriteProjectJson(project);
    FormDialog dialog(CreateInputForm(kind, sourceIndex), project, prompts, parent);
    if (!field.isEmpty()) dialog.FocusField(field, entity);
    if (dialog.exec() != QDialog::Accepted) return false;
    if (WriteProjectJson(project) == before) return false;
    project.InvalidateResults();
    return true;
}

} // namespace varnex::ui
