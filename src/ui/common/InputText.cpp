#include "ui/common/InputText.h"

#include "settings/Translate.h"
#include "stochastic/StochasticParameter.h"
#include "ui/common/QtText.h"

namespace varnex::ui {

QString InputText(const StochasticParameter& input) {
    if (input.distribution.type == 0) return ToQString(Translate("UNDEFINED"));
    return ToQString(input.Format());
}

} // namespace varnex::ui
