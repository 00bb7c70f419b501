// The probability map in the desktop program: the plume dialog's choices,
// the question when no run is in memory, the map computed from a run and
// drawn with its legend and contours, Stop, the exports and the report's
// map page; and the contour tracing on hand-made fields.

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <utility>

#include "MainWindowTest.h"
#include "ScriptedPrompts.h"
#include "UiTestSupport.h"
#include "model/Project.h"
#include "run/PlumeLegend.h"
#include "run/ProbabilityMap.h"
#include "settings/SolverKernel.h"
#include "ui/reports/ReportModel.h"
#include "ui/reports/ReportPrinter.h"
#include "ui/shell/CMainFrame.h"
#include "ui/shell/CVarnexDoc.h"
#include "ui/siteplan/CPhaseView.h"
#include "ui/siteplan/ContourPainter.h"
#include "ui/siteplan/MapLegendPainter.h"
#include "ui/siteplan/PlumeDialog.h"
#include "ui/siteplan/ProbabilityMapDrawing.h"
#include "ui/siteplan/ProbabilityMapItem.h"
#include "ui/siteplan/ProbabilityMapProgressDialog.h"

using varnex::Contaminant;
using varnex::MapGrid;
using varnex::PlumeMapKind;
using varnex::PlumeMapQuantity;
using varnex::ProbabilityMap;
using varnex::ProbabilityMapRequest;
using varnex::Project;
using varnex::ui::CMainFrame;
using varnex::ui::ContourScale;
using varnex::ui::MapLegendClassOf;
using varnex::ui::PlumeDialog;
using varnex::ui::ProbabilityMapClasses;
using varnex::ui::ProbabilityMapDrawing;
using varnex::ui::ProbabilityMapProgressDialog;
using varnex::ui::ReportBlock;
using varnex::ui::ReportModel;
using varnex::ui::ReportPrinter;
using varnex::ui::test::ScriptedPrompts;
using varnex::ui::test::WhenModalOpens;
using Command = CMainFrame::Command;

namespace {

constexpr double notComputed = std::numeric_limits<double>::quiet_NaN();

QString ExamplePath(const QString& name) {
    return QStringLiteral(VARNEX_SOURCE_DIR "/examples/") + name;
}

// The endpoints of the segments with how many segments meet at each,
// rounded to 1e-9 so that the two cells sharing an edge give one point.
std::map<std::pair<long long, long long>, int> EndpointUse(const std::vector<QLineF>& segments) {
    std::map<std::pair<long long, long long>, int> use;
    for (const QLineF& segment : segments)
        for (const QPointF& point : {segment.p1(), segment.p2()})
            ++use[{std::llround(point.x() * 1e9), std::llround(point.y() * 1e9)}];
    return use;
}

// The site plan's context menu off the sources and receptors.
QStringList ContextMenuTexts(CMainFrame& frame) {
    QStringList texts;
    const QPoint corner(3, frame.PhaseView()->viewport()->height() - 3);
    if (std::unique_ptr<QMenu> menu = frame.PhaseView()->ContextMenuAt(corner))
        for (const QAction* action : menu->actions()) texts << action->text();
    return texts;
}

// Colours equal but for the rounding of a premultiplied, translucent pixel.
bool SameColour(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) <= 2 && std::abs(a.green() - b.green()) <= 2 &&
           std::abs(a.blue() - b.blue()) <= 2;
}

bool HasSegment(const std::vector<QLineF>& segments, QPointF a, QPointF b) {
    const auto near = [](QPointF p, QPointF q) { return QLineF(p, q).length() < 1e-12; };
    for (const QLineF& s : segments)
        if ((near(s.p1(), a) && near(s.p2(), b)) || (near(s.p1(), b) && near(s.p2(), a)))
            return true;
    return false;
}

