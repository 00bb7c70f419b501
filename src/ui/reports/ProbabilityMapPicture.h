#pragma once

#include <QRectF>
#include <QSize>
#include <QStringList>
#include <memory>

#include "run/ProbabilityMap.h"

class QPainter;

namespace varnex {
class Project;
}

namespace varnex::ui {

class ProbabilityMapDrawing;
class SitePlanScene;
struct DxfMapGeometry;

// A probability map as a printed map: the site plan of the mapped area
// (background map, the map's cells and contours, sources, receptors) north
// up at one scale for x and y, with a scale bar and a north arrow in its
// corners and the map's legend in a margin of its own on the right. The
// report's map page draws it. The project must outlive the picture.
class ProbabilityMapPicture {
public:
    // The map is drawn as the project's plume map choices ask.
    ProbabilityMapPicture(const Project& project, const DxfMapGeometry* map,
                          const ProbabilityMap& probabilityMap);
    ~ProbabilityMapPicture();

    const ProbabilityMapDrawing& Drawing() const { return *drawing_; }
    // What the map is of: its contaminant, time, iterations, standard,
    // percentile levels and grid, without the node values.
    const ProbabilityMap& Summary() const { return summary_; }
    // The legend's lines: its title, the class texts (highest first) and the
    // contour lines.
    QStringList LegendTexts() const;
    // Paints into `target` (device pixels).
    void Paint(QPainter& painter, const QRectF& target) const;

private:
    ProbabilityMap summary_;
    std::unique_ptr<ProbabilityMapDrawing> drawing_;
    std::unique_ptr<SitePlanScene> scene_;
    QRectF areaM_;
};

} // namespace varnex::ui
