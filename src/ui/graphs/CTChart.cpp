#include "ui/graphs/CTChart.h"

#include <QCategoryAxis>
#include <QChart>
#include <QGraphicsScene>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <algorithm>
#include <cmath>

#include "ui/common/QtText.h"
#include "ui/graphs/GraphBuilder.h"

namespace varnex::ui {

namespace {

QColor Colour(unsigned rgb) {
    return QColor(static_cast<int>((rgb >> 16) & 0xff), static_cast<int>((rgb >> 8) & 0xff),
                  static_cast<int>(rgb & 0xff));
}

QCategoryAxis* MakeAxis(const GraphAxisScale& given, const std::string& title, bool grid) {
    const GraphAxisScale scale = DrawableScale(given);
    auto* axis = new QCategoryAxis;
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axis->setRange(PlottedPosition(scale, scale.minimum), PlottedPosition(scale, scale.maximum));
    for (const GraphTick& tick : AxisTicks(scale))
        axis->append(ToQString(tick.label), tick.position);
    axis->setTitleText(ToQString(title));
    QFont titleFont = axis->titleFont();
    titleFont.setPointSizeF(9.0);
    titleFont.setBold(false);
    axis->setTitleFont(titleFont);
    QFont labelFont = axis->labelsFont();
    labelFont.setPointSizeF(8.0);
    axis->setLabelsFont(labelFont);
    axis->setGridLineVisible(grid);
    axis->setMinorGridLineVisible(false);
    return axis;
}

void Extend(double value, bool logarithmic, double& low, double& high) {
    if (!std::isfinite(value) || (logarithmic && value <= 0.0)) return;
    low = std::min(low, value);
    high = std::max(high, value);
}

} // namespace

CTChart::CTChart(QWidget* parent) : QChartView(parent) {
    setRenderHint(QPainter::Antialiasing);
    setMinimumSize(320, 240);
    Show(GraphContent{}, ChartSettings{});
}

ChartSettings CTChart::FittingSettings(const GraphContent& content, bool xLog, bool yLog,
                                       bool grid) {
    ChartSettings settings;
    settings.grid = grid;
    double xLow = HUGE_VAL, xHigh = -HUGE_VAL, yLow = HUGE_VAL, yHigh = -HUGE_VAL;
    for (const GraphCurve& curve : content.curves)
        for (const GraphPoint& point : curve.points) {
            Extend(point.x, xLog, xLow, xHigh);
            Extend(point.y, yLog, yLow, yHigh);
        }
    if (content.hasStandard) Extend(content.standard, yLog, yLow, yHigh);
    // A linear value axis starts at 0 when all values are positive: the
    // eye reads heights from the axis.
    if (!yLog && yLow > 0.0 && yLow != HUGE_VAL) yLow = 0.0;
    settings.x = RoundedScale({xLow, xHigh, xLog});
    settings.y = RoundedScale({yLow, yHigh, yLog});
    return settings;
}

QChart* CTChart::BuildChart(const GraphContent& content, const ChartSettings& settings) {
    auto* chart = new QChart;
    chart->setTitle(ToQString(content.Empty() ? content.emptyText : content.title));
    QFont titleFont = chart->titleFont();
    titleFont.setPointSizeF(10.0);
    titleFont.setBold(true);
    chart->setTitleFont(titleFont);
    // Room on the right for the last label of the x axis.
    chart->setMargins(QMargins(4, 4, 24, 4));
    if (content.Empty()) {
        chart->legend()->hide();
        return chart;
    }
    const GraphAxisScale x = DrawableScale(settings.x);
    const GraphAxisScale y = DrawableScale(settings.y);
    QCategoryAxis* xAxis = MakeAxis(x, content.xTitle, settings.grid);
    QCategoryAxis* yAxis = MakeAxis(y, content.yTitle, settings.grid);
    chart->addAxis(xAxis, Qt::AlignBottom);
    chart->addAxis(yAxis, Qt::AlignLeft);

    auto attach = [&](QLineSeries* series) {
        chart->addSeries(series);
        series->attachAxis(xAxis);
        series->attachAxis(yAxis);
    };
    for (const GraphCurve& curve : content.curves) {
        auto* series = new QLineSeries;
        series->setName(ToQString(curve.name));
        QPen pen(Colour(curve.colour));
        pen.setWidthF(1.5);
        series->setPen(pen);
        // Points a log axis cannot show (0 and below) are left out.
        for (const GraphPoint& point : curve.points)
            if ((!x.logarithmic || point.x > 0.0) && (!y.logarithmic || point.y > 0.0))
                series->append(PlottedPosition(x, point.x), PlottedPosition(y, point.y));
        // A single iteration is one point: a marker makes it visible.
        if (series->count() == 1) series->setPointsVisible(true);
        attach(series);
    }
    if (content.hasStandard && (!y.logarithmic || content.standard > 0.0)) {
        auto* line = new QLineSeries;
        line->setName(ToQString(content.standardLabel));
        QPen pen(Colour(GraphBuilder::StandardLineColour()));
        pen.setStyle(Qt::DashLine);
        pen.setWidthF(2.0);
        line->setPen(pen);
        const double level = PlottedPosition(y, content.standard);
        line->append(PlottedPosition(x, x.minimum), level);
        line->append(PlottedPosition(x, x.maximum), level);
        attach(line);
    }
    // The legend sits beside the plot, where it never covers a curve and has
    // room for every name (below the plot, eight names get cut short).
    chart->legend()->setAlignment(Qt::AlignRight);
    QFont legendFont = chart->legend()->font();
    legendFont.setPointSizeF(8.0);
    chart->legend()->setFont(legendFont);
    return chart;
}

void CTChart::Render(const GraphContent& content, const ChartSettings& settings, QPainter& painter,
                     const QRectF& target) {
    QGraphicsScene scene;
    QChart* chart = BuildChart(content, settings);
    scene.addItem(chart); // the scene owns and deletes the chart
    chart->setGeometry(QRectF(QPointF(0, 0), target.size()));
    scene.setSceneRect(chart->geometry());
    scene.render(&painter, target, scene.sceneRect());
}

void CTChart::Show(const GraphContent& content, const ChartSettings& settings) {
    content_ = content;
    settings_ = settings;
    QChart* old = chart();
    setChart(BuildChart(content_, settings_)); // the view owns the new chart
    delete old;
}

void CTChart::BeginZoomWindow() {
    if (content_.Empty()) return;
    zoomWindow_ = true;
    setCursor(Qt::CrossCursor);
}

void CTChart::mousePressEvent(QMouseEvent* event) {
    if (!zoomWindow_ || event->button() != Qt::LeftButton) {
        QChartView::mousePressEvent(event);
        return;
    }
    zoomOrigin_ = event->pos();
    if (!rubberBand_) rubberBand_ = new QRubberBand(QRubberBand::Rectangle, this);
    rubberBand_->setGeometry(QRect(zoomOrigin_, QSize()));
    rubberBand_->show();
}

void CTChart::mouseMoveEvent(QMouseEvent* event) {
    if (zoomWindow_ && rubberBand_ && rubberBand_->isVisible())
        rubberBand_->setGeometry(QRect(zoomOrigin_, event->pos()).normalized());
    QChartView::mouseMoveEvent(event);
}

void CTChart::mouseReleaseEvent(QMouseEvent* event) {
    if (!zoomWindow_ || !rubberBand_ || !rubberBand_->isVisible()) {
        QChartView::mouseReleaseEvent(event);
        return;
    }
    rubberBand_->hide();
    zoomWindow_ = false;
    unsetCursor();
    const QRect area = QRect(zoomOrigin_, event->pos()).normalized();
    if (area.width() < 3 || area.height() < 3) return;
    const QPointF a = chart()->mapToValue(mapToScene(area.topLeft()));
    const QPointF b = chart()->mapToValue(mapToScene(area.bottomRight()));
    auto value = [](const GraphAxisScale& scale, double plotted) {
        return scale.logarithmic ? std::pow(10.0, plotted) : plotted;
    };
    const GraphAxisScale x = DrawableScale(settings_.x);
    const GraphAxisScale y = DrawableScale(settings_.y);
    emit ZoomWindowChosen(value(x, std::min(a.x(), b.x())), value(x, std::max(a.x(), b.x())),
                          value(y, std::min(a.y(), b.y())), value(y, std::max(a.y(), b.y())));
}

} // namespace varnex::ui
