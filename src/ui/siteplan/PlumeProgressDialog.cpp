#include "ui/siteplan/PlumeProgressDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/Project.h"
#include "settings/Translate.h"
#include "ui/common/QtText.h"

namespace varnex::ui {

PlumeProgressDialog::PlumeProgressDialog(Project& project, const PlumeRequest& request,
                                         QWidget* parent)
    : QDialog(parent), project_(project), request_(request) {
    setWindowTitle(ToQString(Translate("Calculating Plume")));
    setModal(true);
    setWindowFlags((windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint) &
                   ~(Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint));

    progressLabel_ = new QLabel(this);
    progressLabel_->setMinimumWidth(380);
    auto* activity = new QProgressBar(this);
    activity->setRange(0, 0);
    activity->setTextVisible(false);
    activity->setFixedHeight(14);
    stopButton_ = new QPushButton(ToQString(Translate("Stop")), this);
    stopButton_->setAutoDefault(false);
    connect(stopButton_, &QPushButton::clicked, this, &PlumeProgressDialog::OnStop);
    connect(this, &PlumeProgressDialog::ProgressChanged, progressLabel_, &QLabel::setText,
            Qt::QueuedConnection);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(stopButton_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addWidget(progressLabel_);
    layout->addWidget(activity);
    layout->addSpacing(6);
    layout->addLayout(buttons);
}

PlumeProgressDialog::~PlumeProgressDialog() {
    // The calculation must not outlive the project it works on.
    if (worker_.joinable()) {
        stopRequested_.store(true);
        worker_.join();
    }
}

bool PlumeProgressDialog::RunModal() {
    computed_ = false;
    worker_ = std::thread([this] {
        const bool computed = ComputePlume(project_, request_, *this);
        // Queued behind every progress text, so the last one shows first.
        QMetaObject::invokeMethod(
            this,
            [this, computed] {
                if (worker_.joinable()) worker_.join();
                computed_ = computed && !stopRequested_.load();
                done(computed_ ? QDialog::Accepted : stoppedOrFailed);
            },
            Qt::QueuedConnection);
    });
    exec();
    if (worker_.joinable()) worker_.join();
    return computed_;
}

QString PlumeProgressDialog::FailureMessage() const {
    std::lock_guard lock(mutex_);
    return ToQString(failure_);
}

QString PlumeProgressDialog::ProgressLine() const { return progressLabel_->text(); }

void PlumeProgressDialog::OnStop() {
    stopRequested_.store(true);
    stopButton_->setEnabled(false);
}

void PlumeProgressDialog::reject() { OnStop(); }

void PlumeProgressDialog::ProgressText(const std::string& text) {
    emit ProgressChanged(ToQString(text));
}

void PlumeProgressDialog::Failed(const std::string& message) {
    std::lock_guard lock(mutex_);
    failure_ = message;
}

} // namespace varnex::ui
