#pragma once

#include <QRectF>
#include <QSize>
#include <QString>
#include <memory>

class QPainter;

namespace varnex {
class Project;
}

namespace varnex::ui {

class SitePlanScene;
struct DxfMapGeometry;

// A computed plume as a map to keep or print: the site plan of the mapped
// area (background map, plume, sources, receptors), north up at one scale
// for x and y, a scale bar in its lower left corner and the plume legend in
// a margin of its own on the right, clear of the map. The desktop program's
// "Save Plume Map As..." and its headless --render-plume both draw it.
class PlumePicture {
public:
    // `areaM` is the mapped area in site-plan metres (y north); `map` (may
    // be null) is drawn when the project's domain shows it. The project's
    // last plume grid is the one drawn.
    PlumePicture(const Project& project, const DxfMapGeometry* map, const QRectF& areaM);
    ~PlumePicture();

    // 1200 pixels wide, the height following the area's shape (480 to 4000).
    QSize DefaultSize() const;
    void Paint(QPainter& painter, const QSize& size) const;
    // PNG or SVG by the file name's suffix; false when it cannot be written.
    bool Write(const QString& path, const QSize& size) const;

private:
    std::unique_ptr<SitePlanScene> scene_;
    QRectF areaM_;
    QString legendTitle_;
    double standard_ = 0.0; // mg/l, 0 for none
};

} // namespace varnex::ui
