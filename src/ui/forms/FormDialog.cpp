#include "ui/forms/FormDialog.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "model/Project.h"
#include "persist/ProjectJson.h"
#include "settings/Translate.h"
#include "ui/forms/InputForm.h"
#include "ui/common/QtText.h"
#include "ui/common/UserPrompts.h"

namespace varnex::ui {

QString LoseChangesQuestion(const QStringList& errors) {
    const QString question = ToQString(Translate("Do you want to lose any changes made on the current form?"));
    return errors.isEmpty() ? question : errors.join(QLatin1Char('\n')) + QStringLiteral("\n\n") + question;
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
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll);
    layout->addWidget(buttons);
    const QSize wanted = form_->sizeHint() + QSize(40, 80);
    resize(wanted.boundedTo(QSize(1200, 860)));
}

bool FormDialog::TryAccept() {
    QStringList errors;
    if (!form_->Validate(errors)) {
        if (!prompts_.AskYesNo(LoseChangesQuestion(errors))) return false;
        reject();
        return true;
    }
    if (!form_->ConfirmApply()) return false;
    form_->Apply(project_);
    accept();
    return true;
}

bool FormDialog::EditProject(FormKind kind, int sourceIndex, Project& project, UserPrompts& prompts,
                             QWidget* parent) {
    const std::string before = WriteProjectJson(project);
    FormDialog dialog(CreateInputForm(kind, sourceIndex), project, prompts, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    if (WriteProjectJson(project) == before) return false;
    project.InvalidateResults();
    return true;
}

} // namespace varnex::ui
