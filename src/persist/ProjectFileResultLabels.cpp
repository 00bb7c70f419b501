#include "persist/ProjectFileResultLabels.h"

#include <string>
#include <vector>

#include "model/Project.h"
#include "results/ResultLabels.h"

namespace varnex {

namespace {

void LabelPerSlice(std::vector<ResultVector>& vectors, const std::string& format,
                   const std::vector<double>& timeSlices,
                   const std::string* receptorName = nullptr) {
    for (std::size_t k = 0; k < vectors.size() && k < timeSlices.size(); ++k)
        vectors[k].SetLabel(ResultLabels::AtTime(format, timeSlices[k], receptorName));
}

} // namespace

void LabelStoredResults(Project& project) {
    const std::vector<double>& slices = project.timeSlices;
    const ResultLabels labels;
    for (Source& source : project.sources) {
        for (SourceContaminant& entry : source.inventory) {
            LabelPerSlice(entry.sourceConcentrations, labels.sourceConcentration, slices);
            for (std::size_t r = 0; r < project.receptors.size(); ++r) {
                const std::string& name = project.receptors[r].name;
                if (r < entry.receptorUnretardedTravelTimes.size())
                    entry.receptorUnretardedTravelTimes[r].SetLabel(
                        ResultLabels::ForReceptor(labels.receptorUnretarded, name));
                if (r < entry.receptorRetardedTravelTimes.size())
                    entry.receptorRetardedTravelTimes[r].SetLabel(
                        ResultLabels::ForReceptor(labels.receptorRetarded, name));
                if (r < entry.receptorConcentrations.size())
                    LabelPerSlice(entry.receptorConcentrations[r], labels.receptorConcentration,
                                  slices, &name);
            }
            for (auto& [index, record] : entry.pathwayProperties) {
                record.unretardedTravelTime.SetLabel(labels.uzUnretardedTravelTime);
                record.retardedTravelTime.SetLabel(labels.uzRetardedTravelTime);
                record.matrixUnretardedTravelTime.SetLabel(labels.uzMatrixUnretardedTravelTime);
                record.matrixRetardedTravelTime.SetLabel(labels.uzMatrixRetardedTravelTime);
                LabelPerSlice(record.concentrations, labels.uzConcentration, slices);
                LabelPerSlice(record.matrixConcentrations, labels.uzMatrixConcentration, slices);
                LabelPerSlice(record.dilutedConcentrations, labels.dilutedConcentration, slices);
            }
        }
    }
    for (Receptor& receptor : project.receptors) {
        for (ReceptorContaminant& record : receptor.results) {
            LabelPerSlice(record.totalConcentrations, labels.totalConcentration, slices);
            record.totalUnretardedTravelTime.SetLabel(labels.totalUnretardedTravelTime);
            record.totalRetardedTravelTime.SetLabel(labels.totalRetardedTravelTime);
        }
    }
}

} // namespace varnex
