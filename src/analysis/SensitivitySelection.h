#pragma once

namespace varnex {

// Result kinds a sensitivity ranking can be asked for. The codes are those
// the result chooser stores with its entries.
namespace SensitivityResult {
enum : int {
    // Each pathway record's "Unsaturated Zone Retarded Travel Time": the
    // travel time from the top of the first layer to the base of the
    // pathway, with the sorption the pathway inputs control; it is the
    // travel time the statistics report and the one the receptor travel
    // time adds up.
    unsaturatedZoneTravelTime = 0,
    // The inventory entry's "Receptor %s Retarded Travel Time" per receptor:
    // the rows name one source, so the per-source vector is ranked, not the
    // receptor's total over all sources.
    receptorTravelTime = 1,
    // The entry's "Source Concentration at %lf years".
    sourceConcentration = 2,
    // Each pathway record's "Unsaturated Zone Concentration at %lf years":
    // the leachate arriving at the base of the pathway, before any mixing
    // with groundwater. The diluted concentration belongs to the mixing zone
    // in the aquifer, whose inputs are ranked for receptor results only.
    baseOfUnsaturatedZoneConcentration = 3,
    // The entry's "Receptor Concentration at %lf years at %s".
    receptorConcentration = 4,
};
} // namespace SensitivityResult

// What a sensitivity ranking is computed for: the result kind and time slice,
// and which part of the model the walk visits.
struct SensitivitySelection {
    static constexpr int all = -1; // "<All>" in a selector

    int result = SensitivityResult::sourceConcentration;
    int timeSlice = 0;     // index into the project's time slices (concentrations only)
    int source = all;      // source index
    int receptor = all;    // receptor index (receptor results only)
    int pathway = all;     // pathway index of the selected source (pathway results only)
    int contaminant = all; // contaminant index: "Individual Contaminant" with its choice
    bool rank = false;     // "Rank Correlation" instead of the product-moment coefficient
};

} // namespace varnex
