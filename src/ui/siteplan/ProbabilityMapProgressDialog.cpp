#include "ui/siteplan/ProbabilityMapProgressDialog.h"

#include "model/Project.h"
#include "settings/Translate.h"
#include "ui/common/QtText.h"

namespace varnex::ui {

ProbabilityMapProgressDialog::ProbabilityMapProgressDialog(Project& project,
                                                           const ProbabilityMapRequest& request,
                                                           QWidget* parent)
    : CalculationProgressDialog(ToQString(Translate("Calculating Probability Map")), 420, true,
                                parent),
      project_(project), request_(request) {}

ProbabilityMapProgressDialog::~ProbabilityMapProgressDialog() { StopAndWait(); }

bool ProbabilityMapProgressDialog::RunModal() {
    return RunCalculation(
        [this](::varnex::PlumeObserver& observer) {
            return ComputeProbabilityMap(project_, request_, observer, map_);
        },
        stoppedOrFailed);
}

} // namespace varnex::ui
