#pragma once

namespace varnex {

class Project;

// Fills, at the start of a run, the samples of every input the project's
// level and options need (N per input), in a fixed order, from the one
// random stream: the order decides which random number feeds which input.
// Also puts the source geometry into the aquifer frame, forces physically
// consistent pairs by re-drawing, scales the unsaturated layer thicknesses to
// the overall thickness (counting, per source, the iterations whose scaled
// thicknesses leave their range into project.thicknessOutOfRangeCount, which
// the caller has sized and zeroed), and chooses each iteration's source
// centre. In plume mode every draw is the central value.
//
// Raises the shown Exception for a pair that still fails after 1000
// re-draws, a saturation above 100 % and layers whose thicknesses sum to 0.
void SampleIterationInputs(Project& project);

// A random point inside the source polygon in the aquifer frame: up to 1000
// candidates drawn uniformly in the bounding box (x, then y, from the random
// stream); the first inside is taken. When none is, the centroid (when it is
// inside) or else the middle of the polygon's stretch across the flow
// through the centroid.
struct PlanPoint;
class Source;
PlanPoint RandomPointInSource(const Source& source);

} // namespace varnex