// A hand-made probability map of `columns` x `rows` nodes 10 m apart from
// (0, 100): the exceedance probability falls linearly from 1 at the left
// edge to 0 at the right one (so P = 0.5 lies half-way across), the mean is
// 0.02 mg/l times the same fraction and the 95th percentile twice the mean.
ProbabilityMap HandMadeMap(std::size_t columns, std::size_t rows) {
    ProbabilityMap map;
    map.contaminantIndex = 0;
    map.contaminantName = "Benzene";
    map.timeYears = 50.0;
    map.timeSlice = 3;
    map.grid = MapGrid{0.0, 100.0, 10.0, 10.0, columns, rows};
    map.iterations = 1001;
    map.standardMgPerL = 0.01;
    map.percentileLevels = {50, 95};
    map.percentiles.assign(2, {});
    for (std::size_t r = 0; r < rows; ++r)
        for (std::size_t c = 0; c < columns; ++c) {
            const double fraction = 1.0 - double(c) / double(columns - 1);
            map.exceedance.push_back(fraction);
            map.mean.push_back(0.02 * fraction);
            map.percentiles[0].push_back(0.02 * fraction);
            map.percentiles[1].push_back(0.04 * fraction);
        }
    map.complete = true;
    return map;
}

} // namespace

class ProbabilityMapWindowTest : public varnex::ui::test::MainWindowTest {
    Q_OBJECT

private slots:
    void initTestCase() { StartPreferences(); }
    void cleanupTestCase() { EndPreferences(); }
    void init() {
        OpenMainWindow(1280, 860);
        // The closed-form kernel: these tests are about the window, and a
        // map of thousands of nodes over a thousand iterations is some
        // twenty times quicker with it (which keeps them quick under the
        // sanitizers too).
        frame_->ApplySolverKernel(varnex::SolverKernel::exact);
    }
    void cleanup() { CloseMainWindow(); }

    // Marching squares against contours worked out by hand.
    void contoursOfHandMadeFields() {
        // The plane f = c + r over 3 x 3 nodes: the contour at 1.5 is the
        // straight line c + r = 1.5 from (0, 1.5) to (1.5, 0), 1.5 sqrt 2
        // long; linear interpolation is exact on a plane.
        std::vector<double> plane;
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) plane.push_back(c + r);
        const std::vector<QLineF> diagonal = varnex::ui::MarchingSquares(plane, 3, 3, 1.5);
        QCOMPARE(diagonal.size(), std::size_t(3)); // cells (0,0), (1,0) and (0,1)
        double length = 0.0;
        for (const QLineF& segment : diagonal) {
            length += segment.length();
            for (const QPointF& end : {segment.p1(), segment.p2()})
                QVERIFY(std::abs(end.x() + end.y() - 1.5) < 1e-12);
        }
        QVERIFY(std::abs(length - 1.5 * std::sqrt(2.0)) < 1e-12);

