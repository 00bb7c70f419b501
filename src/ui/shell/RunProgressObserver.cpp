#include "ui/shell/RunProgressObserver.h"

#include "ui/common/QtText.h"

namespace varnex::ui {

void RunProgressObserver::StageText(const std::string& text) {
    emit StageTextChanged(ToQString(text));
}

void RunProgressObserver::IterationText(const std::string& text) {
    emit IterationTextChanged(ToQString(text));
}

void RunProgressObserver::IterationsDone(std::size_t done, std::size_t total) {
    emit IterationsDoneChanged(static_cast<qint64>(done), static_cast<qint64>(total));
}

void RunProgressObserver::TimeRemainingText(const std::string& text) {
    emit TimeRemainingTextChanged(ToQString(text));
}

void RunProgressObserver::Warning(const std::string& text) { emit WarningIssued(ToQString(text)); }

void RunProgressObserver::Failed(const std::string& message) { emit RunFailed(ToQString(message)); }

bool RunProgressObserver::StopRequested() {
    std::unique_lock lock(mutex_);
    answered_.wait(lock, [this] { return !questionOpen_; });
    return stopConfirmed_;
}

void RunProgressObserver::WaitWhilePaused() {
    std::unique_lock lock(mutex_);
    answered_.wait(lock, [this] { return !questionOpen_; });
}

void RunProgressObserver::BeginStopQuestion() {
    std::lock_guard lock(mutex_);
    questionOpen_ = true;
}

void RunProgressObserver::EndStopQuestion(bool stop) {
    {
        std::lock_guard lock(mutex_);
        questionOpen_ = false;
        // A No after an earlier Yes cannot take the stop back.
        stopConfirmed_ = stopConfirmed_ || stop;
    }
    answered_.notify_all();
}

bool RunProgressObserver::StopConfirmed() const {
    std::lock_guard lock(mutex_);
    return stopConfirmed_;
}

} // namespace varnex::ui
