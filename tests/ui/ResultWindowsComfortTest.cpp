// The result windows as a consultant works with them all day: a plume map
// leaves the run's results alone, the plume's colours and the standard's
// contour, the run's progress bar, statistics of every time slice, graphs of
// concentrations on a log axis, readable sensitivity labels, and result
// windows that stay above the main window.

#include <QApplication>
#include <QBarCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTreeWidget>
#include <algorithm>
#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ExampleProjects.h"
#include "ScriptedPrompts.h"
#include "UiTestSupport.h"
#include "model/PlumeSettings.h"
#include "model/Project.h"
#include "persist/ProjectJson.h"
#include "results/ResultVector.h"
#include "run/PlumeLegend.h"
#include "run/RunDriver.h"
#include "run/RunObserver.h"
#include "settings/Preferences.h"
#include "settings/UserInterfaceSettings.h"
#include "stochastic/IterationCount.h"
#include "ui/graphs/GraphAxis.h"
#include "ui/graphs/GraphWindow.h"
#include "ui/graphs/ScaleDialog.h"
#include "ui/graphs/SensitivityDialog.h"
#include "ui/graphs/StatisticsTable.h"
#include "ui/graphs/StatisticsView.h"
#include "ui/shell/CMainFrame.h"
#include "ui/shell/CVarnexDoc.h"
#include "ui/shell/RunProgressDialog.h"
#include "ui/siteplan/CPhaseView.h"
#include "ui/siteplan/PlumeDialog.h"
#include "ui/siteplan/PlumeLegendPainter.h"
#include "ui/siteplan/SitePlanPlumeItem.h"
#include "ui/siteplan/SitePlanScene.h"

using varnex::Project;
using namespace varnex::ui;
using Command = CMainFrame::Command;
using varnex::ui::test::ScriptedPrompts;
using varnex::ui::test::WhenModalOpens;
namespace Kind = varnex::ui::GraphResultKind;

namespace {

constexpr int iterations = 61;

QString ExamplePath(const QString& name) {
    return QStringLiteral(VARNEX_SOURCE_DIR "/examples/") + name;
}

std::unique_ptr<Project> RunExample(const char* name) {
    return varnex::ui::test::RunExample(name, iterations);
}

// varnex-cli's exit code and standard output.
std::pair<int, QString> Cli(const QStringList& arguments) {
    QProcess cli;
    cli.start(QStringLiteral(VARNEX_BIN_DIR "/varnex-cli"), arguments);
    if (!cli.waitForFinished(180000)) return {-1, QString()};
    return {cli.exitCode(), QString::fromUtf8(cli.readAllStandardOutput())};
}

void Select(QComboBox* box, int data) {
    const int index = box->findData(data);
    QVERIFY2(index >= 0, qPrintable(QStringLiteral("no entry with data %1").arg(data)));
    box->setCurrentIndex(index);
}

// A plume falling off by a decade every 5 m from (50, 50): 10 mg/l at the
// centre, the standard of 0.01 mg/l 15 m out, traces far beyond.
varnex::PlumeSettings RadialPlume() {
    varnex::PlumeSettings plume;
    plume.spacingM = 2.0;
    plume.leftX = 0.0;
    plume.topY = 100.0;
    plume.columns.assign(51, std::vector<double>(51, 0.0));
    for (int c = 0; c <= 50; ++c)
        for (int r = 0; r <= 50; ++r) {
            const double distance = std::hypot(2.0 * c - 50.0, 50.0 - 2.0 * r);
            plume.columns[c][r] = std::pow(10.0, 1.0 - distance / 5.0);
        }
    return plume;
}

bool HasColour(const QImage& image, const QColor& colour) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.red() - colour.red()) < 24 &&
                std::abs(pixel.green() - colour.green()) < 24 &&
                std::abs(pixel.blue() - colour.blue()) < 24)
                return true;
        }
    return false;
}

} // namespace

class ResultWindowsComfortTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(preferences_.isValid());
        varnex::UseUserPreferencesFile(
            preferences_.filePath(QStringLiteral("preferences.ini")).toStdString());
        settings_.StartUp();
        level3_ = RunExample("level3-petrol-station.json");
    }
    void cleanupTestCase() {
        if (frame_) frame_->Document().SetModified(false);
        frame_.reset();
        varnex::ResetUserPreferencesFile();
    }

    void plumeKeepsTheRunsResults() {
        frame_ = std::make_unique<CMainFrame>(settings_);
        frame_->SetPrompts(&prompts_);
        frame_->resize(1280, 800);
        frame_->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame_.get()));
        QVERIFY(frame_->ImportJsonFile(ExamplePath(QStringLiteral("level3-petrol-station.json"))));
        varnex::SetIterationCount(iterations);
        path_ = folder_.filePath(QStringLiteral("petrol.vnx"));
        prompts_.saveFiles = {path_};
        QVERIFY(frame_->RunAndSave());
        Project& project = frame_->Document().GetProject();
        QVERIFY(project.resultsValid);
        const qint64 savedWithResults = QFileInfo(path_).size();

        WhenModalOpens<PlumeDialog>([](PlumeDialog& dialog) {
            dialog.ContaminantBox()->setCurrentIndex(0);
            dialog.TimeEntry()->setText(QStringLiteral("100"));
            dialog.SpacingEntry()->setText(QStringLiteral("10"));
            dialog.accept();
        });
        frame_->OnModelContaminantPlume();
        QVERIFY2(prompts_.errors.isEmpty(), qPrintable(prompts_.errors.join("\n")));
        QVERIFY(!project.plume.columns.empty());
        QVERIFY(frame_->PhaseView()->Scene()->PlumeItem());

        // The run's results are still there, and so are the commands that
        // show them.
        QVERIFY(project.resultsValid);
        for (Command command :
             {Command::resultsStatistics, Command::resultsGraphical, Command::resultsSensitivity})
            QVERIFY(frame_->CommandAction(command)->isEnabled());

        // Saving writes them again.
        QVERIFY(frame_->SaveDocument());
        QVERIFY(QFileInfo(path_).size() >= savedWithResults);
        const auto [statsCode, stats] = Cli({QStringLiteral("stats"), path_});
        QCOMPARE(statsCode, 0);
        QVERIFY(!stats.trimmed().isEmpty());

        // The command-line plume reads the saved project and writes only
        // its grid: the project file and its results stay as they were.
        const QByteArray before = [this] {
            QFile file(path_);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();
        const QString grid = folder_.filePath(QStringLiteral("grid.csv"));
        const auto [plumeCode, plumeOutput] =
            Cli({QStringLiteral("plume"), path_, QStringLiteral("--contaminant"),
                 QString::fromStdString(project.contaminants.front().name),
                 QStringLiteral("--time"), QStringLiteral("100"), QStringLiteral("--spacing"),
                 QStringLiteral("20"), QStringLiteral("--csv"), grid, QStringLiteral("--quiet")});
        QCOMPARE(plumeCode, 0);
        QVERIFY(QFileInfo(grid).size() > 0);
        QFile after(path_);
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), before);
        QCOMPARE(Cli({QStringLiteral("stats"), path_}).second, stats);
    }

    void resultWindowsStayAboveTheMainWindow() {
        QVERIFY(frame_ && frame_->Document().GetProject().resultsValid);
        frame_->OnResultsStatistics();
        frame_->OnResultsGraphical();
        const QList<StatisticsView*> statistics = frame_->findChildren<StatisticsView*>();
        const QList<GraphWindow*> graphs = frame_->findChildren<GraphWindow*>();
        QCOMPARE(statistics.size(), 1);
        QCOMPARE(graphs.size(), 1);
        // A tool window of the main window is kept above it by the window
        // manager.
        QCOMPARE(statistics.front()->windowType(), Qt::Tool);
        QCOMPARE(graphs.front()->windowType(), Qt::Tool);
        QCOMPARE(statistics.front()->parentWidget(), frame_.get());
        QCOMPARE(graphs.front()->parentWidget(), frame_.get());
        // They open over the site plan, below the menus and toolbars, as far
        // to the left as the screen lets them and starting on it; the second
        // does not cover the first exactly.
        const QPoint plan = frame_->centralWidget()->mapToGlobal(QPoint(0, 0));
        const QRect screen = frame_->screen()->availableGeometry();
        for (QWidget* window :
             {static_cast<QWidget*>(statistics.front()), static_cast<QWidget*>(graphs.front())}) {
            QVERIFY(window->pos().y() >= plan.y());
            QVERIFY(window->pos().x() >=
                    std::min(plan.x(), screen.right() + 1 - window->frameGeometry().width()));
            QVERIFY(screen.contains(window->pos()));
        }
        QVERIFY(statistics.front()->pos() != graphs.front()->pos());
        statistics.front()->close();
        graphs.front()->close();
    }

    void plumeColoursAndStandardContour() {
        // The faintest band is not drawn; the next ones are pale, the
        // faintest palest, and paler than the bands of real concentrations.
        QCOMPARE(PlumeBandColour(0).alpha(), 0);
        for (int band = 1; band < varnex::plumeBandCount; ++band)
            QCOMPARE(PlumeBandColour(band).alpha(), 255);
        for (int band = 1; band < 5; ++band)
            QVERIFY2(PlumeBandColour(band).lightness() > PlumeBandColour(band + 1).lightness(),
                     qPrintable(QString::number(band)));
        QVERIFY(PlumeBandColour(1).hsvSaturation() < PlumeBandColour(8).hsvSaturation() / 2);
        // The 16 bands keep their texts.
        QCOMPARE(QString::fromStdString(varnex::PlumeBandText(0)),
                 QStringLiteral("1e-30 - 1e-12 mg/l"));

        const varnex::PlumeSettings plume = RadialPlume();
        SitePlanPlumeItem item(plume, 0.01);
        // Traces of 1e-30 to 1e-12 mg/l leave the plan clear.
        QCOMPARE(item.BandAt(0, 0), 0);
        QCOMPARE(item.Image().pixelColor(0, 0).alpha(), 0);
        QVERIFY(item.Image().pixelColor(25, 25).alpha() > 0);

        // The contour closes round the centre 15 m out, where the
        // concentration falls through 0.01 mg/l; log interpolation between
        // nodes 2 m apart places it within a few centimetres.
        QVERIFY(item.StandardContour().size() > 20);
        for (const QLineF& segment : item.StandardContour())
            for (const QPointF& end : {segment.p1(), segment.p2()})
                QVERIFY2(std::fabs(std::hypot(end.x() - 50.0, end.y() - 50.0) - 15.0) < 0.15,
                         qPrintable(QStringLiteral("%1,%2").arg(end.x()).arg(end.y())));
        std::vector<QPointF> ends;
        for (const QLineF& segment : item.StandardContour())
            ends.insert(ends.end(), {segment.p1(), segment.p2()});
        const auto [left, right] = std::minmax_element(
            ends.begin(), ends.end(), [](QPointF a, QPointF b) { return a.x() < b.x(); });
        QVERIFY(left->x() < 36.0 && right->x() > 64.0);
        // No standard, or a standard the grid never reaches: no contour.
        QVERIFY(SitePlanPlumeItem(plume, 0.0).StandardContour().empty());
        QVERIFY(SitePlanPlumeItem(plume, 1000.0).StandardContour().empty());

        // The legend frames the band holding the standard and names the
        // contour's value; its colour is the contour's.
        const PlumeLegendPainter legend(QStringLiteral("Concentration of Benzene"), 0.01);
        QCOMPARE(legend.StandardBand(), varnex::PlumeBand(0.01));
        QCOMPARE(legend.StandardText(), QStringLiteral("Water quality standard: 0.01 mg/l"));
        const PlumeLegendPainter plain(QStringLiteral("Concentration of Benzene"));
        QCOMPARE(plain.StandardBand(), -1);
        QVERIFY(plain.StandardText().isEmpty());
        QImage withStandard(400, 600, QImage::Format_ARGB32);
        QImage without(400, 600, QImage::Format_ARGB32);
        for (auto [image, painter] :
             {std::pair{&withStandard, &legend}, std::pair{&without, &plain}}) {
            image->fill(Qt::white);
            QPainter paint(image);
            painter->Paint(paint, QPoint(395, 595));
        }
        QVERIFY(HasColour(withStandard, PlumeStandardColour()));
        QVERIFY(!HasColour(without, PlumeStandardColour()));
    }

    void plumeMapShowsTheStandardOfTheProject() {
        // The frame's plume of the petrol station: its contaminant's
        // standard is drawn as a contour and named in the legend.
        QVERIFY(frame_);
        const Project& project = frame_->Document().GetProject();
        const double standard = PlumeStandard(project);
        QCOMPARE(standard, project.contaminants.front().standard);
        QVERIFY(standard > 0.0);
        const SitePlanPlumeItem* item = frame_->PhaseView()->Scene()->PlumeItem();
        QVERIFY(item);
        double highest = 0.0;
        for (const auto& column : project.plume.columns)
            for (double value : column) highest = std::max(highest, value);
        QCOMPARE(item->StandardContour().empty(), highest < standard);

        // The gasworks' benzene exceeds its standard near the sources: the
        // contour is drawn round them.
        QVERIFY(frame_->ImportJsonFile(ExamplePath(QStringLiteral("level3-gasworks-chalk.json"))));
        frame_->PhaseView()->ZoomAll();
        WhenModalOpens<PlumeDialog>([](PlumeDialog& dialog) {
            dialog.ContaminantBox()->setCurrentIndex(0);
            dialog.TimeEntry()->setText(QStringLiteral("25"));
            dialog.SpacingEntry()->setText(QStringLiteral("10"));
            dialog.accept();
        });
        frame_->OnModelContaminantPlume();
        QVERIFY2(prompts_.errors.isEmpty(), qPrintable(prompts_.errors.join("\n")));
        const Project& gasworks = frame_->Document().GetProject();
        QCOMPARE(PlumeStandard(gasworks), 0.01);
        QVERIFY(frame_->PhaseView()->Scene()->PlumeItem());
        QVERIFY(!frame_->PhaseView()->Scene()->PlumeItem()->StandardContour().empty());
        frame_->PhaseView()->SetPlumeLegendVisible(true);
        QCoreApplication::processEvents();
        varnex::ui::test::SaveScreenshot(*frame_, QStringLiteral("plume-map-standard.png"));
    }

    void progressBarCountsIterations() {
        Project project;
        std::vector<std::string> problems;
        QVERIFY(varnex::LoadProjectJsonFile(
            ExamplePath(QStringLiteral("level3-petrol-station.json")).toStdString(), project,
            problems));
        varnex::SetIterationCount(iterations);
        ScriptedPrompts prompts;
        RunProgressDialog dialog(project, prompts);
        QProgressBar* bar = dialog.ProgressBar();
        // Every value the bar shows, with the stage it is shown in, and
        // every count the run reports.
        struct Shown {
            QString stage;
            qint64 value;
            qint64 maximum;
        };
        std::vector<Shown> shown;
        std::vector<Shown> reported;
        connect(bar, &QProgressBar::valueChanged, this, [&](int value) {
            shown.push_back({dialog.StageText(), value, bar->maximum()});
        });
        connect(&dialog.Observer(), &RunProgressObserver::IterationsDoneChanged, this,
                [&](qint64 done, qint64 total) {
                    reported.push_back({dialog.StageText(), done, total});
                });
        QVERIFY(dialog.RunModal());
        // Iterations done of N: never a busy bar, counted up through the
        // calculation to all of them.
        QVERIFY(!shown.empty());
        qint64 last = -1;
        for (const Shown& step : shown) {
            QCOMPARE(step.maximum, qint64(iterations));
            if (step.stage == QStringLiteral("Calculating")) {
                QVERIFY(step.value >= last);
                last = step.value;
            }
        }
        QCOMPARE(last, qint64(iterations));
        QCOMPARE(bar->value(), iterations);
        QCOMPARE(bar->maximum(), iterations);
        QCOMPARE(dialog.StageText(), QStringLiteral("Calculating Statistics"));
        // Each stage starts from none done; the statistics follow all of
        // them.
        QStringList stages;
        for (const Shown& step : reported) {
            QCOMPARE(step.maximum, qint64(iterations));
            if (stages.isEmpty() || stages.back() != step.stage) {
                stages << step.stage;
                QCOMPARE(step.value, step.stage == QStringLiteral("Calculating Statistics")
                                         ? qint64(iterations)
                                         : 0);
            }
        }
        QCOMPARE(stages, QStringList({"Sampling", "Correlating Inputs", "Calculating",
                                      "Calculating Statistics"}));
    }

    void statisticsOfEveryTimeSlice() {
        StatisticsView view(*level3_);
        Select(view.ResultSelector(), StatisticsKind::concentration);
        Select(view.MeasuredAtSelector(), MeasuredAt::receptor);
        Select(view.SourceSelector(), 0);
        const int slices = static_cast<int>(level3_->timeSlices.size());
        QVERIFY(slices > 1);
        QCOMPARE(view.TimeSelector()->count(), slices + 1);
        QCOMPARE(view.TimeSelector()->itemText(slices), QStringLiteral("All"));
        Select(view.TimeSelector(), StatisticsView::allTimeSlices);

        // A column per time slice, each the numbers the view shows for
        // that slice alone.
        QTableWidget* table = view.Table();
        QCOMPARE(table->columnCount(), 1 + slices);
        QVERIFY(table->horizontalHeader()->isVisibleTo(&view));
        StatisticsChoice choice = view.Choice();
        for (int k = 0; k < slices; ++k) {
            QCOMPARE(table->horizontalHeaderItem(1 + k)->text(),
                     QString::fromStdString(GraphBuilder::TimeSliceText(level3_->timeSlices[k])));
            choice.timeSlice = k;
            const std::vector<StatisticsLine> lines = StatisticsTable::Lines(*level3_, choice);
            QCOMPARE(table->rowCount(), static_cast<int>(lines.size()));
            for (std::size_t row = 0; row < lines.size(); ++row) {
                QCOMPARE(table->item(static_cast<int>(row), 0)->text(),
                         QString::fromStdString(lines[row].label));
                QCOMPARE(table->item(static_cast<int>(row), 1 + k)->text(),
                         QString::fromStdString(lines[row].value));
            }
        }
        // The caption names no single time; copied, the headings come first.
        for (double years : level3_->timeSlices)
            QVERIFY(!view.windowTitle().contains(
                QString::fromStdString(GraphBuilder::TimeSliceText(years))));
        const QStringList copied = view.CopiedText().split('\n', Qt::SkipEmptyParts);
        QCOMPARE(copied.size(), table->rowCount() + 2);
        QCOMPARE(copied[1].split('\t').size(), 1 + slices);
        QVERIFY(copied[1].endsWith(
            QString::fromStdString(GraphBuilder::TimeSliceText(level3_->timeSlices.back()))));
        QCOMPARE(copied[2].split('\t').size(), 1 + slices);

        // A result that does not depend on time keeps one column.
        Select(view.ResultSelector(), StatisticsKind::retardedTravelTime);
        QCOMPARE(table->columnCount(), 2);
        // One time again: one column, no headings.
        Select(view.ResultSelector(), StatisticsKind::concentration);
        Select(view.TimeSelector(), 1);
        QCOMPARE(table->columnCount(), 2);
        QVERIFY(!table->horizontalHeader()->isVisibleTo(&view));
        Select(view.TimeSelector(), StatisticsView::allTimeSlices);
        view.resize(1000, 640);
        view.show();
        QCoreApplication::processEvents();
        varnex::ui::test::SaveScreenshot(view, QStringLiteral("statistics-all-times.png"));
    }

    void concentrationGraphsOnLogAxis() {
        GraphWindow window(*level3_);
        Select(window.ResultSelector(), Kind::receptorConcentration);
        QVERIFY(window.Chart()->Settings().y.logarithmic);
        QVERIFY(!window.Chart()->Settings().x.logarithmic);
        // Travel times are no concentrations: linear.
        Select(window.ResultSelector(), Kind::receptorRetardedTravelTime);
        QVERIFY(!window.Chart()->Settings().y.logarithmic);
        Select(window.ResultSelector(), Kind::receptorConcentration);
        QVERIFY(window.Chart()->Settings().y.logarithmic);
        window.resize(1100, 640);
        window.show();
        QCoreApplication::processEvents();
        varnex::ui::test::SaveScreenshot(window, QStringLiteral("graph-log-axis.png"));

        // A linear axis the user chose stays chosen for the next result.
        ChartSettings linear = window.Chart()->Settings();
        linear.y = {0.0, 1.0, false};
        window.ApplyScale(linear);
        Select(window.ResultSelector(), Kind::sourceConcentration);
        QVERIFY(!window.Chart()->Settings().y.logarithmic);

        // A concentration that is 0 in every iteration cannot be drawn on a
        // log axis.
        Project zero = *level3_;
        for (auto& entry : zero.sources.front().inventory)
            for (auto& perSlice : entry.receptorConcentrations)
                for (varnex::ResultVector& vector : perSlice)
                    for (std::size_t i = 0; i < vector.Size(); ++i) vector.At(i) = 0.0;
        GraphWindow flat(zero);
        Select(flat.ResultSelector(), Kind::receptorConcentration);
        Select(flat.SourceSelector(), 0);
        QVERIFY(!flat.Chart()->Settings().y.logarithmic);
    }

    void logTickLabelsAndScaleMessages() {
        QCOMPARE(FormatLogAxisNumber(0.01), std::string("1e-2"));
        QCOMPARE(FormatLogAxisNumber(1.0), std::string("1e0"));
        QCOMPARE(FormatLogAxisNumber(100000.0), std::string("1e5"));
        QCOMPARE(FormatLogAxisNumber(1500.0), std::string("1.5e3"));
        QCOMPARE(FormatLogAxisNumber(0.000996), std::string("1e-3"));
        QCOMPARE(FormatLogAxisNumber(-0.02), std::string("-2.0e-2"));
        const std::vector<GraphTick> ticks = AxisTicks(RoundedScale({2e-7, 3.0, true}));
        QCOMPARE(ticks.front().label, std::string("1e-7"));
        QCOMPARE(ticks.back().label, std::string("1e1"));

        // OK greyed out says why, in words, until the entries can be drawn.
        ChartSettings settings;
        settings.x = {0.0, 1.0, false};
        settings.y = {0.0, 50.0, false};
        ScaleDialog dialog(settings);
        QPushButton* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        QVERIFY(ok->isEnabled());
        QVERIFY(dialog.Message().isEmpty());
        const struct {
            int field;
            const char* text;
            bool yLog;
            const char* message;
        } cases[] = {
            {2, "0", true, "Y Min must be greater than 0 on a log scale."},
            {2, "-3", true, "Y Min must be greater than 0 on a log scale."},
            {1, "abc", false, "X Max must be a number."},
            {3, "", false, "Y Max must be a number."},
            {1, "-1", false, "X Min must be less than X Max."},
            {3, "0", false, "Y Min must be less than Y Max."},
        };
        for (const auto& check : cases) {
            dialog.YLog()->setChecked(check.yLog);
            const QString kept = dialog.Field(check.field)->text();
            dialog.Field(check.field)->setText(QString::fromLatin1(check.text));
            QVERIFY2(!ok->isEnabled(), check.message);
            QCOMPARE(dialog.Message(), QString::fromLatin1(check.message));
            QCOMPARE(ok->toolTip(), QString::fromLatin1(check.message));
            dialog.Field(check.field)->setText(kept);
            dialog.YLog()->setChecked(false);
            QVERIFY(ok->isEnabled());
            QVERIFY(dialog.Message().isEmpty());
        }
        dialog.YLog()->setChecked(true);
        dialog.show();
        QCoreApplication::processEvents();
        QVERIFY(dialog.findChild<QLabel*>() != nullptr);
        varnex::ui::test::SaveScreenshot(dialog, QStringLiteral("graph-scale-message.png"));
    }

    void tornadoLabelsTellInputsApart() {
        const std::unique_ptr<Project> gasworks = RunExample("level3-gasworks-chalk.json");
        SensitivityDialog dialog(*gasworks);
        const int chooser =
            dialog.ResultChooser()->findText(QStringLiteral("Concentration at Receptor - %1 years")
                                                 .arg(gasworks->timeSlices[0], 0, 'f', 0));
        QVERIFY(chooser >= 0);
        dialog.ResultChooser()->setCurrentIndex(chooser);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(dialog.Rows().size() >= 10);

        auto* axis = qobject_cast<QBarCategoryAxis*>(
            dialog.TornadoChart()->chart()->axes(Qt::Vertical).front());
        QVERIFY(axis);
        const QStringList bars = axis->categories();
        QCOMPARE(bars.size(), 10);
        // Without their ranks the bars' labels still differ, and a line
        // shortened is cut at its end, not in the middle. A bar's label is
        // rich text: where the result was taken, then the input below.
        QSet<QString> names;
        const QFont font = axis->labelsFont();
        for (int k = 0; k < bars.size(); ++k) {
            const QString rank = QStringLiteral("%1. ").arg(bars.size() - k);
            const QString text = QTextDocumentFragment::fromHtml(bars[k]).toPlainText();
            QVERIFY2(text.startsWith(rank), qPrintable(text));
            QStringList lines =
                text.mid(rank.size()).split(QRegularExpression(QStringLiteral("[\\n\\x{2028}]")));
            QVERIFY2(lines.size() == 2, qPrintable(text));
            for (QString& line : lines) {
                const int ellipsis = line.indexOf(QChar(0x2026));
                QVERIFY2(ellipsis < 0 || ellipsis == line.size() - 1, qPrintable(line));
                // The label column is sized to the labels: only a line too
                // long for it is shortened.
                if (ellipsis >= 0) {
                    QVERIFY(QFontMetrics(font).horizontalAdvance(line) > 200);
                    line.chop(1);
                }
            }
            names.insert(lines.join('\n'));
        }
        QVERIFY2(names.size() == bars.size(), qPrintable(bars.join('\n')));

        // The list's rows differ as well; the shared part is said once above
        // them; the whole label is on hover and in the copied text.
        QStringList rows;
        for (int i = 0; i < dialog.List()->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = dialog.List()->topLevelItem(i);
            const QString whole =
                QString::fromStdString(dialog.Rows()[static_cast<std::size_t>(i)].label);
            QCOMPARE(item->data(0, SensitivityDialog::fullLabelRole).toString(), whole);
            QCOMPARE(item->toolTip(0), whole);
            rows << item->text(0);
        }
        QCOMPARE(QSet<QString>(rows.begin(), rows.end()).size(), rows.size());
        const QStringList copied = dialog.CopiedText().split('\n', Qt::SkipEmptyParts);
        QCOMPARE(copied.size(), rows.size() + 2);
        QCOMPARE(copied[2], QString::fromStdString(dialog.Rows()[0].label) + '\t' +
                                QString::fromStdString(dialog.Rows()[0].text));
        // Every part differs somewhere: nothing is said above the list.
        QVERIFY(!dialog.Context()->isVisibleTo(&dialog));
        varnex::ui::test::SaveScreenshot(dialog, QStringLiteral("sensitivity-labels.png"));

        // One source and one receptor: they are said once above the list
        // and the rows name what differs.
        dialog.SourceSelector()->setCurrentIndex(1);
        dialog.ReceptorSelector()->setCurrentIndex(dialog.ReceptorSelector()->count() - 1);
        const QString source = dialog.SourceSelector()->currentText();
        const QString receptor = dialog.ReceptorSelector()->currentText();
        QVERIFY(dialog.Context()->isVisibleTo(&dialog));
        QVERIFY(dialog.Context()->text().contains(source));
        QVERIFY(dialog.Context()->text().contains(receptor));
        QVERIFY(dialog.List()->topLevelItemCount() > 1);
        for (int i = 0; i < dialog.List()->topLevelItemCount(); ++i) {
            const QString row = dialog.List()->topLevelItem(i)->text(0);
            QVERIFY2(!row.contains(source) && !row.contains(receptor), qPrintable(row));
        }
    }

    void labelsKeepWhatTellsRowsApart() {
        // Rows from two sources and two receptors: the source and the
        // receptor stay in each row, the shared contaminant goes above.
        auto row = [](const char* source, const char* input, const char* receptor) {
            varnex::SensitivityRow r;
            r.label = std::string("Benzene - ") + source + " - " + input + " - " + receptor;
            r.parts.contaminant = "Benzene";
            r.parts.source = source;
            r.parts.input = input;
            r.parts.receptor = receptor;
            return r;
        };
        const SensitivityLabels labels = SensitivityLabels::Of(
            {row("Tank", "Aquifer Porosity", "Well"), row("Yard", "Aquifer Porosity", "Well"),
             row("Tank", "Aquifer Porosity", "Spring")});
        QCOMPARE(labels.common, QStringLiteral("Benzene"));
        QCOMPARE(labels.places, QStringList({"Tank - Well", "Yard - Well", "Tank - Spring"}));
        QCOMPARE(labels.inputs, QStringList(3, QStringLiteral("Aquifer Porosity")));
        QCOMPARE(labels.Row(1, QStringLiteral(" | ")),
                 QStringLiteral("Yard - Well | Aquifer Porosity"));
        // One row: its input alone, everything else above.
        const SensitivityLabels one =
            SensitivityLabels::Of({row("Tank", "Aquifer Porosity", "Well")});
        QCOMPARE(one.Row(0, QStringLiteral(" | ")), QStringLiteral("Aquifer Porosity"));
        QCOMPARE(one.common, QStringLiteral("Tank - Well - Benzene"));
        QVERIFY(SensitivityLabels::Of({}).inputs.isEmpty());
    }

private:
    QTemporaryDir preferences_;
    QTemporaryDir folder_;
    varnex::UserInterfaceSettings settings_;
    ScriptedPrompts prompts_;
    std::unique_ptr<CMainFrame> frame_;
    std::unique_ptr<Project> level3_;
    QString path_;
};

QTEST_MAIN(ResultWindowsComfortTest)
#include "ResultWindowsComfortTest.moc"
