#include "ui/shell/RunProgressDialog.h"

#include <QFont>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "base/TextFormat.h"
#include "model/Project.h"
#include "settings/Translate.h"
#include "stochastic/IterationCount.h"
#include "ui/common/QtText.h"
#include "ui/common/UserPrompts.h"

namespace varnex::ui {

RunProgressDialog::RunProgressDialog(Project& project, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), project_(project), prompts_(prompts) {
    setWindowTitle(ToQString(Translate("Calculating...")));
    setModal(true);
    // No close box: leaving the window must go through the Stop question.
    setWindowFlags((windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint) &
                   ~(Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint));

    stageLabel_ = new QLabel(ToQString(Translate("Sampling")), this);
    QFont stageFont = stageLabel_->font();
    stageFont.setBold(true);
    stageFont.setPointSizeF(stageFont.pointSizeF() * 1.15);
    stageLabel_->setFont(stageFont);
    iterationLabel_ =
        new QLabel(ToQString(FormatText(TranslateFormat("Iteration: %d of %d"),
                                        {0LL, static_cast<long long>(IterationCount())})),
                   this);
    timeRemainingLabel_ =
        new QLabel(ToQString(Translate("Estimated Time Remaining for Stage: ")), this);
    // The iterations done of the stage, from 0 to N afresh in every stage.
    activity_ = new QProgressBar(this);
    activity_->setRange(0, std::max(1, IterationCount()));
    activity_->setValue(0);
    activity_->setTextVisible(true);
    activity_->setFormat(QStringLiteral("%p%"));

    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_BrowserReload).pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);

    stopButton_ = new QPushButton(ToQString(Translate("&Stop")), this);
    stopButton_->setAutoDefault(false);
    connect(stopButton_, &QPushButton::clicked, this, &RunProgressDialog::OnStop);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(6);
    texts->addWidget(stageLabel_);
    texts->addWidget(iterationLabel_);
    texts->addWidget(timeRemainingLabel_);
    texts->addSpacing(4);
    texts->addWidget(activity_);
    auto* top = new QHBoxLayout;
    top->setSpacing(14);
    top->addWidget(icon);
    top->addLayout(texts, 1);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(stopButton_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addLayout(top);
    layout->addSpacing(6);
    layout->addWidget(line);
    layout->addLayout(buttons);
    setMinimumWidth(420);

    connect(&observer_, &RunProgressObserver::StageTextChanged, stageLabel_, &QLabel::setText);
    connect(&observer_, &RunProgressObserver::IterationTextChanged, iterationLabel_,
            &QLabel::setText);
    connect(&observer_, &RunProgressObserver::IterationsDoneChanged, this,
            [this](qint64 done, qint64 total) {
                // A run of 0 iterations has nothing to count: an empty bar, not a
                // busy one.
                const int maximum =
                    static_cast<int>(std::clamp<qint64>(total, 1, std::numeric_limits<int>::max()));
                activity_->setRange(0, maximum);
                activity_->setValue(static_cast<int>(std::clamp<qint64>(done, 0, maximum)));
            });
    connect(&observer_, &RunProgressObserver::TimeRemainingTextChanged, timeRemainingLabel_,
            &QLabel::setText);
    connect(&observer_, &RunProgressObserver::WarningIssued, this,
            [this](const QString& text) { warnings_ << text; });
    connect(&observer_, &RunProgressObserver::RunFailed, this,
            [this](const QString& text) { failure_ = text; });
}

RunProgressDialog::~RunProgressDialog() {
    // Only reachable with a live thread if the window is destroyed during a
    // run; the run must not outlive the project it works on.
    if (worker_.joinable()) {
        observer_.EndStopQuestion(true);
        worker_.join();
    }
}

QString RunProgressDialog::StageText() const { return stageLabel_->text(); }
QString RunProgressDialog::IterationText() const { return iterationLabel_->text(); }
QString RunProgressDialog::TimeRemainingText() const { return timeRemainingLabel_->text(); }

bool RunProgressDialog::RunModal(const RunOptions& options) {
    runEnded_ = false;
    succeeded_ = false;
    worker_ = std::thread([this, options] {
        const bool succeeded = RunSimulation(project_, observer_, options);
        // Queued behind every text the run reported, so they all arrive first.
        QMetaObject::invokeMethod(
            this, [this, succeeded] { OnRunFinished(succeeded); }, Qt::QueuedConnection);
    });
    exec();
    if (worker_.joinable()) worker_.join();
    return succeeded_;
}

void RunProgressDialog::OnStop() {
    if (runEnded_ || questionOpen_ || observer_.StopConfirmed()) return;
    questionOpen_ = true;
    observer_.BeginStopQuestion();
    const bool stop = prompts_.AskYesNo(ToQString(Translate("Are you sure?")));
    observer_.EndStopQuestion(stop);
    questionOpen_ = false;
    if (stop) stopButton_->setEnabled(false);
    // The run may have ended (outside the iterations it does not wait for
    // the answer) while the question was open.
    if (runEnded_) Finish();
}

void RunProgressDialog::reject() { OnStop(); }

void RunProgressDialog::OnRunFinished(bool succeeded) {
    if (worker_.joinable()) worker_.join();
    runEnded_ = true;
    succeeded_ = succeeded;
    if (!questionOpen_) Finish();
}

void RunProgressDialog::Finish() {
    // A stop the user confirmed stands even when the run got to its end
    // first: they were promised that nothing is kept.
    if (observer_.StopConfirmed()) {
        project_.InvalidateResults();
        succeeded_ = false;
    }
    done(succeeded_ ? QDialog::Accepted : QDialog::Rejected);
}

} // namespace varnex::ui
