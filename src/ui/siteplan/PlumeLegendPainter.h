#pragma once

#include <QColor>
#include <QRect>
#include <QString>

class QPainter;

namespace varnex {
class Project;
}

namespace varnex::ui {

// The colour of plume band 0 ... 15 (see run/PlumeLegend.h). The ramp is
// viridis turned round: pale yellow for the faint traces, deep violet for
// the highest concentrations, so darker always means more, the steps stay
// evenly spaced to the eye and read the same with red-green colour blindness
// and in greyscale print. The lowest bands fade out: band 0 (down to 1e-30
// mg/l, far below anything measurable) is not drawn at all and the next
// ones are washed towards white, so that traces do not look like a plume
// spreading kilometres. Band 0 is transparent, the others opaque; the plan
// draws them over the map with some transparency.
QColor PlumeBandColour(int band);

// The colour of the water quality standard's contour, the same as the
// standard's line on the result graphs.
QColor PlumeStandardColour();

// The water quality standard (mg/l) of the contaminant of the project's
// plume; 0 when it has none.
double PlumeStandard(const Project& project);

// The "Plume Legend": the title and the 16 bands, highest first, in a box
// whose bottom-right corner sits at `bottomRight` (viewport pixels). With a
// standard above 0 the band holding it is framed in the contour's colour
// and a last row shows the contour line with the standard's value.
class PlumeLegendPainter {
public:
    explicit PlumeLegendPainter(QString title, double standardMgPerL = 0.0);

    // The band framed as holding the standard; -1 without a standard.
    int StandardBand() const;
    // "Water quality standard: %g mg/l"; empty without a standard.
    QString StandardText() const;

    QSize Size(const QPainter& painter) const;
    void Paint(QPainter& painter, const QPoint& bottomRight) const;

private:
    QString title_;
    double standard_ = 0.0;
};

} // namespace varnex::ui
