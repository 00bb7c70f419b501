#include "ui/siteplan/ProbabilityMapProgressDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "model/Project.h"
#include "settings/Translate.h"
#include "ui/common/QtText.h"

namespace varnex::ui {

ProbabilityMapProgressDialog::ProbabilityMapProgressDialog(Project& project,
                                                           const ProbabilityMapRequest& request,
                                                           QWidget* parent)
    : QDialog(parent), project_(project), request_(request) {
    setWindowTitle(ToQString(Translate("Calculating Probability Map")));
    setModal(true);
    setWindowFlags((windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint) &
                   ~(Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint));

    progressLabel_ = new QLabel(this);
    progressLabel_->setMinimumWidth(420);
    progressBar_ = new QProgressBar(this);
    progressBar_->setRange(0, 1000);
    progressBar_->setValue(0);
    progressBar_->setFormat(QStringLiteral("%p %"));
    stopButton_ = new QPushButton(ToQString(Translate("Stop")), this);
    stopButton_->setAutoDefault(false);
    connect(stopButton_, &QPushButton::clicked, this, &ProbabilityMapProgressDialog::OnStop);
    // The worker's reports reach the widgets on the window's thread.
    connect(this, &ProbabilityMapProgressDialog::ProgressChanged, progressLabel_, &QLabel::setText,
            Qt::QueuedConnection);
    connect(this, &ProbabilityMapProgressDialog::FractionChanged, progressBar_,
            &QProgressBar::setValue, Qt::QueuedConnection);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(stopButton_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addWidget(progressLabel_);
    layout->addWidget(progressBar_);
    layout->addSpacing(6);
    layout->addLayout(buttons);
}

ProbabilityMapProgressDialog::~ProbabilityMapProgressDialog() {
    // The calculation must not outlive the project it reads.
    if (worker_.joinable()) {
        stopRequested_.store(true);
        worker_.join();
    }
}

bool ProbabilityMapProgressDialog::RunModal() {
    computed_ = false;
    worker_ = std::thread([this] {
        const bool computed = ComputeProbabilityMap(project_, request_, *this, map_);
        // Queued behind every progress report, so the last one shows first.
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

QStringList ProbabilityMapProgressDialog::Failures() const {
    std::lock_guard lock(mutex_);
    QStringList failures;
    for (const std::string& failure : failures_) failures << ToQString(failure);
    return failures;
}

QString ProbabilityMapProgressDialog::ProgressLine() const { return progressLabel_->text(); }

int ProbabilityMapProgressDialog::ProgressValue() const { return progressBar_->value(); }

void ProbabilityMapProgressDialog::OnStop() {
    stopRequested_.store(true);
    stopButton_->setEnabled(false);
}

void ProbabilityMapProgressDialog::reject() { OnStop(); }

void ProbabilityMapProgressDialog::ProgressText(const std::string& text) {
    emit ProgressChanged(ToQString(text));
}

void ProbabilityMapProgressDialog::Fraction(double done) {
    if (!std::isfinite(done)) return;
    emit FractionChanged(static_cast<int>(std::lround(1000.0 * std::clamp(done, 0.0, 1.0))));
}

void ProbabilityMapProgressDialog::Failed(const std::string& message) {
    std::lock_guard lock(mutex_);
    failures_.push_back(message);
}

} // namespace varnex::ui
