#pragma once

#include <QLineF>
#include <QPointF>
#include <QString>
#include <QTransform>
#include <cstddef>
#include <vector>

class QPainter;

namespace varnex::ui {

// How the crossing on a cell edge is placed between its two nodes.
enum class ContourScale {
    linear,     // by the values themselves (probabilities)
    logarithmic // by their logarithms (concentrations, which fall off by decades)
};

// The contour of `values` at `level` by marching squares (Lorensen and
// Cline's cube cases in two dimensions): `values` holds a grid row after row
// (index r * columns + c), and the segments come back in grid coordinates,
// x = column and y = row, each crossing placed on its cell edge by linear
// interpolation. A node counts as above the level when its value is at least
// the level. A cell with a NaN corner (a node not computed) has no contour.
// A saddle cell (two opposite corners above, two below) is decided by the
// mean of its corners, the value at its centre under bilinear interpolation:
// a centre above joins the two corners above, so the segments cut off the
// corners below.
std::vector<QLineF> MarchingSquares(const std::vector<double>& values, std::size_t columns,
                                    std::size_t rows, double level,
                                    ContourScale scale = ContourScale::linear);

// One contour over the plan: its segments in site-plan metres and the label
// written where it is drawn ("50 %", "0.01 mg/l").
struct PlanContour {
    double level = 0.0;
    QString label;
    std::vector<QLineF> segments;
};

// Draws the labels of contours drawn by the scene: each label in a small
// white box on the contour near the middle of its extent, upright whatever
// the plan's orientation. `planToDevice` maps site-plan metres to the
// painter's present coordinates (pixels on the screen).
class ContourPainter {
public:
    explicit ContourPainter(const std::vector<PlanContour>& contours);

    // The contour lines themselves, for a painter in plan metres (the
    // scene's item); `pixelWidth` is the pen width on the screen.
    void PaintLines(QPainter& painter, double pixelWidth) const;
    void PaintLabels(QPainter& painter, const QTransform& planToDevice) const;

    // The contours' ink: a dark navy that stands out on every class colour.
    // Several levels are told apart by their dash pattern (dashed, solid,
    // dotted), which survives greyscale print.
    static QColor LineColour();

private:
    const std::vector<PlanContour>& contours_;
};

} // namespace varnex::ui
