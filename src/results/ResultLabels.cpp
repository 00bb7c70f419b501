#include "results/ResultLabels.h"

#include "base/TextFormat.h"
#include "settings/Translate.h"

namespace varnex {

ResultLabels::ResultLabels()
    : sourceConcentration(TranslateFormat("Source Concentration at %lf years")),
      uzConcentration(TranslateFormat("Unsaturated Zone Concentration at %lf years")),
      uzMatrixConcentration(TranslateFormat("Unsaturated Zone Matrix Concentration at %lf years")),
      dilutedConcentration(TranslateFormat("Diluted Concentration at %lf years")),
      receptorConcentration(TranslateFormat("Receptor Concentration at %lf years at %s")),
      totalConcentration(TranslateFormat("Total Receptor Concentration at %lf years")),
      receptorUnretarded(TranslateFormat("Receptor %s Unretarded Travel Time")),
      receptorRetarded(TranslateFormat("Receptor %s Retarded Travel Time")),
      receptorAquifer(TranslateFormat("Receptor %s Aquifer Travel Time")),
      uzUnretardedTravelTime(Translate("Unsaturated Zone Unretarded Travel Time")),
      uzRetardedTravelTime(Translate("Unsaturated Zone Retarded Travel Time")),
      uzMatrixUnretardedTravelTime(Translate("Unsaturated Zone Matrix Unretarded Travel Time")),
      uzMatrixRetardedTravelTime(Translate("Unsaturated Zone Matrix Retarded Travel Time")),
      uzRetardedVelocity(Translate("Unsaturated Zone Retarded Velocity")),
      uzRetardedMatrixVelocity(Translate("Unsaturated Zone Retarded Matrix Velocity")),
      totalUnretardedTravelTime(Translate("Total Receptor Unretarded Travel Time")),
      totalRetardedTravelTime(Translate("Total Receptor Retarded Travel Time")) {}

std::string ResultLabels::AtTime(const std::string& format, double years,
                                 const std::string* receptorName) {
    return receptorName ? FormatText(format, {years, *receptorName}) : FormatText(format, {years});
}

std::string ResultLabels::ForReceptor(const std::string& format, const std::string& receptorName) {
    return FormatText(format, {receptorName});
}

} // namespace varnex
