#pragma once

#include <QDialog>
#include <QString>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "run/PlumeObserver.h"
#include "run/ProbabilityMap.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace varnex {
class Project;
}

namespace varnex::ui {

// The modal "Calculating Probability Map" window: computes the map on a
// thread of its own, so the window keeps painting and "Stop" answers, shows
// the share done in a progress bar with the engine's progress text, and
// closes itself when the calculation ends. A stopped map keeps the nodes
// computed before the stop (the others are NaN).
class ProbabilityMapProgressDialog : public QDialog, private PlumeObserver {
    Q_OBJECT

public:
    static constexpr int stoppedOrFailed = 3201;

    // `project` must hold the run in memory and outlive the window.
    ProbabilityMapProgressDialog(Project& project, const ProbabilityMapRequest& request,
                                 QWidget* parent = nullptr);
    ~ProbabilityMapProgressDialog() override;

    // Shows the window and computes; true when every node was computed.
    bool RunModal();
    // The map as far as it was computed.
    const ProbabilityMap& Map() const { return map_; }

    bool Stopped() const { return stopRequested_.load(); }
    // Every problem of a refused or failed calculation; empty after a stop.
    QStringList Failures() const;
    QString ProgressLine() const;
    // 0..1000, the share done.
    int ProgressValue() const;

public slots:
    // "Stop": the calculation ends after the nodes being computed.
    void OnStop();
    // Closing the window is the Stop button.
    void reject() override;

signals:
    void ProgressChanged(const QString& text);
    void FractionChanged(int thousandths);

private:
    // The calculation's reports, on its thread.
    void ProgressText(const std::string& text) override;
    void Fraction(double done) override;
    void Failed(const std::string& message) override;
    bool StopRequested() override { return stopRequested_.load(); }

    Project& project_;
    ProbabilityMapRequest request_;
    ProbabilityMap map_;
    QLabel* progressLabel_;
    QProgressBar* progressBar_;
    QPushButton* stopButton_;
    std::thread worker_;
    std::atomic<bool> stopRequested_{false};
    mutable std::mutex mutex_;
    std::vector<std::string> failures_;
    bool computed_ = false;
};

} // namespace varnex::ui
