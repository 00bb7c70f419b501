#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace varnex {

class Project;
class Source;
class SourceContaminant;

// The source term: the leachate concentration leaving each source at every
// assessment time, for one Monte Carlo iteration, from what the user knows
// of the source (a leachate concentration, or a total concentration in soil
// with the soil's properties), with partitioning between soil, pore water
// and soil air, the solubility limit, a late start and a declining source.
//
// Every function works on iteration i only: it reads sample i of the inputs
// and writes sample i of the inputs it derives (Kd, porosities, densities)
// and value i of the results, so iterations may run on several threads.

// Fills "Source Concentration at %lf years" of iteration i for every active
// entry of every source (in plume mode only the plume contaminant's entries,
// at the plume time only). `limited` is sized to the number of contaminants
// and element k set to 1 when contaminant k's leachate was cut to its
// solubility in some source in this iteration (0 otherwise).
void ComputeSourceTerm(Project& project, std::size_t i, std::vector<char>& limited);

// The ratio of total soil concentration to pore water concentration (Kd +
// (H * theta_a + theta_w) / rho_b), or 1 where no conversion applies.
double PartitionFactor(Project& project, Source& source, SourceContaminant& entry, std::size_t i);

// The leachate concentration (mg/l) at time t (years), given the partition
// factor; sets `limited` when the solubility limit applies.
double ConcentrationAtTime(const Project& project, const Source& source,
                           const SourceContaminant& entry, double t, std::size_t i,
                           double partitionFactor, bool& limited);

// The user-defined declining concentration: the entry's concentration times
// the factor of the time slice nearest to t (the earlier one on a tie).
double UserDeclinedConcentration(const Project& project, const Source& source,
                                 const SourceContaminant& entry, double t, std::size_t i);

// The warnings of the "Declining Source" grid for these factors (one per
// time slice): empty when the factors can be stored without asking.
std::string CheckDecliningFactors(const std::vector<double>& factors);

} // namespace varnex
