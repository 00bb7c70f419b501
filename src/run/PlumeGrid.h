#pragma once

#include <string>

namespace varnex {

class PlumeObserver;
class Project;

// One plume map: the concentration of one contaminant at one time in the
// aquifer over a rectangle of the site plan, on a square grid of nodes. It
// is a deterministic calculation, not a Monte Carlo run: every input takes
// its distribution's central value, and the receptor calculation is
// evaluated at every node by moving a temporary receptor "plume" over them.
struct PlumeRequest {
    int contaminantIndex = -1; // into the project's contaminants
    double timeYears = 0.0;
    double spacingM = 0.0;
    // The area mapped, site plan metres: left edge, top edge, width, height.
    double leftX = 0.0;
    double topY = 0.0;
    double widthM = 0.0;
    double heightM = 0.0;
    std::string title; // the project's title, for the progress text
    int threads = 0;   // 0: every core
};

// The most nodes a plume may have (a 1000 x 1000 grid).
constexpr long long maximumPlumeNodes = 1000000;

// Computes the grid into project.plume (columns of ceil(width / spacing),
// each of ceil(height / spacing) nodes). Returns true when every node is
// computed; false when stopped (the grid keeps the nodes computed so far)
// or when the calculation fails or is refused (observer.Failed tells why).
// Refused, with the project unchanged: a level other than "Level 3" and
// "Level 3a", no such contaminant, a time or spacing not above 0, more than
// maximumPlumeNodes nodes.
//
// The calculation overwrites the results of the last run, so afterwards
// the project's results are invalid, whatever the outcome. The temporary
// receptors are removed and the iteration count restored on every exit;
// plume mode is off again afterwards. Nodes are computed on several
// threads, each moving its own temporary receptor on its own iteration
// index; since every iteration holds the same central values, the grid is
// identical for every thread count.
bool ComputePlume(Project& project, const PlumeRequest& request, PlumeObserver& observer);

} // namespace varnex
