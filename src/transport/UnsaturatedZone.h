#pragma once

#include <cstddef>

namespace varnex {

class Project;
class Source;
class SourceContaminant;

// Transport through the unsaturated zone for one Monte Carlo iteration i:
// every active contaminant of every source is carried from the base of the
// contaminated soil down through the source's unsaturated pathways (layers,
// top first) to the water table, and diluted in the aquifer mixing zone
// beneath the source where the level asks for it.
//
// Units inside: infiltration m/year, areas m², conductivities m/s, times
// years (the advection-dispersion kernel gets seconds and m/s), densities
// g/cm³, partition coefficients ml/g, concentrations mg/l.
//
// Every function reads sample i of the inputs and writes only sample i
// (inputs it derives: infiltration, infiltration area, porosities, Kd) and
// value i of the results, so iterations run on any thread. The fissure flow
// flag of a pathway and the saturated soakaway flag of a source are kept
// per iteration too.

// A pair of concentrations at the base of a layer (mg/l): in the water of
// the layer (the fissures under fissure flow) and in the rock matrix (0
// without fissure flow).
struct LayerConcentrations {
    double concentration = 0.0;
    double matrixConcentration = 0.0;
};

// The whole step for iteration i, all sources, in list order: soakaway
// infiltration, soil mass, the travel times of every pathway, then for
// every active entry its retardation, concentrations, dilution and leached
// masses.
void ComputeUnsaturatedZone(Project& project, std::size_t i);

// The infiltration of a soakaway source in iteration i (m/year): its
// drained run-off spread over its infiltration area, at most its maximum
// infiltration rate. Writes the source's infiltration sample i; a source
// that is not a soakaway keeps its sampled infiltration. The run derives it
// before the source term of the iteration, which reads the infiltration
// when the source declines by leaching.
void DeriveSoakawayInfiltration(Source& source, std::size_t i);

// The water travel time through a porous layer (years). Caps the source's
// infiltration at the layer's conductivity; beneath a soakaway that cannot
// take its water unsaturated, runs the soakaway saturated (enlarging the
// infiltration area and setting the saturated soakaway flag).
double PorousMediumTravelTime(Project& project, Source& source, std::size_t pathwayIndex,
                              std::size_t i);

// The travel times through a dual porosity (fissured) layer: through the
// fissures (or the matrix when it carries all the water) and through the
// matrix under fissure flow (years).
struct DualPorosityTimes {
    double travelTime = 0.0;
    double matrixTravelTime = 0.0;
};
DualPorosityTimes DualPorosityTravelTime(Project& project, Source& source, std::size_t pathwayIndex,
                                         std::size_t i);

// Kd (from koc where asked), the retardation factors R and Rm, the layer
// velocities and the retarded travel times of one entry in one pathway.
void RetardationFactors(Project& project, Source& source, SourceContaminant& entry,
                        std::size_t pathwayIndex, std::size_t i);

// The concentrations at the base of one pathway at every time slice (in
// plume mode the plume time only, into the first slice).
void UnsaturatedConcentrations(Project& project, Source& source, SourceContaminant& entry,
                               std::size_t i, std::size_t pathwayIndex);

// The concentrations at the base of pathway p at time t (years), for the
// decay rate lambda (1/s) of pathway p; every layer above decays at its
// own rate. Each layer receives as a constant inlet concentration what left
// the layer above one retarded travel time of its own earlier; the first
// layer receives the leachate of the source term. `slice` is the time
// slice the value is for.
LayerConcentrations ConcentrationAtBase(Project& project, Source& source, SourceContaminant& entry,
                                        double t, std::size_t i, double decayPerS,
                                        std::size_t slice, std::size_t pathwayIndex);

// The same at `count` times at once (years): out[k] is the concentration at
// timesYears[k]. The solutions of one layer at the different times are
// independent, so the solver takes them together.
void ConcentrationsAtBase(Project& project, Source& source, SourceContaminant& entry,
                          const double* timesYears, std::size_t count, std::size_t i,
                          double decayPerS, std::size_t pathwayIndex, LayerConcentrations* out);

// One concentration asked of the base of a layer: for an entry of the
// source, at a time (years), for the decay rate (1/s) of that layer for
// that entry.
struct LayerRequest {
    SourceContaminant* entry = nullptr;
    double timeYears = 0.0;
    double decayPerS = 0.0;
};

// The same for requests of any entries of the source at once: out[n]
// answers requests[n]. The solutions of one layer for all of them are
// independent and go to the solver together; each is the one a request of
// its own would give, to the bit.
void ConcentrationsAtBase(Project& project, Source& source, const LayerRequest* requests,
                          std::size_t count, std::size_t i, std::size_t pathwayIndex,
                          LayerConcentrations* out);

// UnsaturatedConcentrations for several entries of the source together.
void UnsaturatedConcentrationsOfEntries(Project& project, Source& source,
                                        SourceContaminant* const* entries, std::size_t entryCount,
                                        std::size_t i, std::size_t pathwayIndex);

} // namespace varnex
