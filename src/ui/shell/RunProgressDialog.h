#pragma once

#include <QDialog>
#include <QStringList>
#include <string>
#include <thread>

#include "run/RunDriver.h"
#include "ui/shell/RunProgressObserver.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace varnex {
class Project;
}

namespace varnex::ui {

class UserPrompts;

// The modal "Calculating..." window: it runs the simulation on a thread of
// its own, so the window keeps painting and the Stop button answers, and
// closes itself when the run ends. While it is open nothing else in the
// program can touch the project.
class RunProgressDialog : public QDialog {
    Q_OBJECT

public:
    RunProgressDialog(Project& project, UserPrompts& prompts, QWidget* parent = nullptr);
    ~RunProgressDialog() override;

    // Shows the window, runs, and returns true when the run finished with
    // valid results; false after a failure or a confirmed stop.
    bool RunModal(const RunOptions& options = RunOptions());

    // What the run reported, for the caller to show once the window is gone.
    const QStringList& Warnings() const { return warnings_; }
    const QString& FailureMessage() const { return failure_; }
    bool Stopped() const { return observer_.StopConfirmed(); }

    RunProgressObserver& Observer() { return observer_; }
    QString StageText() const;
    QString IterationText() const;
    QString TimeRemainingText() const;
    QProgressBar* ProgressBar() const { return activity_; }

public slots:
    // "&Stop": asks "Are you sure?"; the run waits for the answer.
    void OnStop();
    // Closing the window (Escape, the title bar) is the Stop button.
    void reject() override;

private:
    void OnRunFinished(bool succeeded);
    void Finish();

    Project& project_;
    UserPrompts& prompts_;
    RunProgressObserver observer_;
    QLabel* stageLabel_;
    QLabel* iterationLabel_;
    QLabel* timeRemainingLabel_;
    QProgressBar* activity_;
    QPushButton* stopButton_;
    std::thread worker_;
    QStringList warnings_;
    QString failure_;
    bool questionOpen_ = false;
    bool runEnded_ = false;
    bool succeeded_ = false;
};

} // namespace varnex::ui
