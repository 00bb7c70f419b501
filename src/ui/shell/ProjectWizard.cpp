#include "ui/shell/ProjectWizard.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "base/Exception.h"
#include "base/TextFormat.h"
#include "model/Project.h"
#include "settings/Translate.h"
#include "stochastic/IterationCount.h"
#include "ui/common/QtText.h"
#include "ui/common/UserPrompts.h"
#include "ui/forms/FormDialog.h"
#include "ui/forms/InputForm.h"

namespace varnex::ui {

namespace {

constexpr FormKind openingForms[] = {FormKind::projectDetails,       FormKind::simulationLevel,
                                     FormKind::activeProcesses,      FormKind::domain,
                                     FormKind::waterQualityStandard, FormKind::contaminantInventory,
                                     FormKind::numberOfSources};
constexpr FormKind sourceForms[] = {FormKind::sourceInventory, FormKind::sourceDetails,
                                    FormKind::infiltration, FormKind::unsaturatedPathway};
constexpr FormKind closingForms[] = {FormKind::aquiferPathway, FormKind::receptors,
                                     FormKind::simulationParameters};
constexpr int openingCount = 7;
constexpr int formsPerSource = 4;
constexpr int closingCount = 3;

} // namespace

int ProjectWizard::FormCount(int sourceCount) {
    return formsPerSource * sourceCount + openingCount + closingCount;
}

ProjectWizard::Step ProjectWizard::StepAt(int index, int sourceCount) {
    if (index < 0 || sourceCount < 0 || index >= FormCount(sourceCount))
        throw Exception(Translate("Unexpected Wizard Form Index"));
    if (index < openingCount) return {openingForms[index], -1};
    const int inSources = index - openingCount;
    if (inSources < formsPerSource * sourceCount)
        return {sourceForms[inSources % formsPerSource], inSources / formsPerSource};
    return {closingForms[inSources - formsPerSource * sourceCount], -1};
}

ProjectWizard::ProjectWizard(const Project& project, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), working_(std::make_unique<Project>(project)), prompts_(prompts),
      startIterations_(IterationCount()) {
    Build();
    ShowForm(0);
}

ProjectWizard::ProjectWizard(const Project& project, int sourceIndex, UserPrompts& prompts,
                             QWidget* parent)
    : QDialog(parent), working_(std::make_unique<Project>(project)), prompts_(prompts),
      onlySource_(sourceIndex), startIterations_(IterationCount()) {
    Build();
    ShowForm(0);
}

ProjectWizard::~ProjectWizard() = default;

void ProjectWizard::Build() {
    setObjectName(QStringLiteral("ProjectWizard"));
    setWindowTitle(ToQString(Translate("Project Wizard")));
    title_ = new QLabel(this);
    title_->setObjectName(QStringLiteral("wizardTitle"));
    QFont big = title_->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.3);
    title_->setFont(big);
    position_ = new QLabel(this);
    position_->setObjectName(QStringLiteral("wizardPosition"));
    auto* header = new QHBoxLayout;
    header->addWidget(title_, 1);
    header->addWidget(position_);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    area_ = new QScrollArea(this);
    area_->setWidgetResizable(true);
    area_->setFrameShape(QFrame::NoFrame);

    previous_ = new QPushButton(ToQString(Translate("&Previous")), this);
    previous_->setObjectName(QStringLiteral("previous"));
    next_ = new QPushButton(ToQString(Translate("&Next")), this);
    next_->setObjectName(QStringLiteral("next"));
    finish_ = new QPushButton(ToQString(Translate("Finish")), this);
    finish_->setObjectName(QStringLiteral("finish"));
    auto* cancel = new QPushButton(ToQString(Translate("Cancel")), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    next_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(previous_);
    buttons->addWidget(next_);
    buttons->addSpacing(12);
    buttons->addWidget(finish_);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(header);
    layout->addWidget(line);
    layout->addWidget(area_, 1);
    layout->addLayout(buttons);
    connect(previous_, &QPushButton::clicked, this, [this] { Previous(); });
    connect(next_, &QPushButton::clicked, this, [this] { Next(); });
    connect(finish_, &QPushButton::clicked, this, [this] { Finish(); });
    connect(cancel, &QPushButton::clicked, this, &ProjectWizard::reject);
    resize(980, 720);
}

int ProjectWizard::Count() const {
    if (onlySource_ >= 0) return formsPerSource;
    return FormCount(static_cast<int>(working_->sources.size()));
}

ProjectWizard::Step ProjectWizard::CurrentStep() const {
    if (onlySource_ >= 0) return {sourceForms[index_], onlySource_};
    return StepAt(index_, static_cast<int>(working_->sources.size()));
}

bool ProjectWizard::ShowForm(int index) {
    Step step;
    try {
        if (onlySource_ >= 0) {
            if (index < 0 || index >= formsPerSource)
                throw Exception(Translate("Unexpected Wizard Form Index"));
            step = {sourceForms[index], onlySource_};
        } else {
            step = StepAt(index, static_cast<int>(working_->sources.size()));
        }
    } catch (const Exception& failure) {
        prompts_.ShowError(ToQString(failure.Message()));
        return false;
    }
    InputForm* form = CreateInputForm(step.kind, step.sourceIndex);
    form->SetPrompts(&prompts_);
    form->Load(*working_);
    if (form_) form_->deleteLater();
    area_->takeWidget();
    area_->setWidget(form);
    form_ = form;
    index_ = index;

    QString title = form_->Title();
    if (step.sourceIndex >= 0 &&
        static_cast<std::size_t>(step.sourceIndex) < working_->sources.size() &&
        step.kind == FormKind::sourceDetails)
        title += QStringLiteral(" - ") +
                 ToQString(working_->sources[static_cast<std::size_t>(step.sourceIndex)].name);
    title_->setText(title);
    position_->setText(
        ToQString(FormatText(TranslateFormat("Step %d of %d"), {static_cast<long long>(index_ + 1),
                                                                static_cast<long long>(Count())})));
    previous_->setEnabled(index_ > 0);
    next_->setEnabled(index_ + 1 < Count());
    return true;
}

bool ProjectWizard::LeaveForm() {
    QStringList errors;
    if (!form_->Validate(errors)) return prompts_.AskYesNo(LoseChangesQuestion(errors));
    if (!form_->ConfirmApply()) return false;
    form_->Apply(*working_);
    return true;
}

bool ProjectWizard::Next() {
    if (index_ + 1 >= Count()) return false;
    if (!LeaveForm()) return false;
    // The number of sources may have changed on this form.
    return ShowForm(std::min(index_ + 1, Count() - 1));
}

bool ProjectWizard::Previous() {
    if (index_ <= 0) return false;
    if (!LeaveForm()) return false;
    return ShowForm(std::min(index_ - 1, Count() - 1));
}

bool ProjectWizard::Finish() {
    if (!LeaveForm()) return false;
    accept();
    return true;
}

void ProjectWizard::reject() {
    // The iteration count is the program's, not the copy's: undo it.
    SetIterationCount(startIterations_);
    QDialog::reject();
}

} // namespace varnex::ui