        // The plane f = c over 4 x 3 nodes at 1.5: two vertical segments at
        // c = 1.5 (half-way between the values 1 and 2). A node not computed
        // (NaN at column 2, row 0) takes the cells around it out: only the
        // lower segment stays.
        std::vector<double> ramp;
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c) ramp.push_back(c);
        std::vector<QLineF> vertical = varnex::ui::MarchingSquares(ramp, 4, 3, 1.5);
        QCOMPARE(vertical.size(), std::size_t(2));
        QVERIFY(HasSegment(vertical, {1.5, 0.0}, {1.5, 1.0}));
        QVERIFY(HasSegment(vertical, {1.5, 1.0}, {1.5, 2.0}));
        ramp[2] = notComputed;
        vertical = varnex::ui::MarchingSquares(ramp, 4, 3, 1.5);
        QCOMPARE(vertical.size(), std::size_t(1));
        QVERIFY(HasSegment(vertical, {1.5, 1.0}, {1.5, 2.0}));

        // The cone f = distance from node (2, 2) over 5 x 5 nodes at 1.5:
        // one closed ring (every end shared by two segments) crossing the
        // axes half-way between the nodes at distance 1 and 2, e.g. at
        // (3.5, 2), and elsewhere within 0.02 of radius 1.5 (the chord of
        // the interpolation: at (3 + 0.104, 3) the radius is 1.490).
        std::vector<double> cone;
        for (int r = 0; r < 5; ++r)
            for (int c = 0; c < 5; ++c) cone.push_back(std::hypot(c - 2.0, r - 2.0));
        const std::vector<QLineF> ring = varnex::ui::MarchingSquares(cone, 5, 5, 1.5);
        QCOMPARE(ring.size(), std::size_t(12));
        for (const auto& [point, count] : EndpointUse(ring)) QCOMPARE(count, 2);
        int onAxes = 0;
        for (const QLineF& segment : ring)
            for (const QPointF& end : {segment.p1(), segment.p2()}) {
                const double radius = std::hypot(end.x() - 2.0, end.y() - 2.0);
                QVERIFY2(radius > 1.48 && radius <= 1.5 + 1e-12,
                         qPrintable(QString::number(radius)));
                if (QLineF(end, {3.5, 2.0}).length() < 1e-12 ||
                    QLineF(end, {0.5, 2.0}).length() < 1e-12 ||
                    QLineF(end, {2.0, 3.5}).length() < 1e-12 ||
                    QLineF(end, {2.0, 0.5}).length() < 1e-12)
                    ++onAxes;
            }
        QCOMPARE(onAxes, 8); // four points, each the end of two segments

        // A saddle: 1 at the top-left and bottom-right corners, 0 at the
        // others, so the centre (the mean) is 0.5. At 0.5 the centre counts
        // as above, the high corners join and the low ones are cut off; at
        // 0.6 the high corners are cut off, the crossings at 0.4 of the way
        // from the high corner: (0.4, 0) and (0, 0.4).
        const std::vector<double> saddle{1.0, 0.0, 0.0, 1.0};
        std::vector<QLineF> cut = varnex::ui::MarchingSquares(saddle, 2, 2, 0.5);
        QCOMPARE(cut.size(), std::size_t(2));
        QVERIFY(HasSegment(cut, {0.5, 0.0}, {1.0, 0.5}));
        QVERIFY(HasSegment(cut, {0.5, 1.0}, {0.0, 0.5}));
        cut = varnex::ui::MarchingSquares(saddle, 2, 2, 0.6);
        QCOMPARE(cut.size(), std::size_t(2));
        QVERIFY(HasSegment(cut, {0.0, 0.4}, {0.4, 0.0}));
        QVERIFY(HasSegment(cut, {1.0, 0.6}, {0.6, 1.0}));

        // Concentrations are interpolated by their logarithms: 0.01 lies
        // half-way between 0.001 and 0.1.
        const std::vector<double> decades{0.001, 0.1, 0.001, 0.1};
        const std::vector<QLineF> logCut =
            varnex::ui::MarchingSquares(decades, 2, 2, 0.01, ContourScale::logarithmic);
        QCOMPARE(logCut.size(), std::size_t(1));
        QVERIFY(HasSegment(logCut, {0.5, 0.0}, {0.5, 1.0}));
    }

    // The legend's classes: their texts, bounds and a colour order that
    // survives greyscale print.
    void legendClasses() {
        const auto probability = ProbabilityMapClasses(PlumeMapQuantity::exceedance, 0.01);
        QStringList texts;
        for (const auto& entry : probability) texts << entry.text;
        QCOMPARE(texts, QStringList({QStringLiteral("0–5 %"), QStringLiteral("5–25 %"),
                                     QStringLiteral("25–50 %"), QStringLiteral("50–75 %"),
                                     QStringLiteral("75–95 %"), QStringLiteral("95–100 %")}));
        // A bound belongs to the class above it; a certainty to the top class.
        QCOMPARE(MapLegendClassOf(probability, 0.0), 0);
        QCOMPARE(MapLegendClassOf(probability, 0.05), 1);
        QCOMPARE(MapLegendClassOf(probability, 0.9499), 4);
        QCOMPARE(MapLegendClassOf(probability, 1.0), 5);
        QCOMPARE(MapLegendClassOf(probability, notComputed), -1);
        for (std::size_t k = 1; k < probability.size(); ++k)
            QVERIFY(qGray(probability[k].colour.rgb()) < qGray(probability[k - 1].colour.rgb()));

        // Relative to a standard of 0.01 mg/l: 0.01 x 0.01 = 0.0001 mg/l,
        // 10 x 0.01 = 0.1 mg/l.
        const auto relative = ProbabilityMapClasses(PlumeMapQuantity::percentile, 0.01);
        QCOMPARE(relative.size(), std::size_t(6));
        QCOMPARE(relative[0].text, QStringLiteral("below 0.01 × standard (< 0.0001 mg/l)"));
        QCOMPARE(relative[3].text, QStringLiteral("0.5–1 × standard (0.005–0.01 mg/l)"));
        QCOMPARE(relative[5].text, QStringLiteral("above 10 × standard (> 0.1 mg/l)"));
        // The standard itself is exceeded-or-equal: the "1-10 x" class.
        QCOMPARE(MapLegendClassOf(relative, 0.01), 4);
        QCOMPARE(MapLegendClassOf(relative, 0.0), 0);
        QCOMPARE(MapLegendClassOf(relative, 5.0), 5);
        // Without a standard: the decades of the central-value map, 1e-12
        // mg/l upwards.
        const auto decades = ProbabilityMapClasses(PlumeMapQuantity::mean, 0.0);
        QCOMPARE(decades.size(), std::size_t(varnex::plumeBandCount - 1));
        QCOMPARE(decades.front().text, QString::fromStdString(varnex::PlumeBandText(1)));
        QCOMPARE(MapLegendClassOf(decades, 1e-40), -1);
        QCOMPARE(MapLegendClassOf(decades, 1000.0), int(decades.size()) - 1);
    }

    void dialogOffersProbabilityWithoutExceedanceForNoStandard() {
        QVERIFY(frame_->ImportJsonFile(ExamplePath(QStringLiteral("level3-gasworks-chalk.json"))));
        Project& project = frame_->Document().GetProject();
        project.contaminants[1].standardStatus = Contaminant::noStandard;
        PlumeDialog dialog(project, QRectF(0.0, 0.0, 500.0, 400.0), prompts_);
        QCOMPARE(dialog.KindBox()->count(), 2);
        QCOMPARE(dialog.KindBox()->currentIndex(), 0); // central values by default
        QVERIFY(!dialog.TimeEntry()->isHidden());
        QVERIFY(dialog.QuantityBox()->isHidden());

        dialog.KindBox()->setCurrentIndex(1);
        QVERIFY(dialog.TimeEntry()->isHidden());
        QVERIFY(!dialog.TimeSliceBox()->isHidden());
        QCOMPARE(dialog.TimeSliceBox()->count(), int(project.timeSlices.size()));
        dialog.ContaminantBox()->setCurrentIndex(0); // benzene, 0.01 mg/l
        QCOMPARE(dialog.QuantityBox()->count(), 3);
        QCOMPARE(dialog.QuantityBox()->itemText(0),
                 QStringLiteral("Probability of exceeding the standard"));
        QVERIFY(dialog.StandardNote().isEmpty());
        dialog.ContaminantBox()->setCurrentIndex(1); // toluene, now without a standard
        QCOMPARE(dialog.QuantityBox()->count(), 2);
        QCOMPARE(dialog.QuantityBox()->itemText(0), QStringLiteral("Mean"));
        QVERIFY(dialog.StandardNote().startsWith(QStringLiteral("No water quality standard")));
        // The percentile level is offered only for the percentile quantity.
        QVERIFY(dialog.PercentileBox()->isHidden());
        dialog.QuantityBox()->setCurrentIndex(1);
        QVERIFY(!dialog.PercentileBox()->isHidden());
    }

    void choicesArePreselectedTheSecondTime() {
        QVERIFY(frame_->ImportJsonFile(ExamplePath(QStringLiteral("level3-gasworks-chalk.json"))));
        Project& project = frame_->Document().GetProject();
        const QRectF area(0.0, 0.0, 500.0, 400.0);
        {
            PlumeDialog dialog(project, area, prompts_);
            dialog.KindBox()->setCurrentIndex(1);
            dialog.ContaminantBox()->setCurrentIndex(0);
            dialog.TimeSliceBox()->setCurrentIndex(3); // 50 years
            dialog.QuantityBox()->setCurrentIndex(2);  // percentile
            dialog.SpacingEntry()->setText(QStringLiteral("20"));
            // Refused: a level outside 1..99; the dialog stays open.
            dialog.PercentilesEntry()->setText(QStringLiteral("50,150"));
            dialog.accept();
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
            QCOMPARE(prompts_.warnings.size(), 1);
            dialog.PercentilesEntry()->setText(QStringLiteral("90, 10,50"));
            dialog.PercentileBox()->setCurrentIndex(dialog.PercentileBox()->findData(90));
            dialog.accept();
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            // 500 x 400 m at 20 m: 25 x 20 nodes from the view's corner.
            const ProbabilityMapRequest request = dialog.MapRequest();
            QCOMPARE(request.grid.columns, std::size_t(25));
            QCOMPARE(request.grid.rows, std::size_t(20));
            QCOMPARE(request.grid.leftX, 0.0);
            QCOMPARE(request.grid.topY, 400.0);
            QCOMPARE(request.timeYears, 50.0);
            QCOMPARE(request.percentileLevels, std::vector<int>({10, 50, 90}));
        }
        QCOMPARE(project.plumeMap.kind, PlumeMapKind::probability);
        QCOMPARE(project.plumeMap.quantity, PlumeMapQuantity::percentile);
        QCOMPARE(project.plumeMap.shownPercentile, 90);
        QCOMPARE(project.plumeMap.percentiles, std::vector<int>({10, 50, 90}));

        PlumeDialog again(project, area, prompts_);
        QCOMPARE(again.KindBox()->currentIndex(), 1);
        QCOMPARE(again.QuantityBox()->currentText(), QStringLiteral("Percentile"));
        QCOMPARE(again.PercentilesEntry()->text(), QStringLiteral("10,50,90"));
        QCOMPARE(again.PercentileBox()->currentData().toInt(), 90);
        QCOMPARE(again.TimeSliceBox()->currentText(), QStringLiteral("50"));
        QCOMPARE(again.SpacingEntry()->text(), QStringLiteral("20"));
    }

    void withoutARunInMemoryTheUserIsAsked() {
        QVERIFY(frame_->ImportJsonFile(ExamplePath(QStringLiteral("level3-gasworks-chalk.json"))));
        Project& project = frame_->Document().GetProject();
        QVERIFY(!project.runStateInMemory);
        WhenModalOpens<PlumeDialog>([](PlumeDialog& dialog) {
            dialog.KindBox()->setCurrentIndex(1);
            dialog.SpacingEntry()->setText(QStringLiteral("50"));
            dialog.accept();
        });
        frame_->OnModelContaminantPlume(); // answered No
        QCOMPARE(prompts_.questions,
                 QStringList({QStringLiteral("The probability map uses the iterations of the "
                                             "last run. Run the simulation now?")}));
        QVERIFY(prompts_.errors.isEmpty());
        QVERIFY(!frame_->Document().GetProbabilityMap());
        QVERIFY(!project.resultsValid);
        QCOMPARE(ContextMenuTexts(*frame_), QStringList({"DXF Options..."}));
    }

    // A map drawn on the plan: the cells in their classes' colours, nodes
    // not computed left clear, the contours at P = 0.05, 0.5 and 0.95 where
    // the linear field crosses them, the legend, and the export commands.
    void mapIsDrawnWithItsLegendAndContours() {
        QVERIFY(frame_->ImportJsonFile(ExamplePath(QStringLiteral("level3-gasworks-chalk.json"))));
        Project& project = frame_->Document().GetProject();
        project.plumeMap.kind = PlumeMapKind::probability;
        project.plumeMap.quantity = PlumeMapQuantity::exceedance;
        ProbabilityMap map = HandMadeMap(21, 11);
        // A stopped calculation: the last row not computed.
        for (std::size_t c = 0; c < 21; ++c) map.exceedance[10 * 21 + c] = notComputed;
        map.complete = false;
        frame_->ShowProbabilityMap(map);

        const varnex::ui::ProbabilityMapItem* item = frame_->PhaseView()->ProbabilityItem();
        QVERIFY(item);
        QCOMPARE(item->Image().size(), QSize(21, 11));
        // Column 0: P = 1, the top class; column 19: P = 0.05, in "5-25 %";
        // column 10: P = 0.5, in "50-75 %"; column 20, P = 0, is not drawn.
        const auto classes = ProbabilityMapClasses(PlumeMapQuantity::exceedance, 0.01);
        QVERIFY(SameColour(item->Image().pixelColor(0, 0), classes[5].colour));
        QVERIFY(SameColour(item->Image().pixelColor(19, 0), classes[1].colour));
        QCOMPARE(item->Image().pixelColor(20, 0).alpha(), 0); // P = 0: left clear
        QVERIFY(SameColour(item->Image().pixelColor(10, 5), classes[3].colour));
        QCOMPARE(item->Image().pixelColor(5, 10).alpha(), 0);
        // P = 1 - c / 20: P = 0.5 at c = 10, x = 100 m; P = 0.05 at c = 19,
        // x = 190 m; P = 0.95 at c = 1, x = 10 m; each from y = 100 down to
        // y = 10 (the ten rows computed).
        const auto& contours = item->Contours();
        QCOMPARE(contours.size(), std::size_t(3));
        const double expectedX[3] = {190.0, 100.0, 10.0};
        for (std::size_t i = 0; i < 3; ++i) {
            QCOMPARE(contours[i].segments.size(), std::size_t(9));
            for (const QLineF& segment : contours[i].segments) {
                QVERIFY(std::abs(segment.x1() - expectedX[i]) < 1e-9);
                QVERIFY(std::abs(segment.x2() - expectedX[i]) < 1e-9);
                QVERIFY(std::min(segment.y1(), segment.y2()) >= 10.0 - 1e-9);
            }
        }
        const ProbabilityMapDrawing* drawing = frame_->PhaseView()->ShownProbabilityMap();
        QVERIFY(drawing);
        QCOMPARE(drawing->Title(),
                 QStringList({QStringLiteral("Probability of exceeding 0.01 mg/l"),
                              QStringLiteral("Benzene at 50 years, 1001 iterations"),
                              QStringLiteral("Stopped: only the nodes computed are drawn")}));
        QCOMPARE(drawing->ContourTexts(),
                 QStringList({QStringLiteral("Contour P = 0.05"), QStringLiteral("Contour P = 0.5"),
                              QStringLiteral("Contour P = 0.95")}));
        QCOMPARE(ContextMenuTexts(*frame_),
                 QStringList({"Export Map as GeoTIFF...", "Export Contours as GeoJSON...",
                              "DXF Options..."}));
        frame_->PhaseView()->ZoomToArea(drawing->AreaM().adjusted(-50, -50, 50, 50));
        varnex::ui::test::SaveScreenshot(*frame_, QStringLiteral("probability-map-hand-made.png"));

        // The percentile drawn relative to the standard, with its contour
        // at the standard: the 95th percentile 0.04 (1 - c / 20) mg/l is
        // 0.01 at c = 15, x = 150 m (by the logarithms: 0.04 x 0.25).
        project.plumeMap.quantity = PlumeMapQuantity::percentile;
        project.plumeMap.shownPercentile = 95;
        const ProbabilityMapDrawing percentile(HandMadeMap(21, 11), project.plumeMap);
        QCOMPARE(percentile.Title().front(),
                 QStringLiteral("95th percentile of the concentration"));
        QCOMPARE(percentile.Contours().size(), std::size_t(1));
        for (const QLineF& segment : percentile.Contours().front().segments)
            QVERIFY(std::abs(segment.x1() - 150.0) < 1e-9);

        // Any change of the model takes the map away.
        frame_->OnProjectEdited("Edit");
        QVERIFY(!frame_->Document().GetProbabilityMap());
        QVERIFY(!frame_->PhaseView()->ProbabilityItem());
        QCOMPARE(ContextMenuTexts(*frame_), QStringList({"DXF Options..."}));
    }

    // Yes to the question runs the project (saved where the user says),
    // then the map is computed from the run's iterations and drawn; the
    // run's results stay, and the map goes to a GIS from the context menu.
    void mapComputedAfterTheRunKeepsTheResults() {
        QVERIFY(frame_->ImportJsonFile(ExamplePath(QStringLiteral("level3-gasworks-chalk.json"))));
        Project& project = frame_->Document().GetProject();
        QTemporaryDir folder;
        prompts_.yesNoAnswers << true;
        prompts_.saveFiles << folder.filePath(QStringLiteral("gasworks.vnx"));
        frame_->PhaseView()->ZoomAll();
        // About 60 columns over the view: quick, and enough for contours.
        const double spacing = std::ceil(frame_->PhaseView()->VisiblePlanArea().width() / 60.0);
        WhenModalOpens<PlumeDialog>([spacing](PlumeDialog& dialog) {
            dialog.KindBox()->setCurrentIndex(1);
            dialog.ContaminantBox()->setCurrentIndex(0); // benzene
            dialog.TimeSliceBox()->setCurrentIndex(3);   // 50 years
            dialog.QuantityBox()->setCurrentIndex(0);    // exceedance
            dialog.SpacingEntry()->setText(QString::number(spacing));
            dialog.accept();
        });
        frame_->OnModelContaminantPlume();
        QVERIFY2(prompts_.errors.isEmpty(), qPrintable(prompts_.errors.join("\n")));
        QCOMPARE(prompts_.questions.size(), 1);
        QVERIFY(project.resultsValid);
        QVERIFY(project.runStateInMemory);
        QVERIFY(frame_->CommandAction(Command::resultsStatistics)->isEnabled());
        QVERIFY(QFileInfo::exists(folder.filePath(QStringLiteral("gasworks.vnx"))));

        const auto map = frame_->Document().GetProbabilityMap();
        QVERIFY(map);
        QVERIFY(map->complete);
        QCOMPARE(map->iterations, 1001);
        QCOMPARE(map->timeYears, 50.0);
        QCOMPARE(map->grid.spacingXM, spacing);
        QCOMPARE(map->exceedance.size(), map->grid.Nodes());
        double highest = 0.0;
        for (double p : map->exceedance) {
            QVERIFY(p >= 0.0 && p <= 1.0);
            highest = std::max(highest, p);
        }
        // Benzene exceeds its standard near the tar well in some iterations.
        QVERIFY(highest > 0.0);
        QVERIFY(frame_->PhaseView()->ProbabilityItem());
        QCOMPARE(frame_->PhaseView()->ShownProbabilityMap()->Title().value(1),
                 QStringLiteral("Benzene at 50 years, 1001 iterations"));
        varnex::ui::test::SaveScreenshot(*frame_, QStringLiteral("probability-map-gasworks.png"));

        // The exports, each written whole: a TIFF (over an older file of that
        // name), GeoJSON with the levels; nothing else left in the folder.
        const QString tif = folder.filePath(QStringLiteral("benzene.tif"));
        const QString lines = folder.filePath(QStringLiteral("benzene.geojson"));
        {
            QFile older(tif);
            QVERIFY(older.open(QIODevice::WriteOnly));
            older.write("older contents");
        }
        QVERIFY(frame_->ExportMapGeoTiff(tif));
        QVERIFY(frame_->ExportMapContours(lines));
        QVERIFY2(prompts_.errors.isEmpty(), qPrintable(prompts_.errors.join("\n")));
        QFile tiff(tif), json(lines);
        QVERIFY(tiff.open(QIODevice::ReadOnly) && json.open(QIODevice::ReadOnly));
        const QByteArray tiffBytes = tiff.readAll(), jsonBytes = json.readAll();
        QVERIFY(tiffBytes.startsWith("II*") || tiffBytes.startsWith("MM"));
        QVERIFY(jsonBytes.contains("FeatureCollection") && jsonBytes.contains("\"level\""));
        QCOMPARE(QDir(folder.path())
                     .entryList({QStringLiteral("*benzene*")}, QDir::Files | QDir::Hidden),
                 QStringList({QStringLiteral("benzene.geojson"), QStringLiteral("benzene.tif")}));
        // A folder that is a file: the message names the file and the
        // system's reason.
        QVERIFY(!frame_->ExportMapGeoTiff(folder.filePath(QStringLiteral("gasworks.vnx/map.tif"))));
        QCOMPARE(prompts_.errors.size(), 1);
        QVERIFY(prompts_.errors.front().contains(QStringLiteral("gasworks.vnx/map.tif")));
        QVERIFY(prompts_.errors.front().contains(QStringLiteral("\n")));
        prompts_.errors.clear();

        // The mean of the same map is drawn at once from the map in memory
        // (its calculation took seconds).
        const std::vector<double> means = map->mean;
        WhenModalOpens<PlumeDialog>([](PlumeDialog& dialog) {
            dialog.QuantityBox()->setCurrentIndex(1); // mean
            dialog.accept();
        });
        QElapsedTimer clock;
        clock.start();
        frame_->OnModelContaminantPlume();
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(frame_->PhaseView()->ShownProbabilityMap()->Quantity(), PlumeMapQuantity::mean);
        QVERIFY(frame_->Document().GetProbabilityMap()->mean == means);

        // A new run drops the map: it belongs to the last one.
        prompts_.saveFiles << folder.filePath(QStringLiteral("gasworks.vnx"));
        QVERIFY(frame_->RunAndSave());
        QVERIFY(!frame_->Document().GetProbabilityMap());
        QVERIFY(!frame_->PhaseView()->ProbabilityItem());
    }

    // Stop ends the calculation with the nodes computed so far, which are
    // drawn; the others stay clear.
    void stopKeepsTheNodesComputed() {
        QVERIFY(frame_->ImportJsonFile(ExamplePath(QStringLiteral("level3-gasworks-chalk.json"))));
        Project& project = frame_->Document().GetProject();
        QTemporaryDir folder;
        prompts_.saveFiles << folder.filePath(QStringLiteral("gasworks.vnx"));
        QVERIFY(frame_->RunAndSave());
        ProbabilityMapRequest request;
        request.contaminantIndex = 0;
        request.timeYears = 50.0;
        request.grid = MapGrid{-300.0, 300.0, 2.0, 2.0, 300, 300};
        request.blockNodes = 200;
        request.title = "gasworks";
        ProbabilityMapProgressDialog progress(project, request);
        int shownAtStop = -1;
        QTimer::singleShot(1500, &progress, [&] {
            shownAtStop = progress.ProgressValue();
            progress.OnStop();
        });
        QVERIFY(!progress.RunModal());
        QVERIFY(progress.Stopped());
        QVERIFY2(progress.Failures().isEmpty(), qPrintable(progress.Failures().join("\n")));
        QCOMPARE(progress.result(), ProbabilityMapProgressDialog::stoppedOrFailed);
        QVERIFY(shownAtStop >= 0 && shownAtStop < 1000);
        const ProbabilityMap& map = progress.Map();
        QVERIFY(!map.complete);
        std::size_t computed = 0;
        for (double mean : map.mean) computed += std::isnan(mean) ? 0 : 1;
        QVERIFY(computed > 0 && computed < map.grid.Nodes());

        project.plumeMap.kind = PlumeMapKind::probability;
        project.plumeMap.quantity = PlumeMapQuantity::mean;
        frame_->ShowProbabilityMap(map);
        const varnex::ui::ProbabilityMapItem* item = frame_->PhaseView()->ProbabilityItem();
        QVERIFY(item);
        // The last node is not computed: its cell is clear.
        QCOMPARE(item->Image().pixelColor(299, 299).alpha(), 0);
        QCOMPARE(frame_->PhaseView()->ShownProbabilityMap()->Title().last(),
                 QStringLiteral("Stopped: only the nodes computed are drawn"));
    }

    void reportHasTheMapPage() {
        QVERIFY(frame_->ImportJsonFile(ExamplePath(QStringLiteral("level3-gasworks-chalk.json"))));
        Project& project = frame_->Document().GetProject();
        project.plumeMap.kind = PlumeMapKind::probability;
        project.plumeMap.quantity = PlumeMapQuantity::exceedance;
        const ReportModel without = frame_->ResultsReportWithMap();
        frame_->ShowProbabilityMap(HandMadeMap(21, 11));
        const ReportModel with = frame_->ResultsReportWithMap();
        QCOMPARE(with.Count(ReportBlock::Kind::picture), 1);
        const auto picture =
            std::find_if(with.blocks.begin(), with.blocks.end(),
                         [](const ReportBlock& b) { return b.kind == ReportBlock::Kind::picture; });
        QVERIFY(picture->text.contains(QStringLiteral("95–100 %")));
        QVERIFY(picture->text.contains(QStringLiteral("Benzene at 50 years, 1001 iterations")));
        // The run's summary follows the map.
        const ReportBlock& summary = *(picture + 1);
        QStringList labels;
        for (const QStringList& row : summary.rows) labels << row.value(0);
        for (const char* label : {"Simulation Level", "Iterations", "Sampling Method",
                                  "Contaminant", "Time [years]", "Water quality standard [mg/l]"})
            QVERIFY2(labels.contains(QString::fromLatin1(label)), label);

        QTemporaryDir folder;
        const QString pdf = folder.filePath(QStringLiteral("report.pdf"));
        QString error;
        QVERIFY2(ReportPrinter::WritePdf(with, pdf, error), qPrintable(error));
        QVERIFY(QFileInfo(pdf).size() > 1000);
        QPdfWriter a(folder.filePath(QStringLiteral("a.pdf"))), b(folder.filePath("b.pdf"));
        a.setPageSize(QPageSize(QPageSize::A4));
        b.setPageSize(QPageSize(QPageSize::A4));
        QVERIFY(ReportPrinter::CountPages(with, a) > ReportPrinter::CountPages(without, b));
    }
};

QTEST_MAIN(ProbabilityMapWindowTest)
#include "ProbabilityMapWindowTest.moc"
