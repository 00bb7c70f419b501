#pragma once

#include <cstddef>

namespace varnex {

class Project;
class Source;

// The mixing zone beneath a source for iteration i: the depth over which the
// water leaving the unsaturated zone mixes into the top of the aquifer, the
// source's effective width across the flow, the aquifer flow through the
// mixing zone, and the diluted concentration of one inventory entry at the
// base of pathway `pathwayIndex` for every time slice (in plume mode the
// first only).
//
// Writes, at index i: the aquifer's mixing zone thickness (when calculated
// or capped at the aquifer thickness), its cross-section Z x W, the
// source's effective width (aquifer.effectiveWidths[sourceIndex]) and
// mixing zone flow (m³/year), and the entry's "Diluted Concentration at %lf
// years". At "Level 3a" only the width and the flow matter; the diluted
// concentrations are 0.
//
// Raises the shown Exception when the mixing zone depth must be computed
// but the aquifer's conductivity, gradient or thickness is 0.
void ComputeMixingZoneAndDilution(Project& project, Source& source, std::size_t entryIndex,
                                  std::size_t pathwayIndex, std::size_t i, std::size_t sourceIndex);

} // namespace varnex
