#pragma once

#include <QObject>
#include <QString>
#include <condition_variable>
#include <mutex>

#include "run/RunObserver.h"

namespace varnex::ui {

// The run's observer for the desktop program. The run works on a thread of
// its own, so what it reports becomes signals, which Qt queues to the
// window's thread. The Stop question works as a gate: while it is open the
// run's driver waits in StopRequested and its workers in WaitWhilePaused,
// so it neither stops nor goes on before the user has answered; after Yes
// every further StopRequested says stop.
class RunProgressObserver : public QObject, public RunObserver {
    Q_OBJECT

public:
    explicit RunProgressObserver(QObject* parent = nullptr) : QObject(parent) {}

    void StageText(const std::string& text) override;
    void IterationText(const std::string& text) override;
    void IterationsDone(std::size_t done, std::size_t total) override;
    void TimeRemainingText(const std::string& text) override;
    void Warning(const std::string& text) override;
    void Failed(const std::string& message) override;
    bool StopRequested() override;
    // The workers' side of the gate: each waits here before its next
    // iteration while the question is open.
    void WaitWhilePaused() override;

    // The window's side of the gate.
    void BeginStopQuestion();
    void EndStopQuestion(bool stop);
    bool StopConfirmed() const;

signals:
    void StageTextChanged(const QString& text);
    void IterationTextChanged(const QString& text);
    void IterationsDoneChanged(qint64 done, qint64 total);
    void TimeRemainingTextChanged(const QString& text);
    void WarningIssued(const QString& text);
    void RunFailed(const QString& message);

private:
    mutable std::mutex mutex_;
    std::condition_variable answered_;
    bool questionOpen_ = false;
    bool stopConfirmed_ = false;
};

} // namespace varnex::ui
