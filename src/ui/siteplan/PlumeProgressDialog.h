#pragma once

#include <QString>

#include "run/PlumeGrid.h"
#include "ui/siteplan/CalculationProgressDialog.h"

namespace varnex {
class Project;
}

namespace varnex::ui {

// The modal "Calculating Plume" window: the central-value plume computed on
// a thread of its own, the node being computed shown, a busy bar and
// "Stop". It ends with Accepted when every node was computed and with
// `stoppedOrFailed` otherwise.
class PlumeProgressDialog : public CalculationProgressDialog {
    Q_OBJECT

public:
    static constexpr int stoppedOrFailed = 3200;

    PlumeProgressDialog(Project& project, const PlumeRequest& request, QWidget* parent = nullptr);
    ~PlumeProgressDialog() override;

    // Shows the window and computes; true when the grid is complete.
    bool RunModal();
    // Why the calculation failed or was refused; empty after a stop.
    QString FailureMessage() const;

private:
    Project& project_;
    PlumeRequest request_;
};

} // namespace varnex::ui
