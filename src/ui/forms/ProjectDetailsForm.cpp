#include "ui/forms/ProjectDetailsForm.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <utility>

#include "model/Project.h"
#include "settings/Translate.h"
#include "ui/common/QtText.h"

namespace varnex::ui {

ProjectDetailsForm::ProjectDetailsForm(QWidget* parent) : InputForm(parent) {
    auto* layout = new QFormLayout(this);
    // Short entries at their natural width read better than stretched ones.
    layout->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    const auto line = [this](const char* name) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setMinimumWidth(420);
        LimitTextLength(edit);
        return edit;
    };
    title_ = line("title");
    clientName_ = line("clientName");
    projectNumber_ = line("projectNumber");
    preparedBy_ = line("preparedBy");
    dateSaved_ = new QLabel(this);
    dateSaved_->setObjectName(QStringLiteral("dateSaved"));
    comment_ = new QPlainTextEdit(this);
    comment_->setObjectName(QStringLiteral("comment"));
    comment_->setMinimumSize(420, 160);
    comment_->setMaximumHeight(260);
    layout->addRow(Tr(TranslatableText("Title:")), title_);
    layout->addRow(Tr(TranslatableText("Client Name:")), clientName_);
    layout->addRow(Tr(TranslatableText("Project Number:")), projectNumber_);
    layout->addRow(Tr(TranslatableText("Prepared By:")), preparedBy_);
    layout->addRow(Tr(TranslatableText("Date:")), dateSaved_);
    layout->addRow(Tr(TranslatableText("Comment:")), comment_);
}

QString ProjectDetailsForm::Title() const { return Tr(TranslatableText("Project Details")); }

void ProjectDetailsForm::Load(const Project& project) {
    title_->setText(ToQString(project.details.title));
    clientName_->setText(ToQString(project.details.clientName));
    projectNumber_->setText(ToQString(project.details.projectNumber));
    preparedBy_->setText(ToQString(project.details.preparedBy));
    comment_->setPlainText(ToQString(project.details.comment));
    dateSaved_->setText(ToQString(project.dateSaved));
}

bool ProjectDetailsForm::Validate(QStringList& errors) {
    // The comment box takes any length of text; the line edits stop at the
    // limit in characters, which text beyond ASCII can still exceed in bytes.
    bool valid = true;
    const std::pair<const char*, QString> texts[] = {
        {TranslatableText("Title:"), title_->text()},
        {TranslatableText("Client Name:"), clientName_->text()},
        {TranslatableText("Project Number:"), projectNumber_->text()},
        {TranslatableText("Prepared By:"), preparedBy_->text()},
        {TranslatableText("Comment:"), comment_->toPlainText()},
    };
    for (const auto& [label, text] : texts)
        if (!CheckTextFits(text, Tr(label), errors)) valid = false;
    return valid;
}

void ProjectDetailsForm::Apply(Project& project) {
    project.details.title = ToStdString(title_->text());
    project.details.clientName = ToStdString(clientName_->text());
    project.details.projectNumber = ToStdString(projectNumber_->text());
    project.details.preparedBy = ToStdString(preparedBy_->text());
    project.details.comment = ToStdString(comment_->toPlainText());
}

} // namespace varnex::ui
