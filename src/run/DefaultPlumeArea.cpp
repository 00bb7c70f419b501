#include "run/DefaultPlumeArea.h"

#include <algorithm>
#include <limits>

#include "model/Project.h"
#include "run/PlumeGrid.h"

namespace varnex {

bool DefaultPlumeArea(const Project& project, double spacingM, PlumeRequest& request) {
    constexpr double infinity = std::numeric_limits<double>::infinity();
    double minX = infinity, maxX = -infinity, minY = infinity, maxY = -infinity;
    auto include = [&](double x, double y) {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    };
    for (const Source& source : project.sources)
        for (const PlanPoint& vertex : source.vertices) include(vertex.x, vertex.y);
    for (const Receptor& receptor : project.receptors) include(receptor.x, receptor.y);
    if (minX > maxX) return false;

    double width = maxX - minX, height = maxY - minY;
    if (width <= 0.0 && height <= 0.0) {
        request.leftX = minX;
        request.topY = maxY;
        request.widthM = spacingM;
        request.heightM = spacingM;
        return true;
    }
    if (width <= 0.0) width = height;
    if (height <= 0.0) height = width;
    const double centreX = 0.5 * (minX + maxX), centreY = 0.5 * (minY + maxY);
    request.leftX = centreX - 0.7 * width;
    request.topY = centreY + 0.7 * height;
    request.widthM = 1.4 * width;
    request.heightM = 1.4 * height;
    return true;
}

} // namespace varnex
