#pragma once

#include <cstddef>

#include "model/PlanPoint.h"

namespace varnex {

class Project;
class Source;

// Transport along the aquifer from the mixing zone beneath each source to
// the receptors, for iteration i: groundwater velocity, travel times,
// aquifer retardation and, per time slice, the concentration at each
// receptor, with lateral spreading; the totals over all sources at every
// receptor, with the background concentration of species present in the
// aquifer. Positions are in the aquifer frame (x' downstream along the
// flow, y' across it), times in years, velocities in m/year (m/s for the
// kernel), flows in m³/year, concentrations in mg/l.
//
// Writes only index i. In plume mode only the plume receptor and the plume
// contaminant at the plume time (into the first time slice).

// All sources, receptors and active entries of iteration i.
void ComputeAquiferAndReceptors(Project& project, std::size_t i);

// The same for one receptor only (the plume grid moves one receptor per
// worker over its nodes, each worker on its own iteration index). The
// receptor's totals of iteration i must be 0 beforehand.
void ComputeAquiferAtReceptor(Project& project, std::size_t i, std::size_t receptorIndex);

// The unretarded aquifer travel time (years) from the source point of
// iteration i to receptor r: 1,000,000 years to a receptor upstream, 0
// within one longitudinal dispersivity. Writes the source's aquifer pore
// velocity va (m/year) and, except at "Level 3a", its full-thickness
// aquifer flow (m³/year), to which the infiltration adds beneath the source.
double AquiferTravelTime(Project& project, Source& source, std::size_t receptorIndex,
                         std::size_t sourceIndex, std::size_t i);

// The contribution of one entry of a source to receptor r at time slice k
// (mg/l), without background.
double ReceptorConcentration(Project& project, Source& source, std::size_t entryIndex,
                             std::size_t receptorIndex, std::size_t slice, std::size_t i,
                             std::size_t sourceIndex);

// The concentration entering the aquifer solution for receptor r: the water
// that reaches the receptor at t (years) left the mixing zone one retarded
// aquifer travel time earlier, diluted by the mixing zone flow.
double DilutedInputConcentration(Project& project, Source& source, std::size_t entryIndex, double t,
                                 std::size_t receptorIndex, std::size_t i, std::size_t slice);

// Both at `count` times at once (years; 0 for a time before the source
// starts): out[k] is the value at timesYears[k]. The aquifer solutions at
// the different times are independent, so the solver takes them together.
void ReceptorConcentrations(Project& project, Source& source, std::size_t entryIndex,
                            std::size_t receptorIndex, const double* timesYears, std::size_t count,
                            std::size_t i, std::size_t sourceIndex, double* out);
// The same for the receptors [firstReceptor, endReceptor) at the same
// `count` times: out[(r - firstReceptor) * count + k]. All of them go to the
// solver together; each value is the one the call for its receptor alone
// gives, to the bit.
void ReceptorConcentrationsAt(Project& project, Source& source, std::size_t entryIndex,
                              std::size_t firstReceptor, std::size_t endReceptor,
                              const double* timesYears, std::size_t count, std::size_t i,
                              std::size_t sourceIndex, double* out);
// The same for several entries of the source at once:
// out[(e * (endReceptor - firstReceptor) + r - firstReceptor) * count + k]
// for entryIndices[e]. Every problem of all of them goes to the solver in
// one batch.
void ReceptorConcentrationsOfEntries(Project& project, Source& source,
                                     const std::size_t* entryIndices, std::size_t entryCount,
                                     std::size_t firstReceptor, std::size_t endReceptor,
                                     const double* timesYears, std::size_t count, std::size_t i,
                                     std::size_t sourceIndex, double* out);
// The total concentration (mg/l) of a contaminant at a time (years) that a
// receptor standing at each of the points (aquifer frame: rotatedX,
// rotatedY) would receive in iteration i, from every source with the
// background of a species present in the aquifer: the value the run gives
// a receptor there, to the bit. Reads the run's state of iteration i (its
// samples, source points, flows, retardation and unsaturated zone); the
// only writes are the source term's derived porosities of iteration i,
// which it derives again to the same values. So several threads may call
// it at once on different iterations, as the run's own threads do.
void TotalConcentrationsAtPoints(Project& project, std::size_t contaminantIndex, double timeYears,
                                 const PlanPoint* points, std::size_t count, std::size_t i,
                                 double* totals);

void DilutedInputConcentrations(Project& project, Source& source, std::size_t entryIndex,
                                const double* timesYears, std::size_t count,
                                std::size_t receptorIndex, std::size_t i, double* out);

} // namespace varnex
