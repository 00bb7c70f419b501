#pragma once

#include <QDialog>
#include <QString>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "run/PlumeGrid.h"
#include "run/PlumeObserver.h"

class QLabel;
class QPushButton;

namespace varnex {
class Project;
}

namespace varnex::ui {

// The modal "Calculating Plume" window: computes the plume on a thread of
// its own, so the window keeps painting and "Stop" answers, shows the node
// being computed, and closes itself when the calculation ends. It ends with
// Accepted when every node was computed and with `stoppedOrFailed`
// otherwise.
class PlumeProgressDialog : public QDialog, private PlumeObserver {
    Q_OBJECT

public:
    static constexpr int stoppedOrFailed = 3200;

    PlumeProgressDialog(Project& project, const PlumeRequest& request, QWidget* parent = nullptr);
    ~PlumeProgressDialog() override;

    // Shows the window and computes; true when the grid is complete.
    bool RunModal();

    bool Stopped() const { return stopRequested_.load(); }
    // Why the calculation failed or was refused; empty after a stop.
    QString FailureMessage() const;
    QString ProgressLine() const;

public slots:
    // "Stop": the calculation ends after the nodes being computed.
    void OnStop();
    // Closing the window is the Stop button.
    void reject() override;

signals:
    void ProgressChanged(const QString& text);

private:
    // The calculation's reports, on its thread.
    void ProgressText(const std::string& text) override;
    void Failed(const std::string& message) override;
    bool StopRequested() override { return stopRequested_.load(); }

    Project& project_;
    PlumeRequest request_;
    QLabel* progressLabel_;
    QPushButton* stopButton_;
    std::thread worker_;
    std::atomic<bool> stopRequested_{false};
    mutable std::mutex mutex_;
    std::string failure_;
    bool computed_ = false;
};

} // namespace varnex::ui
