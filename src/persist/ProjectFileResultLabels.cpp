#include "persist/ProjectFileResultLabels.h"

#include <string>
#include <vector>

#include "model/Project.h"
#include "settings/TextFormat.h"
#include "settings/Translate.h"

namespace varnex {

namespace {

void LabelPerSlice(std::vector<ResultVector>& vectors, const std::string& format,
                   const std::vector<double>& timeSlices, const std::string* receptorName = nullptr) {
    for (std::size_t k = 0; k < vectors.size() && k < timeSlices.size(); ++k)
        vectors[k].SetLabel(receptorName ? FormatText(format, {timeSlices[k], *receptorName})
                                         : FormatText(format, {timeSlices[k]}));
}

} // namespace

void LabelStoredResults(Project& project) {
    const std::vector<double>& slices = project.timeSlices;
    const std::string sourceConcentration = TranslateFormat("Source Concentration at %lf years");
    const std::string uzConcentration = TranslateFormat("Unsaturated Zone Concentration at %lf years");
    const std::string uzMatrixConcentration = TranslateFormat("Unsaturated Zone Matrix Concentration at %lf years");
    const std::string dilutedConcentration = TranslateFormat("Diluted Concentration at %lf years");
    const std::string receptorConcentration = TranslateFormat("Receptor Concentration at %lf years at %s");
    const std::string totalConcentration = TranslateFormat("Total Receptor Concentration at %lf years");
    const std::string receptorUnretarded = TranslateFormat("Receptor %s Unretarded Travel Time");
    const std::string receptorRetarded = TranslateFormat("Receptor %s Retarded Travel Time");

    for (Source& source : project.sources) {
        for (SourceContaminant& entry : source.inventory) {
            LabelPerSlice(entry.sourceConcentrations, sourceConcentration, slices);
            for (std::size_t r = 0; r < project.receptors.size(); ++r) {
                const std::string& name = project.receptors[r].name;
                if (r < entry.receptorUnretardedTravelTimes.size())
                    entry.receptorUnretardedTravelTimes[r].SetLabel(FormatText(receptorUnretarded, {name}));
                if (r < entry.receptorRetardedTravelTimes.size())
                    entry.receptorRetardedTravelTimes[r].SetLabel(FormatText(receptorRetarded, {name}));
                if (r < entry.receptorConcentrations.size())
                    LabelPerSlice(entry.receptorConcentrations[r], receptorConcentration, slices, &name);
            }
            for (auto& [index, record] : entry.pathwayProperties) {
                record.unretardedTravelTime.SetLabel(Translate("Unsaturated Zone Unretarded Travel Time"));
                record.retardedTravelTime.SetLabel(Translate("Unsaturated Zone Retarded Travel Time"));
                record.matrixUnretardedTravelTime.SetLabel(
                    Translate("Unsaturated Zone Matrix Unretarded Travel Time"));
                record.matrixRetardedTravelTime.SetLabel(Translate("Unsaturated Zone Matrix Retarded Travel Time"));
                LabelPerSlice(record.concentrations, uzConcentration, slices);
                LabelPerSlice(record.matrixConcentrations, uzMatrixConcentration, slices);
                LabelPerSlice(record.dilutedConcentrations, dilutedConcentration, slices);
            }
        }
    }
    for (Receptor& receptor : project.receptors) {
        for (ReceptorContaminant& record : receptor.results) {
            LabelPerSlice(record.totalConcentrations, totalConcentration, slices);
            record.totalUnretardedTravelTime.SetLabel(Translate("Total Receptor Unretarded Travel Time"));
            record.totalRetardedTravelTime.SetLabel(Translate("Total Receptor Retarded Travel Time"));
        }
    }
}

} // namespace varnex
