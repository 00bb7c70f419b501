#include "ui/siteplan/CalculationProgressDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "settings/Translate.h"
#include "ui/common/QtText.h"

namespace varnex::ui {

CalculationProgressDialog::CalculationProgressDialog(const QString& title, int labelWidth,
                                                     bool shareDone, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(title);
    setModal(true);
    setWindowFlags((windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint) &
                   ~(Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint));

    progressLabel_ = new QLabel(this);
    progressLabel_->setMinimumWidth(labelWidth);
    progressBar_ = new QProgressBar(this);
    if (shareDone) {
        progressBar_->setRange(0, 1000);
        progressBar_->setValue(0);
        progressBar_->setFormat(QStringLiteral("%p %"));
    } else {
        // Busy: the calculation tells where it is, not how far.
        progressBar_->setRange(0, 0);
        progressBar_->setTextVisible(false);
        progressBar_->setFixedHeight(14);
    }
    stopButton_ = new QPushButton(ToQString(Translate("Stop")), this);
    stopButton_->setAutoDefault(false);
    connect(stopButton_, &QPushButton::clicked, this, &CalculationProgressDialog::OnStop);
    // The worker's reports reach the widgets on the window's thread.
    connect(this, &CalculationProgressDialog::ProgressChanged, progressLabel_, &QLabel::setText,
            Qt::QueuedConnection);
    if (shareDone)
        connect(this, &CalculationProgressDialog::FractionChanged, progressBar_,
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

CalculationProgressDialog::~CalculationProgressDialog() { StopAndWait(); }

void CalculationProgressDialog::StopAndWait() {
    // The calculation must not outlive the project it works on.
    if (worker_.joinable()) {
        stopRequested_.store(true);
        worker_.join();
    }
}

bool CalculationProgressDialog::RunCalculation(
    const std::function<bool(PlumeObserver&)>& calculation, int unfinishedCode) {
    completed_ = false;
    worker_ = std::thread([this, calculation, unfinishedCode] {
        const bool completed = calculation(*this);
        // Queued behind every progress report, so the last one shows first.
        QMetaObject::invokeMethod(
            this,
            [this, completed, unfinishedCode] {
                if (worker_.joinable()) worker_.join();
                completed_ = completed && !stopRequested_.load();
                done(completed_ ? QDialog::Accepted : unfinishedCode);
            },
            Qt::QueuedConnection);
    });
    exec();
    if (worker_.joinable()) worker_.join();
    return completed_;
}

QStringList CalculationProgressDialog::Failures() const {
    std::lock_guard lock(mutex_);
    QStringList failures;
    for (const std::string& failure : failures_) failures << ToQString(failure);
    return failures;
}

QString CalculationProgressDialog::ProgressLine() const { return progressLabel_->text(); }

int CalculationProgressDialog::ProgressValue() const { return std::max(0, progressBar_->value()); }

void CalculationProgressDialog::OnStop() {
    stopRequested_.store(true);
    stopButton_->setEnabled(false);
}

void CalculationProgressDialog::reject() { OnStop(); }

void CalculationProgressDialog::ProgressText(const std::string& text) {
    emit ProgressChanged(ToQString(text));
}

void CalculationProgressDialog::Fraction(double done) {
    if (!std::isfinite(done)) return;
    emit FractionChanged(static_cast<int>(std::lround(1000.0 * std::clamp(done, 0.0, 1.0))));
}

void CalculationProgressDialog::Failed(const std::string& message) {
    std::lock_guard lock(mutex_);
    failures_.push_back(message);
}

} // namespace varnex::ui
