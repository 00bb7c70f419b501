#pragma once

#include "run/ProbabilityMap.h"
#include "ui/siteplan/CalculationProgressDialog.h"

namespace varnex {
class Project;
}

namespace varnex::ui {

// The modal "Calculating Probability Map" window: the map computed on a
// thread of its own, the share done in a progress bar with the engine's
// progress text, and "Stop". A stopped map keeps the nodes computed before
// the stop (the others are NaN).
class ProbabilityMapProgressDialog : public CalculationProgressDialog {
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

private:
    Project& project_;
    ProbabilityMapRequest request_;
    ProbabilityMap map_;
};

} // namespace varnex::ui
