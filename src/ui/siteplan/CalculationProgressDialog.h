#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "run/PlumeObserver.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace varnex::ui {

// A modal window for a map calculation: runs it on a thread of its own, so
// the window keeps painting and "Stop" answers, shows the engine's progress
// text (and, for a calculation that reports its share done, a progress
// bar; otherwise a busy bar), and closes itself when the calculation ends:
// with Accepted when it completed, with the given code otherwise.
class CalculationProgressDialog : public QDialog, private PlumeObserver {
    Q_OBJECT

public:
    // `shareDone`: the calculation reports PlumeObserver::Fraction.
    CalculationProgressDialog(const QString& title, int labelWidth, bool shareDone,
                              QWidget* parent);
    ~CalculationProgressDialog() override;

    bool Stopped() const { return stopRequested_.load(); }
    // Every problem of a refused or failed calculation; empty after a stop.
    QStringList Failures() const;
    QString ProgressLine() const;
    // 0..1000, the share done (0 with a busy bar).
    int ProgressValue() const;

public slots:
    // "Stop": the calculation ends after the work in hand.
    void OnStop();
    // Closing the window is the Stop button.
    void reject() override;

signals:
    void ProgressChanged(const QString& text);
    void FractionChanged(int thousandths);

protected:
    // Shows the window and runs `calculation` on the worker thread, with
    // this window as its observer; true when it completed. Ends with
    // `unfinishedCode` after a stop or a failure.
    bool RunCalculation(const std::function<bool(PlumeObserver&)>& calculation, int unfinishedCode);
    // Stops a calculation still running and waits for it: a subclass calls
    // it first in its destructor, since the calculation reads its members.
    void StopAndWait();

private:
    // The calculation's reports, on its thread.
    void ProgressText(const std::string& text) override;
    void Fraction(double done) override;
    void Failed(const std::string& message) override;
    bool StopRequested() override { return stopRequested_.load(); }

    QLabel* progressLabel_;
    QProgressBar* progressBar_;
    QPushButton* stopButton_;
    std::thread worker_;
    std::atomic<bool> stopRequested_{false};
    mutable std::mutex mutex_;
    std::vector<std::string> failures_;
    bool completed_ = false;
};

} // namespace varnex::ui
