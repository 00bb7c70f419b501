#include "ui/siteplan/PlumeProgressDialog.h"

#include "model/Project.h"
#include "settings/Translate.h"
#include "ui/common/QtText.h"

namespace varnex::ui {

PlumeProgressDialog::PlumeProgressDialog(Project& project, const PlumeRequest& request,
                                         QWidget* parent)
    : CalculationProgressDialog(ToQString(Translate("Calculating Plume")), 380, false, parent),
      project_(project), request_(request) {}

PlumeProgressDialog::~PlumeProgressDialog() { StopAndWait(); }

bool PlumeProgressDialog::RunModal() {
    return RunCalculation(
        [this](::varnex::PlumeObserver& observer) {
            return ComputePlume(project_, request_, observer);
        },
        stoppedOrFailed);
}

QString PlumeProgressDialog::FailureMessage() const {
    const QStringList failures = Failures();
    return failures.isEmpty() ? QString() : failures.back();
}

} // namespace varnex::ui
