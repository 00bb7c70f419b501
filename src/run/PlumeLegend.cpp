#include "run/PlumeLegend.h"

#include <cmath>

#include "base/TextFormat.h"
#include "settings/Translate.h"

namespace varnex {

double PlumeBandUpperBound(int band) {
    if (band >= plumeBandCount - 1) return HUGE_VAL;
    return std::pow(10.0, band - 12);
}

double PlumeBandLowerBound(int band) { return band <= 0 ? 1e-30 : PlumeBandUpperBound(band - 1); }

int PlumeBand(double concentrationMgPerL) {
    if (!(concentrationMgPerL >= 1e-30)) return -1;
    for (int band = 0; band < plumeBandCount - 1; ++band)
        if (concentrationMgPerL <= PlumeBandUpperBound(band)) return band;
    return plumeBandCount - 1;
}

std::string PlumeBandText(int band) {
    const std::string unit = Translate("mg/l");
    if (band >= plumeBandCount - 1)
        return FormatText("%s %g %s", {Translate("Above"), 100.0, unit});
    return FormatText("%g - %g %s", {PlumeBandLowerBound(band), PlumeBandUpperBound(band), unit});
}

std::string PlumeLegendTitle(const std::string& contaminantName) {
    return FormatText("%s %s", {Translate("Concentration of"), contaminantName});
}

} // namespace varnex
