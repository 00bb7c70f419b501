// The site plan: background maps read from DXF (and refused when they
// cannot be used), digitising and dragging on the plan writing back to the
// project, zooming, the plume's bands, and pictures of the examples.

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <memory>
#include <random>
#include <string>

#include "ScriptedPrompts.h"
#include "SitePlanMouse.h"
#include "UiTestSupport.h"
#include "model/Project.h"
#include "persist/ProjectJson.h"
#include "run/PlumeGrid.h"
#include "run/PlumeLegend.h"
#include "run/PlumeObserver.h"
#include "settings/Preferences.h"
#include "settings/UserInterfaceSettings.h"
#include "ui/common/QtText.h"
#include "ui/shell/CMainFrame.h"
#include "ui/shell/CVarnexDoc.h"
#include "ui/siteplan/CPhaseView.h"
#include "ui/siteplan/DxfMapReader.h"
#include "ui/siteplan/PlumeLegendPainter.h"
#include "ui/siteplan/SitePlanLayers.h"
#include "ui/siteplan/SitePlanPlumeItem.h"
#include "ui/siteplan/SitePlanScene.h"

using varnex::PlanPoint;
using varnex::Project;
using varnex::Receptor;
using varnex::Source;
using varnex::ui::CPhaseView;
using varnex::ui::DxfMapGeometry;
using varnex::ui::DxfMapReader;
using varnex::ui::test::ScriptedPrompts;

using varnex::ui::test::Drag;
using varnex::ui::test::SendMouse;
using varnex::ui::test::Square;

namespace {

QString ExamplePath(const QString& name) {
    return QStringLiteral(VARNEX_SOURCE_DIR "/examples/") + name;
}

// A small drawing with one entity of each kind the map reads, and a HATCH
// the map skips.
const char* const smallDrawing =
    "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1015\n  0\nENDSEC\n"
    "  0\nSECTION\n  2\nENTITIES\n"
    "  0\nLINE\n  8\nROADS\n 10\n0.0\n 20\n0.0\n 30\n0.0\n 11\n100.0\n 21\n0.0\n 31\n0.0\n"
    "  0\nLWPOLYLINE\n  8\nBUILDINGS\n 90\n4\n 70\n1\n 10\n10\n 20\n10\n 10\n30\n 20\n10\n 10\n30\n 20\n25\n"
    " 10\n10\n 20\n25\n"
    "  0\nLWPOLYLINE\n  8\nWATER\n 90\n2\n 70\n0\n 10\n0\n 20\n50\n 42\n1.0\n 10\n10\n 20\n50\n"
    "  0\nPOLYLINE\n  8\nWATER\n 66\n1\n 70\n0\n"
    "  0\nVERTEX\n  8\nWATER\n 10\n0\n 20\n60\n  0\nVERTEX\n  8\nWATER\n 10\n5\n 20\n65\n"
    "  0\nVERTEX\n  8\nWATER\n 10\n12\n 20\n70\n  0\nSEQEND\n"
    "  0\nCIRCLE\n  8\nPLANT\n 10\n50\n 20\n40\n 40\n8\n"
    "  0\nARC\n  8\nPLANT\n 10\n70\n 20\n40\n 40\n5\n 50\n0\n 51\n90\n"
    "  0\nHATCH\n  8\nPLANT\n  2\nSOLID\n 91\n1\n"
    "  0\nTEXT\n  8\nTEXT\n 10\n20\n 20\n-5\n 40\n2.5\n  1\nCANAL STREET\n"
    "  0\nMTEXT\n  8\nTEXT\n 10\n5\n 20\n80\n 40\n2\n  1\n{\\fArial|b1;Former works}\\PSurvey 2023\n"
    "  0\nENDSEC\n  0\nEOF\n";

QString WriteFile(const QTemporaryDir& folder, const QString& name, const QByteArray& bytes) {
    const QString path = folder.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return QString();
    file.write(bytes);
    return path;
}

void Click(CPhaseView& view, const QPoint& pixel) {
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, pixel);
}

using varnex::ui::test::SaveScreenshot;

bool LoadExample(const QString& name, Project& project) {
    std::vector<std::string> problems;
    const std::string path = varnex::ui::ToStdString(ExamplePath(name));
    if (!varnex::LoadProjectJsonFile(path, project, problems)) return false;
    // Map files named in an example lie beside it.
    project.filePath = path;
    return true;
}

} // namespace

class SitePlanTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir preferencesFolder_;
    varnex::UserInterfaceSettings settings_;
    std::unique_ptr<CPhaseView> view_;
    ScriptedPrompts prompts_;
    Project project_;

    void ShowProject() {
        view_ = std::make_unique<CPhaseView>();
        view_->resize(900, 640);
        view_->SetPrompts(&prompts_);
        view_->SetProject(&project_);
        view_->show();
        QVERIFY(QTest::qWaitForWindowExposed(view_.get()));
    }

private slots:
    void initTestCase() {
        QVERIFY(preferencesFolder_.isValid());
        varnex::UseUserPreferencesFile(varnex::ui::ToStdString(
            preferencesFolder_.filePath(QStringLiteral("preferences.ini"))));
        settings_.StartUp();
    }
    void cleanupTestCase() { varnex::ResetUserPreferencesFile(); }

    void init() {
        project_.Reset();
        prompts_ = ScriptedPrompts();
    }
    void cleanup() { view_.reset(); }

    void readsTheEntitiesOfASiteMap() {
        QTemporaryDir folder;
        const QString path = WriteFile(folder, QStringLiteral("site.dxf"), smallDrawing);
        DxfMapGeometry map;
        std::string error;
        QVERIFY2(DxfMapReader::ReadFile(varnex::ui::ToStdString(path), map, error), error.c_str());
        // LINE, the closed building, the bulged ditch, the old-style POLYLINE.
        QCOMPARE(map.polylines.size(), std::size_t(4));
        QCOMPARE(map.polylines[0].points.size(), std::size_t(2));
        QCOMPARE(map.polylines[0].points[1].x, 100.0);
        QVERIFY(map.polylines[1].closed);
        QCOMPARE(map.polylines[1].points.size(), std::size_t(4));
        QCOMPARE(map.polylines[1].points[2].y, 25.0);
        // Bulge 1 is a half circle, anticlockwise from (0,50) to (10,50):
        // it swings south of the chord, every point 5 m from its middle.
        const auto& ditch = map.polylines[2].points;
        QVERIFY(ditch.size() > 10);
        double lowest = 50.0;
        for (const auto& point : ditch) {
            QVERIFY(std::abs(std::hypot(point.x - 5.0, point.y - 50.0) - 5.0) < 1e-6);
            lowest = std::min(lowest, point.y);
        }
        QVERIFY(std::abs(lowest - 45.0) < 0.05);
        QCOMPARE(map.polylines[3].points.size(), std::size_t(3));
        QCOMPARE(map.polylines[3].points[2].x, 12.0);
        QCOMPARE(map.arcs.size(), std::size_t(2));
        QCOMPARE(map.arcs[0].endDegrees - map.arcs[0].startDegrees, 360.0);
        QCOMPARE(map.arcs[1].endDegrees, 90.0);
        QCOMPARE(map.texts.size(), std::size_t(2));
        QCOMPARE(map.texts[0].text, std::string("CANAL STREET"));
        QCOMPARE(map.texts[0].height, 2.5);
        QCOMPARE(map.texts[1].text, std::string("Former works\nSurvey 2023"));

        // The sample map beside the gasworks example.
        QVERIFY2(
            DxfMapReader::ReadFile(
                varnex::ui::ToStdString(ExamplePath("canal-street-survey-2023.dxf")), map, error),
            error.c_str());
        QVERIFY(map.polylines.size() > 20);
        QVERIFY(map.arcs.size() > 4);
        double minX, minY, maxX, maxY;
        QVERIFY(map.Bounds(minX, minY, maxX, maxY));
        QVERIFY(minX < 0.0 && maxX > 300.0 && minY < -30.0 && maxY > 160.0);
    }

    void refusesDamagedDrawingsWithAMessage_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        const QByteArray whole(smallDrawing);
        QTest::newRow("truncated") << whole.left(whole.size() / 2) << QStringLiteral("incomplete");
        QTest::newRow("cut inside an entry")
            << whole.left(whole.indexOf("CIRCLE") - 1) << QStringLiteral("incomplete");
        QTest::newRow("empty") << QByteArray() << QStringLiteral("incomplete");
        QTest::newRow("not a drawing")
            << QByteArray("Site plan\nof the works\n") << QStringLiteral("not a DXF drawing");
        QByteArray hostile = whole;
        hostile.replace(" 90\n4\n", " 90\n2000000000\n");
        QTest::newRow("vertex count beyond the file") << hostile << QStringLiteral("damaged");
        QByteArray negative = whole;
        negative.replace(" 90\n4\n", " 90\n-7\n");
        QTest::newRow("negative vertex count") << negative << QStringLiteral("damaged");
        QTest::newRow("binary DXF")
            << QByteArray("AutoCAD Binary DXF\r\n\x1a", 22) << QStringLiteral("binary DXF");
        QTest::newRow("nothing to draw")
            << QByteArray("  0\nSECTION\n  2\nENTITIES\n  0\nENDSEC\n  0\nEOF\n")
            << QStringLiteral("no lines");
    }
    void refusesDamagedDrawingsWithAMessage() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QTemporaryDir folder;
        const QString path = WriteFile(folder, QStringLiteral("survey.dxf"), bytes);
        DxfMapGeometry map;
        map.texts.push_back({});
        std::string error;
        QVERIFY(!DxfMapReader::ReadFile(varnex::ui::ToStdString(path), map, error));
        QVERIFY2(varnex::ui::ToQString(error).contains(path), error.c_str());
        QVERIFY2(varnex::ui::ToQString(error).contains(expected), error.c_str());
        QVERIFY(map.Empty());
    }

    // Random damage to a good drawing: every outcome is a map or a message,
    // never a crash or an endless read.
    void survivesRandomDamage() {
        const std::string whole(smallDrawing);
        std::mt19937 random(20261208);
        for (int trial = 0; trial < 400; ++trial) {
            std::string damaged = whole;
            const int edits = 1 + static_cast<int>(random() % 4);
            for (int e = 0; e < edits; ++e) {
                const std::size_t at = random() % damaged.size();
                switch (random() % 3) {
                case 0: damaged[at] = static_cast<char>(random() % 256); break;
                case 1: damaged.erase(at, 1 + random() % 20); break;
                default: damaged.insert(at, std::to_string(random())); break;
                }
            }
            DxfMapGeometry map;
            std::string error;
            if (!DxfMapReader::ReadText(damaged, "damaged.dxf", map, error))
                QVERIFY(!error.empty());
        }
    }

    // The DXF library never returns from a line longer than its 1024-byte
    // buffer; such a line (a pasted paragraph as a label, or damage) must
    // neither hang the program nor lose the rest of the drawing.
    void readsPastALineLongerThanTheLibrarysBuffer() {
        // 999 ASCII bytes then "ä" (2 bytes) straddling the cut, then more.
        const std::string label = std::string(999, 'a') + "\xC3\xA4" + std::string(3000, 'b');
        const std::string drawing =
            "  0\nSECTION\n  2\nENTITIES\n  0\nTEXT\n 10\n1\n 20\n2\n 40\n1\n  1\n" + label +
            "\n  0\nLINE\n 10\n0\n 20\n0\n 11\n7\n 21\n3\n  0\nENDSEC\n  0\nEOF\n";
        DxfMapGeometry map;
        std::string error;
        QVERIFY2(DxfMapReader::ReadText(drawing, "long-label.dxf", map, error), error.c_str());
        QCOMPARE(map.texts.size(), std::size_t(1));
        QCOMPARE(map.texts[0].text, std::string(999, 'a'));
        QCOMPARE(map.polylines.size(), std::size_t(1));
        QCOMPARE(map.polylines[0].points[1].x, 7.0);
    }

    void refusesDwgAndSaysToSaveAsDxf() {
        QTemporaryDir folder;
        const QString dwg =
            WriteFile(folder, QStringLiteral("station-road.dwg"), QByteArray("AC1018\0\0\0\0", 10));
        const QString disguised =
            WriteFile(folder, QStringLiteral("station-road.dxf"), QByteArray("AC1027\0\0\x01", 9));
        for (const QString& path :
             {dwg, disguised, folder.filePath(QStringLiteral("missing.dwg"))}) {
            DxfMapGeometry map;
            std::string error;
            QVERIFY(!DxfMapReader::ReadFile(varnex::ui::ToStdString(path), map, error));
            const QString message = varnex::ui::ToQString(error);
            QVERIFY2(message.contains(path) && message.contains(QStringLiteral("DWG")) &&
                         message.contains(QStringLiteral("save the drawing as DXF")),
                     error.c_str());
        }

        // On the plan the refusal is shown, and the project opens untouched.
        project_.sitePlan.backgroundMapFile = varnex::ui::ToStdString(dwg);
        ShowProject();
        QVERIFY(!view_->HasBackgroundMap());
        QVERIFY(view_->BackgroundMapError().contains(QStringLiteral("DWG")));
        QVERIFY(prompts_.errors.isEmpty());
    }

    void digitisingNeedsThreeVertices() {
        ShowProject();
        QSignalSpy edited(view_.get(), &CPhaseView::ProjectEdited);
        view_->BeginDigitising(-1);
        const QList<QPoint> clicks = {{200, 200}, {400, 210}, {420, 400}, {190, 380}};
        Click(*view_, clicks[0]);
        Click(*view_, clicks[1]);
        QTest::keyClick(view_.get(), Qt::Key_Return);
        QCOMPARE(prompts_.errors,
                 QStringList{QStringLiteral("At least three vertices are required.")});
        QVERIFY(project_.sources.empty());
        QCOMPARE(view_->CurrentMode(), CPhaseView::Mode::digitise);

        Click(*view_, clicks[2]);
        Click(*view_, clicks[3]);
        QTest::keyClick(view_.get(), Qt::Key_Return);
        QCOMPARE(project_.sources.size(), std::size_t(1));
        const Source& source = project_.sources[0];
        QCOMPARE(source.name, std::string("Source 1"));
        QCOMPARE(source.vertices.size(), std::size_t(4));
        for (int i = 0; i < 4; ++i) {
            const QPointF expected = view_->mapToScene(clicks[i]);
            QVERIFY(std::abs(source.vertices[i].x - expected.x()) < 1e-6);
            QVERIFY(std::abs(source.vertices[i].y - expected.y()) < 1e-6);
        }
        // North is up: the later clicks lower on the screen lie further south.
        QVERIFY(source.vertices[2].y < source.vertices[1].y);
        QCOMPARE(edited.count(), 1);
        QCOMPARE(view_->Scene()->SourceCount(), 1);

        // Escape drops the vertices placed; the source keeps its outline.
        view_->BeginDigitising(0);
        for (const QPoint& click : clicks) Click(*view_, click + QPoint(30, 30));
        QTest::keyClick(view_.get(), Qt::Key_Escape);
        QCOMPARE(view_->CurrentMode(), CPhaseView::Mode::select);
        QCOMPARE(project_.sources[0].vertices[0].x, view_->mapToScene(clicks[0]).x());
        QCOMPARE(edited.count(), 1);
    }

    // An outline that crosses itself covers ground twice: refused as it is
    // finished, with the vertices kept for the user to go on.
    void digitisingRefusesACrossingOutline() {
        ShowProject();
        QSignalSpy edited(view_.get(), &CPhaseView::ProjectEdited);
        view_->BeginDigitising(-1);
        for (const QPoint& click :
             {QPoint(200, 200), QPoint(400, 400), QPoint(400, 200), QPoint(200, 400)})
            Click(*view_, click);
        QTest::keyClick(view_.get(), Qt::Key_Return);
        QCOMPARE(prompts_.errors,
                 QStringList{QStringLiteral("The source polygon must not cross itself.")});
        QVERIFY(project_.sources.empty());
        QCOMPARE(view_->CurrentMode(), CPhaseView::Mode::digitise);
        QCOMPARE(edited.count(), 0);
    }

    void draggingMovesReceptorsAndVertices() {
        Receptor well;
        well.name = "Borehole";
        well.x = 80.0;
        well.y = 40.0;
        std::string error;
        QVERIFY(project_.AddReceptor(well, error));
        QVERIFY(project_.AddSource(Square("Tank", 0.0, 0.0, 20.0), error, false));
        project_.resultsValid = true;
        ShowProject();
        view_->ZoomAll();
        QSignalSpy edited(view_.get(), &CPhaseView::ProjectEdited);

        // Mouse positions are whole pixels: the receptor moves by what the
        // mouse moved, from wherever on its symbol it was taken.
        const QPointF from = view_->mapToScene(view_->mapFromScene(QPointF(80.0, 40.0)));
        const QPointF to = view_->mapToScene(view_->mapFromScene(from) + QPoint(60, 45));
        Drag(*view_, from, to);
        QCOMPARE(edited.count(), 1);
        QVERIFY(std::abs(project_.receptors[0].x - (80.0 + to.x() - from.x())) < 1e-6);
        QVERIFY(std::abs(project_.receptors[0].y - (40.0 + to.y() - from.y())) < 1e-6);
        QVERIFY(project_.receptors[0].y < 40.0);
        QVERIFY(!project_.resultsValid);

        // A click selects the source and shows its grips; dragging the
        // north-east corner reshapes it.
        Click(*view_, view_->mapFromScene(QPointF(10.0, 10.0)));
        QCOMPARE(view_->Scene()->HandlesSource(), 0);
        const QPointF corner = view_->mapToScene(view_->mapFromScene(QPointF(25.0, 27.0)));
        Drag(*view_, QPointF(20.0, 20.0), corner);
        QCOMPARE(edited.count(), 2);
        QVERIFY(std::abs(project_.sources[0].vertices[2].x - corner.x()) < 1e-6);
        QVERIFY(std::abs(project_.sources[0].vertices[2].y - corner.y()) < 1e-6);
        QCOMPARE(project_.sources[0].vertices[0].x, 0.0);

        // A click without moving changes nothing.
        Drag(*view_, from, from);
        QCOMPARE(edited.count(), 2);
    }

    void sourceMenuDuplicatesAndDeletesWithConfirmation() {
        std::string error;
        QVERIFY(project_.AddSource(Square("Tank", 0.0, 0.0, 20.0), error, true));
        ShowProject();
        view_->ZoomAll();
        std::unique_ptr<QMenu> menu = view_->ContextMenuAt(view_->mapFromScene(QPointF(5.0, 5.0)));
        QVERIFY(menu);
        QStringList texts;
        for (QAction* action : menu->actions())
            if (!action->isSeparator()) texts << action->text();
        QCOMPARE(texts,
                 (QStringList{"Duplicate Source", "Digitise", "Keep Shape", "Delete source",
                              "Unsaturated Zone...", "Infiltration...", "Contaminants...",
                              "Details...", "Show Dialog", "Push to Back", "Bring to Front"}));
        QSignalSpy forms(view_.get(), &CPhaseView::SourceFormRequested);
        menu->actions()[6]->trigger(); // "Infiltration..."
        QCOMPARE(forms.count(), 1);
        QCOMPARE(forms[0][0].toInt(), 0);
        QCOMPARE(forms[0][1].toInt(), int(CPhaseView::infiltrationForm));

        menu->actions()[0]->trigger();
        QCOMPARE(project_.sources.size(), std::size_t(2));
        QCOMPARE(project_.sources[1].name, std::string("Tank - duplicate"));

        menu = view_->ContextMenuAt(view_->mapFromScene(QPointF(5.0, 5.0)));
        prompts_.yesNoAnswers = {false};
        menu->actions()[3]->trigger();
        QCOMPARE(prompts_.questions.size(), 1);
        QVERIFY(
            prompts_.questions[0].startsWith(QStringLiteral("Are you sure you want to delete")));
        QCOMPARE(project_.sources.size(), std::size_t(2));
        menu = view_->ContextMenuAt(view_->mapFromScene(QPointF(5.0, 5.0)));
        prompts_.yesNoAnswers = {true};
        menu->actions()[3]->trigger();
        QCOMPARE(project_.sources.size(), std::size_t(1));
        QCOMPARE(view_->Scene()->SourceCount(), 1);

        // The receptor is a drawing entity: dialog and stacking only.
        const QPointF receptor(project_.receptors[0].x, project_.receptors[0].y);
        menu = view_->ContextMenuAt(view_->mapFromScene(receptor));
        QVERIFY(menu);
        QCOMPARE(menu->actions().size(), 3);

        // Away from both: the background map's options, which the frame
        // opens.
        menu = view_->ContextMenuAt(view_->mapFromScene(QPointF(-500.0, -500.0)));
        QVERIFY(menu);
        QCOMPARE(menu->actions().size(), 1);
        QCOMPARE(menu->actions()[0]->text(), QStringLiteral("DXF Options..."));
        QSignalSpy options(view_.get(), &CPhaseView::DxfOptionsRequested);
        menu->actions()[0]->trigger();
        QCOMPARE(options.count(), 1);
    }

    // The grid is drawn at the stored spacing; a spacing of 0 or less, which
    // only a damaged file holds, draws none (not some spacing of its own).
    void gridFollowsTheStoredSpacing_data() {
        QTest::addColumn<int>("spacing");
        QTest::addColumn<bool>("drawn");
        QTest::newRow("10 m") << 10 << true;
        QTest::newRow("0") << 0 << false;
        QTest::newRow("-5") << -5 << false;
    }
    void gridFollowsTheStoredSpacing() {
        QFETCH(int, spacing);
        QFETCH(bool, drawn);
        project_.sitePlan.showGrid = true;
        project_.sitePlan.gridSpacing = spacing;
        varnex::ui::SitePlanScene scene;
        scene.Rebuild(project_, nullptr, {});
        // 100 m square at 4 pixels a metre: a 10 m grid is 40 pixels apart.
        QImage picture(400, 400, QImage::Format_RGB32);
        picture.fill(Qt::black);
        {
            QPainter painter(&picture);
            scene.render(&painter, QRectF(0.0, 0.0, 400.0, 400.0), QRectF(0.0, 0.0, 100.0, 100.0));
        }
        int white = 0, other = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                (picture.pixel(x, y) == qRgb(255, 255, 255) ? white : other)++;
        QVERIFY(white > 0);
        QCOMPARE(other > 0, drawn);
    }

    void keepShapeMovesTheSourceWhole() {
        std::string error;
        QVERIFY(project_.AddSource(Square("Tank", 0.0, 0.0, 20.0), error, false));
        ShowProject();
        view_->ZoomAll();
        std::unique_ptr<QMenu> menu =
            view_->ContextMenuAt(view_->mapFromScene(QPointF(10.0, 10.0)));
        menu->actions()[2]->trigger();
        QVERIFY(view_->KeepsShape(0));
        const QPointF from = view_->mapToScene(view_->mapFromScene(QPointF(10.0, 10.0)));
        const QPointF to = view_->mapToScene(view_->mapFromScene(from) + QPoint(50, 0));
        Drag(*view_, from, to);
        const double shift = to.x() - from.x();
        QVERIFY(shift > 1.0);
        for (int i = 0; i < 4; ++i)
            QVERIFY(std::abs(project_.sources[0].vertices[i].y - (i < 2 ? 0.0 : 20.0)) < 1e-6);
        QVERIFY(std::abs(project_.sources[0].vertices[1].x - (20.0 + shift)) < 1e-6);
    }

    void zoomAllFitsEverySourceAndZoomPreviousReturns() {
        std::string error;
        QVERIFY(project_.AddSource(Square("West", -400.0, 100.0, 30.0), error, false));
        QVERIFY(project_.AddSource(Square("East", 900.0, -250.0, 50.0), error, false));
        ShowProject();
        const QRectF before = view_->VisiblePlanArea();
        view_->ZoomAll();
        const QRectF all = view_->VisiblePlanArea();
        QVERIFY(all.contains(QRectF(-400.0, -250.0, 1350.0, 380.0)));
        // Fitted, not merely covering: the wider side nearly fills the view.
        QVERIFY(all.width() < 1.6 * 1350.0);
        view_->ZoomIn();
        QVERIFY(view_->VisiblePlanArea().width() < all.width());
        view_->ZoomPrevious();
        QVERIFY(std::abs(view_->VisiblePlanArea().width() - all.width()) < 1e-6);
        view_->ZoomPrevious();
        // Views are placed to whole pixels.
        const double pixel = before.width() / view_->viewport()->width();
        QVERIFY(std::abs(view_->VisiblePlanArea().center().x() - before.center().x()) <= pixel);
        QVERIFY(std::abs(view_->VisiblePlanArea().width() - before.width()) < 1e-6);

        // A window dragged on the plan becomes the view.
        view_->ZoomAll();
        view_->BeginZoomWindow();
        const QPointF corner = view_->mapToScene(view_->mapFromScene(QPointF(-420.0, 160.0)));
        const QPointF opposite = view_->mapToScene(view_->mapFromScene(QPointF(-300.0, 60.0)));
        Drag(*view_, corner, opposite);
        QCOMPARE(view_->CurrentMode(), CPhaseView::Mode::select);
        const QRectF window = view_->VisiblePlanArea();
        QVERIFY(window.contains(QRectF(QPointF(-419.0, 61.0), QPointF(-301.0, 159.0))));
        QVERIFY(window.width() < 1.6 * 120.0 || window.height() < 1.6 * 100.0);
        QVERIFY(project_.sources[0].vertices[0].x == -400.0); // nothing on the plan moved

        view_->ZoomToArea(QRectF(-400.0, 100.0, 30.0, 30.0));
        QVERIFY(view_->VisiblePlanArea().contains(QRectF(-399.8, 100.2, 29.6, 29.6)));
        QVERIFY(view_->VisiblePlanArea().width() < 100.0);
    }

    void plumeBandsFollowTheGrid() {
        project_.plume.spacingM = 5.0;
        project_.plume.leftX = 10.0;
        project_.plume.topY = 50.0;
        const std::vector<double> values = {0.0, 1e-31, 3e-20, 1e-12, 2e-7, 0.004,
                                            0.5, 7.0,   99.0,  100.0, 250.0};
        project_.plume.columns.assign(4, values);
        project_.plume.columns[2][3] = 1e-3;
        ShowProject();
        const auto* plume = view_->Scene()->PlumeItem();
        QVERIFY(plume);
        QCOMPARE(plume->data(varnex::ui::itemLayerKey).toString(), QStringLiteral("VARNEXPLUME"));
        for (int c = 0; c < 4; ++c) {
            for (int r = 0; r < static_cast<int>(values.size()); ++r) {
                const int band = varnex::PlumeBand(project_.plume.columns[c][r]);
                QCOMPARE(plume->BandAt(c, r), band);
                const QColor drawn = plume->Image().pixelColor(c, r);
                if (band < 0) {
                    QCOMPARE(drawn.alpha(), 0);
                    continue;
                }
                const QColor expected = varnex::ui::PlumeBandColour(band);
                QVERIFY(std::abs(drawn.red() - expected.red()) <= 2 &&
                        std::abs(drawn.green() - expected.green()) <= 2 &&
                        std::abs(drawn.blue() - expected.blue()) <= 2);
            }
        }
        // Node (0, 0) lies at the grid's north-west corner.
        QVERIFY(plume->boundingRect().contains(QPointF(10.0, 50.0)));
        QVERIFY(plume->boundingRect().contains(QPointF(25.0, 0.0)));
        QVERIFY(!plume->boundingRect().contains(QPointF(10.0, 55.0)));
        // The ramp darkens steadily (in luminance, what the eye and a
        // greyscale print see) from the faintest band drawn to the highest;
        // the lowest band is not drawn at all.
        const auto luminance = [](const QColor& colour) {
            return 0.2126 * colour.red() + 0.7152 * colour.green() + 0.0722 * colour.blue();
        };
        for (int band = 2; band < varnex::plumeBandCount; ++band)
            QVERIFY(luminance(varnex::ui::PlumeBandColour(band)) <
                    luminance(varnex::ui::PlumeBandColour(band - 1)) - 5.0);
    }

    // The View commands drive the plan, and an edit on the plan marks the
    // document modified.
    void mainWindowCommandsAndEdits() {
        using Command = varnex::ui::CMainFrame::Command;
        varnex::ui::CMainFrame frame(settings_);
        frame.SetPrompts(&prompts_);
        frame.resize(1200, 800);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QVERIFY(frame.ImportJsonFile(ExamplePath(QStringLiteral("level3a-landfill.json"))));
        frame.Document().SetModified(false);
        CPhaseView& plan = *frame.PhaseView();
        for (Command command :
             {Command::viewAquiferFlowArrow, Command::viewPan, Command::viewZoomWindow,
              Command::viewZoomPrevious, Command::viewZoomAll, Command::viewPlumeLegend})
            QVERIFY(frame.CommandAction(command)->isEnabled());

        frame.CommandAction(Command::viewZoomAll)->trigger();
        QVERIFY(plan.VisiblePlanArea().contains(QRectF(0.0, 0.0, 120.0, 230.0)));
        frame.CommandAction(Command::viewAquiferFlowArrow)->trigger();
        QVERIFY(!plan.FlowArrowVisible());
        frame.CommandAction(Command::viewPlumeLegend)->trigger();
        QVERIFY(!plan.PlumeLegendVisible());
        frame.CommandAction(Command::viewPan)->trigger();
        QCOMPARE(plan.CurrentMode(), CPhaseView::Mode::pan);
        frame.CommandAction(Command::viewPan)->trigger();
        QCOMPARE(plan.CurrentMode(), CPhaseView::Mode::select);

        const Project& project = frame.Document().GetProject();
        const QPointF from = plan.mapToScene(plan.mapFromScene(QPointF(60.0, 230.0)));
        const QPointF to = plan.mapToScene(plan.mapFromScene(from) + QPoint(-40, 20));
        Drag(plan, from, to);
        QVERIFY(std::abs(project.receptors[0].x - (60.0 + to.x() - from.x())) < 1e-6);
        QVERIFY(frame.Document().IsModified());
        frame.Document().SetModified(false);
    }

    void screenshotsOfTheExamples() {
        const QStringList examples = QDir(QStringLiteral(VARNEX_SOURCE_DIR "/examples"))
                                         .entryList({QStringLiteral("*.json")}, QDir::Files);
        QVERIFY(!examples.isEmpty());
        for (const QString& example : examples) {
            if (!LoadExample(example, project_)) continue; // the invalid example is not a project
            ShowProject();
            view_->resize(1000, 700);
            view_->ZoomAll();
            SaveScreenshot(*view_, QStringLiteral("site-plan-") +
                                       QFileInfo(example).completeBaseName() + ".png");
        }
    }

    void screenshotWithTheBackgroundMap() {
        QVERIFY(LoadExample(QStringLiteral("level1-gasworks.json"), project_));
        ShowProject();
        QVERIFY2(view_->HasBackgroundMap(), qPrintable(view_->BackgroundMapError()));
        view_->resize(1000, 700);
        view_->ZoomAll();
        QVERIFY(view_->VisiblePlanArea().contains(QRectF(0.0, -30.0, 300.0, 190.0)));
        SaveScreenshot(*view_, QStringLiteral("site-plan-background-map.png"));

        // A new source digitised over the map: three vertices placed, the
        // mouse on its way to the fourth.
        const int sourcesBefore = static_cast<int>(project_.sources.size());
        view_->BeginDigitising(-1);
        const QPoint corner = view_->mapFromScene(QPointF(150.0, 60.0));
        const QList<QPoint> clicks = {corner, corner + QPoint(120, 0), corner + QPoint(130, 90)};
        for (const QPoint& click : clicks) Click(*view_, click);
        SendMouse(*view_, QEvent::MouseMove, view_->mapToScene(corner + QPoint(-10, 80)),
                  Qt::NoButton);
        SaveScreenshot(*view_, QStringLiteral("site-plan-digitising.png"));
        QTest::keyClick(view_.get(), Qt::Key_Escape);
        QCOMPARE(static_cast<int>(project_.sources.size()), sourcesBefore);
    }

    void screenshotWithAPlume() {
        QVERIFY(LoadExample(QStringLiteral("level3-petrol-station.json"), project_));
        // Its map is a DWG drawing: the plan says so and draws without it.
        ShowProject();
        view_->resize(1000, 700);
        QVERIFY(view_->BackgroundMapError().contains(QStringLiteral("DWG")));
        project_.sitePlan.backgroundMapFile.clear();
        view_->ZoomToArea(QRectF(-30.0, -90.0, 290.0, 190.0));
        const QRectF area = view_->VisiblePlanArea();
        varnex::PlumeRequest request;
        request.contaminantIndex = 0;
        request.timeYears = project_.timeSlices.back();
        request.spacingM = 3.0;
        request.leftX = area.left();
        request.topY = area.bottom();
        request.widthM = area.width();
        request.heightM = area.height();
        varnex::PlumeObserver observer;
        QVERIFY(varnex::ComputePlume(project_, request, observer));
        view_->RefreshFromProject();
        QVERIFY(view_->Scene()->PlumeItem());
        SaveScreenshot(*view_, QStringLiteral("site-plan-plume.png"));
    }
};

QTEST_MAIN(SitePlanTest)
#include "SitePlanTest.moc"
