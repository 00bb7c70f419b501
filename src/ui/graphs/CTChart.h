#pragma once

#include <QChartView>
#include <QPoint>

#include "ui/graphs/GraphAxis.h"
#include "ui/graphs/GraphContent.h"

class QChart;
class QPainter;
class QRubberBand;

namespace varnex::ui {

// How a result graph is drawn: the axis ranges and scales and the grid.
struct ChartSettings {
    GraphAxisScale x;
    GraphAxisScale y;
    bool grid = true;
};

// The chart component of the result graphs. It draws a GraphContent with
// the axis labels of the result graphs ("#,##0.0##", and "1e-2" on a
// logarithmic axis, whose values it plots as their logarithms). The same
// drawing goes to a window (this view) or, through Render, to any paint
// device without a window: an image, an SVG generator, a printer.
class CTChart : public QChartView {
    Q_OBJECT

public:
    explicit CTChart(QWidget* parent = nullptr);

    void Show(const GraphContent& content, const ChartSettings& settings);
    const GraphContent& Content() const { return content_; }
    const ChartSettings& Settings() const { return settings_; }

    // The range that shows all of the content (standard line included),
    // rounded out to labelled ticks; log switches as given.
    static ChartSettings FittingSettings(const GraphContent& content, bool xLog, bool yLog,
                                         bool grid);

    // A chart object of the content, owned by the caller.
    static QChart* BuildChart(const GraphContent& content, const ChartSettings& settings);
    // Draws the content into `target` of the painter's device.
    static void Render(const GraphContent& content, const ChartSettings& settings,
                       QPainter& painter, const QRectF& target);

    // "Window" zoom: the next rectangle dragged with the mouse is reported
    // as a zoom range in data units.
    void BeginZoomWindow();

signals:
    void ZoomWindowChosen(double xMin, double xMax, double yMin, double yMax);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    GraphContent content_;
    ChartSettings settings_;
    bool zoomWindow_ = false;
    QPoint zoomOrigin_;
    QRubberBand* rubberBand_ = nullptr;
};

} // namespace varnex::ui
