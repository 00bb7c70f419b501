#pragma once

namespace varnex {

class Project;
struct PlumeRequest;

// The area a plume maps when the user gives none: the bounding box of the
// sources' vertices and the receptors, widened by 20 % of its width and of
// its height on each side, so that the plume's edges around the sources and
// the receptors downstream are in the map. A side of length 0 (every point
// on one line) takes the other side's length; a single point gives one node
// at the point (a square of one spacing, its top left corner there).
// Sets the request's leftX, topY, widthM and heightM (site plan metres);
// false, with the request unchanged, when the project has no point at all.
bool DefaultPlumeArea(const Project& project, double spacingM, PlumeRequest& request);

} // namespace varnex
