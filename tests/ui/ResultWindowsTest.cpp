// The result windows: what the graph window offers and plots, the numbers
// of the statistics view, the sensitivity dialog against the command-line
// tool, and screenshots of every window for each example project.

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "ExampleProjects.h"
#include "UiTestSupport.h"
#include "analysis/SensitivityAnalysis.h"
#include "model/Project.h"
#include "persist/ProjectFile.h"
#include "persist/ProjectJson.h"
#include "results/ResultStatistics.h"
#include "results/ResultVector.h"
#include "run/RunDriver.h"
#include "run/RunObserver.h"
#include "settings/Preferences.h"
#include "stochastic/IterationCount.h"
#include "ui/graphs/GraphAxis.h"
#include "ui/graphs/GraphBuilder.h"
#include "ui/graphs/GraphWindow.h"
#include "ui/graphs/ScaleDialog.h"
#include "ui/graphs/SensitivityDialog.h"
#include "ui/graphs/StatisticsTable.h"
#include "ui/graphs/StatisticsView.h"

using varnex::Project;
using varnex::ResultVector;
using namespace varnex::ui;
namespace Kind = varnex::ui::GraphResultKind;

namespace {

constexpr int iterations = 61;

const auto& examples = varnex::ui::test::runnableExamples;

// An example project after a run of the engine.
std::unique_ptr<Project> RunExample(const std::string& name) {
    return varnex::ui::test::RunExample(name, iterations);
}

void Select(QComboBox* box, int data) {
    const int index = box->findData(data);
    QVERIFY2(index >= 0, qPrintable(QStringLiteral("no entry with data %1").arg(data)));
    box->setCurrentIndex(index);
}

QList<QLineSeries*> LineSeries(const GraphWindow& window) {
    QList<QLineSeries*> lines;
    for (QAbstractSeries* series : window.Chart()->chart()->series())
        if (auto* line = qobject_cast<QLineSeries*>(series)) lines << line;
    return lines;
}

void ComparePoints(const QLineSeries* series, const std::vector<varnex::GraphPoint>& expected,
                   bool swapped) {
    QCOMPARE(static_cast<std::size_t>(series->count()), expected.size());
    for (int i = 0; i < series->count(); ++i) {
        const auto& point = expected[static_cast<std::size_t>(i)];
        QCOMPARE(series->at(i).x(), swapped ? point.y : point.x);
        QCOMPARE(series->at(i).y(), swapped ? point.x : point.y);
    }
}

// The result windows lay themselves out only once shown.
void SaveScreenshot(QWidget& widget, const QString& name) {
    widget.show();
    QCoreApplication::processEvents();
    varnex::ui::test::SaveScreenshot(widget, name);
}

// Shows `window`, presses Ctrl+C in `focus` as a user would and returns the
// clipboard's lines (none when the shortcut did nothing).
QStringList CopiedByKeyboard(QWidget& window, QWidget* focus) {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return {};
    focus->setFocus();
    QApplication::clipboard()->clear();
    QTest::keySequence(focus, QKeySequence::Copy);
    return QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
}

} // namespace

class ResultWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(preferences_.isValid());
        varnex::UseUserPreferencesFile(
            preferences_.filePath(QStringLiteral("preferences.ini")).toStdString());
        level3_ = RunExample("level3-petrol-station.json");
    }
    void cleanupTestCase() { varnex::ResetUserPreferencesFile(); }

    void resultKindsFollowTheLevel() {
        using V = std::vector<int>;
        QCOMPARE(Kind::OfferedAtLevel(1), (V{0}));
        QCOMPARE(Kind::OfferedAtLevel(2), (V{0, 1, 3, 4, 7, 8}));
        QCOMPARE(Kind::OfferedAtLevel(3), (V{0, 1, 2, 3, 4, 5, 6, 7, 8}));
        QCOMPARE(Kind::OfferedAtLevel(4), (V{2, 5, 6, 7, 8}));

        // The window offers the same, and "<Total>" heads the sources only
        // where receptors are computed.
        GraphWindow window(*level3_);
        QCOMPARE(window.ResultSelector()->count(), 9);
        QCOMPARE(window.SourceSelector()->itemText(0), QStringLiteral("<Total>"));
        QCOMPARE(window.SourceSelector()->count(), static_cast<int>(level3_->sources.size()) + 1);
        Project level2 = *level3_;
        level2.simulationLevel = 2;
        GraphWindow lower(level2);
        QCOMPARE(lower.ResultSelector()->count(), 6);
        QCOMPARE(lower.SourceSelector()->count(), static_cast<int>(level2.sources.size()));
    }

    void seriesAreTheEnginesPoints() {
        GraphWindow window(*level3_);
        Select(window.ResultSelector(), Kind::receptorConcentration);
        Select(window.SourceSelector(), 0);
        ResultLocation location;
        location.kind = Kind::receptorConcentration;
        const int slices = static_cast<int>(level3_->timeSlices.size());
        // The points are compared in data units: on a linear value axis
        // (concentrations open on a log axis).
        ChartSettings linear = window.Chart()->Settings();
        linear.y.logarithmic = false;
        window.ApplyScale(linear);

        // Frequency graphs: one curve per time slice, probability along x.
        for (int type : {GraphType::cumulativeFrequency, GraphType::reverseCumulativeFrequency}) {
            window.SetGraphType(type);
            QCOMPARE(window.PickListCaption()->text(), QStringLiteral("Times"));
            QCOMPARE(window.PickList()->count(), slices);
            const QList<QLineSeries*> lines = LineSeries(window);
            QVERIFY(lines.size() >= slices);
            for (int k = 0; k < slices; ++k) {
                QCOMPARE(lines[k]->name(), QString::fromStdString(GraphBuilder::TimeSliceText(
                                               level3_->timeSlices[k])));
                const ResultVector* vector = FindResultVector(*level3_, location, k);
                QVERIFY(vector);
                ComparePoints(lines[k],
                              varnex::CumulativePoints(
                                  *vector, type == GraphType::reverseCumulativeFrequency),
                              true);
            }
        }

        // Time history: the seven percentile curves, 95 first.
        window.SetGraphType(GraphType::timeHistory);
        QVERIFY(window.TypeAction(GraphType::timeHistory)->isChecked());
        QCOMPARE(window.PickListCaption()->text(), QStringLiteral("Percentiles"));
        std::vector<ResultVector> perTime;
        for (int k = 0; k < slices; ++k)
            perTime.push_back(*FindResultVector(*level3_, location, k));
        const QList<QLineSeries*> lines = LineSeries(window);
        const QStringList names = {"95 (blue)",   "90 (green)", "75 (grey)", "50 (cyan)",
                                   "25 (yellow)", "10 (red)",   "5 (black)"};
        QVERIFY(lines.size() >= 7);
        for (int c = 0; c < 7; ++c) {
            QCOMPARE(lines[c]->name(), names[c]);
            ComparePoints(lines[c], varnex::TimeHistoryPoints(level3_->timeSlices, perTime, 6 - c),
                          false);
        }
        QCOMPARE(window.Chart()->chart()->axes(Qt::Horizontal).front()->titleText(),
                 QStringLiteral("Time [years]"));
        QVERIFY(window.Chart()->chart()->title().endsWith(
            QStringLiteral("- %1 Trials").arg(iterations)));

        // Unpicking a percentile removes its curve.
        window.PickList()->item(0)->setCheckState(Qt::Unchecked);
        QCOMPARE(LineSeries(window).front()->name(), QStringLiteral("90 (green)"));
    }

    // Convergence: the mean and the 50th and 95th percentiles with their
    // intervals against the iterations, for the first picked time slice;
    // the last point is the whole run's statistics.
    void convergenceGraphEndsAtTheRunsStatistics() {
        GraphWindow window(*level3_);
        Select(window.ResultSelector(), Kind::receptorConcentration);
        Select(window.SourceSelector(), 0);
        window.SetGraphType(GraphType::convergence);
        QVERIFY(window.TypeAction(GraphType::convergence)->isChecked());
        QCOMPARE(window.PickListCaption()->text(), QStringLiteral("Times"));
        // Only the second time slice picked.
        for (int i = 0; i < window.PickList()->count(); ++i)
            window.PickList()->item(i)->setCheckState(i == 1 ? Qt::Checked : Qt::Unchecked);
        // Iterations open on a log axis; compared in data units on linear
        // axes.
        QVERIFY(window.Chart()->Settings().x.logarithmic);
        ChartSettings linear = window.Chart()->Settings();
        linear.x.logarithmic = false;
        linear.y.logarithmic = false;
        window.ApplyScale(linear);
        const QList<QLineSeries*> lines = LineSeries(window);
        QVERIFY(lines.size() >= GraphBuilder::convergenceCurves);
        QCOMPARE(lines[1]->name(), QStringLiteral("95th percentile"));
        QCOMPARE(lines[6]->name(), QStringLiteral("Mean"));
        ResultLocation location;
        location.kind = Kind::receptorConcentration;
        const ResultVector* vector = FindResultVector(*level3_, location, 1);
        QVERIFY(vector);
        const QLineSeries* p95 = lines[1];
        QCOMPARE(p95->at(0).x(), 10.0);
        QCOMPARE(p95->at(p95->count() - 1).x(), static_cast<double>(iterations));
        QCOMPARE(p95->at(p95->count() - 1).y(), vector->PercentileValue(6));
        QCOMPARE(lines[4]->at(lines[4]->count() - 1).y(), vector->PercentileValue(3));
        QVERIFY(std::fabs(lines[6]->at(lines[6]->count() - 1).y() - vector->Mean()) <=
                1e-12 * std::fabs(vector->Mean()));
        // Each percentile lies inside its interval.
        for (int i = 0; i < p95->count(); ++i) {
            QVERIFY(lines[0]->at(i).y() >= p95->at(i).y());
            QVERIFY(lines[2]->at(i).y() <= p95->at(i).y());
        }
        QCOMPARE(window.Chart()->chart()->axes(Qt::Horizontal).front()->titleText(),
                 QStringLiteral("Iterations"));
        QVERIFY(window.Chart()->chart()->title().endsWith(
            QString::fromStdString(" - " + GraphBuilder::TimeSliceText(level3_->timeSlices[1]))));
    }

    void standardLineExactlyWhereAStandardApplies() {
        Project project = *level3_;
        GraphSelection selection;
        selection.location.kind = Kind::receptorConcentration;
        selection.timeSlices = {0, 1};
        const varnex::Contaminant& contaminant = project.contaminants.front();
        QVERIFY(contaminant.standardStatus != varnex::Contaminant::noStandard);

        GraphContent content = GraphBuilder::Build(project, selection);
        QVERIFY(content.hasStandard);
        QCOMPARE(content.standard, contaminant.standard);
        QCOMPARE(QString::fromStdString(content.standardLabel),
                 QStringLiteral("WQS: %1 [mg/l]").arg(contaminant.standard));
        GraphWindow window(project);
        Select(window.ResultSelector(), Kind::receptorConcentration);
        QVERIFY(!LineSeries(window).isEmpty());
        QVERIFY(LineSeries(window).back()->name().startsWith(QStringLiteral("WQS: ")));
        // The line is told apart from every curve by its colour as well as
        // its dashes: time slices and percentiles alike (the first draw of
        // this graph showed the 10-year curve in the standard's red).
        for (int k = 0; k < 12; ++k)
            QVERIFY(GraphBuilder::TimeCurveColour(k) != GraphBuilder::StandardLineColour());
        for (int p = 0; p < 7; ++p)
            QVERIFY(GraphBuilder::PercentileCurveColour(p) != GraphBuilder::StandardLineColour());
        const QColor standardColour = LineSeries(window).back()->pen().color();
        QCOMPARE(standardColour.rgb() & 0xffffff, GraphBuilder::StandardLineColour());
        QCOMPARE(LineSeries(window).back()->pen().style(), Qt::DashLine);

        // Travel times are no concentrations; a contaminant without a
        // standard has no line.
        selection.location.kind = Kind::receptorRetardedTravelTime;
        QVERIFY(!GraphBuilder::Build(project, selection).hasStandard);
        Select(window.ResultSelector(), Kind::receptorRetardedTravelTime);
        for (QLineSeries* line : LineSeries(window))
            QVERIFY(!line->name().startsWith(QStringLiteral("WQS")));
        project.contaminants.front().standardStatus = varnex::Contaminant::noStandard;
        selection.location.kind = Kind::receptorConcentration;
        content = GraphBuilder::Build(project, selection);
        QVERIFY(!content.Empty());
        QVERIFY(!content.hasStandard);
    }

    void nothingToGraph() {
        Project project = *level3_;
        GraphSelection selection;
        selection.location.kind = Kind::receptorConcentration;
        selection.timeSlices = {0};
        // A total over sources exists for receptor results only.
        selection.location.source = ResultLocation::total;
        QVERIFY(!GraphBuilder::Build(project, selection).Empty());
        selection.location.kind = Kind::sourceConcentration;
        QCOMPARE(GraphBuilder::Build(project, selection).emptyText,
                 std::string("No results to graph"));
        // Indices the project lacks, and results no longer valid.
        selection.location = ResultLocation{};
        selection.location.source = 99;
        QVERIFY(GraphBuilder::Build(project, selection).Empty());
        project.InvalidateResults();
        GraphWindow window(project);
        QCOMPARE(window.Chart()->chart()->title(), QStringLiteral("No results to graph"));
        QVERIFY(window.Chart()->chart()->series().isEmpty());
        QVERIFY(!window.CopyAction()->isEnabled());
        QTemporaryDir folder;
        QVERIFY(!window.SavePicture(folder.filePath(QStringLiteral("nothing.png"))));
    }

    // "Save Picture...": the graph as shown, as pixels or as a drawing.
    void graphSavesAsPicture() {
        GraphWindow window(*level3_);
        Select(window.ResultSelector(), Kind::receptorConcentration);
        window.SetGraphType(GraphType::timeHistory);
        QTemporaryDir folder;
        const QString png = folder.filePath(QStringLiteral("graph.png"));
        QVERIFY(window.SavePicture(png));
        const QImage image(png);
        QCOMPARE(image.size(), QSize(1000, 650));
        // Not a blank page: the curves and axes are drawn.
        int dark = 0;
        for (int y = 0; y < image.height(); y += 3)
            for (int x = 0; x < image.width(); x += 3)
                dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
        QVERIFY2(dark > 500, qPrintable(QString::number(dark)));

        const QString svg = folder.filePath(QStringLiteral("graph.SVG"));
        QVERIFY(window.SavePicture(svg));
        QFile file(svg);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray drawing = file.readAll();
        QVERIFY(drawing.contains("<svg"));
        QVERIFY(drawing.contains("Trials"));
        QVERIFY(drawing.contains("95 (blue)"));

        QVERIFY(!window.SavePicture(folder.filePath(QStringLiteral("graph.bmp"))));
        QVERIFY(!window.SavePicture(folder.filePath(QStringLiteral("missing/graph.png"))));
        QVERIFY(!QFileInfo::exists(folder.filePath(QStringLiteral("graph.bmp"))));
    }

    void singleIterationIsOnePointAtProbabilityOne() {
        ResultVector vector;
        vector.Prepare(1, true);
        vector.At(0) = 4.5;
        const std::vector<varnex::GraphPoint> points = varnex::CumulativePoints(vector, false);
        QCOMPARE(points.size(), std::size_t{1});
        QCOMPARE(points[0].x, 4.5);
        QCOMPARE(points[0].y, 1.0);
    }

    void clipboardHoldsThePlottedNumbers() {
        GraphWindow window(*level3_);
        Select(window.ResultSelector(), Kind::receptorConcentration);
        // Compared in data units: on a linear value axis.
        ChartSettings linear = window.Chart()->Settings();
        linear.y.logarithmic = false;
        window.ApplyScale(linear);
        window.SetGraphType(GraphType::timeHistory);
        window.CopyToClipboard();
        const QStringList rows = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
        QCOMPARE(rows.size(), static_cast<int>(level3_->timeSlices.size()) + 1);
        QCOMPARE(rows[0],
                 QStringLiteral("Time [years]\t95 (blue)\t90 (green)\t75 (grey)\t50 (cyan)\t25 "
                                "(yellow)\t10 (red)\t5 (black)"));
        const QList<QLineSeries*> lines = LineSeries(window);
        for (int r = 1; r < rows.size(); ++r) {
            const QStringList cells = rows[r].split('\t');
            QCOMPARE(cells.size(), 8);
            QCOMPARE(cells[0].toDouble(), level3_->timeSlices[static_cast<std::size_t>(r - 1)]);
            for (int c = 0; c < 7; ++c) {
                const double copied = cells[c + 1].toDouble(), plotted = lines[c]->at(r - 1).y();
                QVERIFY(std::fabs(copied - plotted) <= 1e-9 * std::fabs(plotted));
            }
        }
    }

    void axisNumbers() {
        QCOMPARE(FormatLinearAxisNumber(2.0), std::string("2.0"));
        QCOMPARE(FormatLinearAxisNumber(1234.5678), std::string("1,234.568"));
        QCOMPARE(FormatLinearAxisNumber(-1234567.0), std::string("-1,234,567.0"));
        QCOMPARE(FormatLinearAxisNumber(0.25), std::string("0.25"));
        QCOMPARE(FormatLogAxisNumber(1500.0), std::string("1.5e3"));
        QCOMPARE(FormatLogAxisNumber(0.01), std::string("1e-2"));
        QCOMPARE(FormatLogAxisNumber(1.0), std::string("1e0"));
        // A log axis rounds out to whole decades and labels the lowest.
        const GraphAxisScale scale = RoundedScale({0.003, 42.0, true});
        QCOMPARE(scale.minimum, 0.001);
        QCOMPARE(scale.maximum, 100.0);
        const std::vector<GraphTick> ticks = AxisTicks(scale);
        QCOMPARE(ticks.front().label, std::string("1e-3"));
        QCOMPARE(ticks.back().label, std::string("1e2"));
        // Values at or below zero cannot sit on a log axis.
        const GraphAxisScale drawable = DrawableScale({0.0, 5.0, true});
        QVERIFY(drawable.minimum > 0.0 && drawable.minimum < drawable.maximum);
    }

    void scaleAndZoom() {
        ChartSettings settings;
        settings.x = {0.0, 1.0, false};
        settings.y = {0.0, 50.0, false};
        ScaleDialog dialog(settings);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Scale"));
        auto* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        QVERIFY(ok->isEnabled());
        // A log axis cannot start at 0, and a range must not be empty or
        // hold anything but numbers.
        dialog.YLog()->setChecked(true);
        QVERIFY(!ok->isEnabled());
        dialog.Field(2)->setText(QStringLiteral("0.001"));
        QVERIFY(ok->isEnabled());
        dialog.Field(1)->setText(QStringLiteral("-1"));
        QVERIFY(!ok->isEnabled());
        dialog.Field(1)->setText(QStringLiteral("1e"));
        QVERIFY(!ok->isEnabled());
        dialog.Field(1)->setText(QStringLiteral("0.5"));
        ok->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.ChosenSettings().y.minimum, 0.001);
        QVERIFY(dialog.ChosenSettings().y.logarithmic);
        QCOMPARE(dialog.ChosenSettings().x.maximum, 0.5);

        // A chosen range applies to the drawn graph; "Previous" goes back.
        GraphWindow window(*level3_);
        const ChartSettings fitted = window.Chart()->Settings();
        window.ApplyScale(dialog.ChosenSettings());
        QCOMPARE(window.Chart()->Settings().y.minimum, 0.001);
        window.ZoomPrevious();
        QCOMPARE(window.Chart()->Settings().y.minimum, fitted.y.minimum);
        QCOMPARE(window.Chart()->Settings().y.logarithmic, fitted.y.logarithmic);
    }

    void statisticsView() {
        StatisticsView view(*level3_);
        // A travel time measured at the source does not exist.
        Select(view.ResultSelector(), StatisticsKind::retardedTravelTime);
        Select(view.MeasuredAtSelector(), MeasuredAt::source);
        for (const char* label : {"Minimum", "Maximum", "Mean", "SD", "Variance",
                                  "05% of values less than", "95% of values less than"})
            QCOMPARE(view.ValueOf(QString::fromLatin1(label)), QStringLiteral("---"));

        // A receptor concentration of the first source at the second time.
        Select(view.ResultSelector(), StatisticsKind::concentration);
        Select(view.MeasuredAtSelector(), MeasuredAt::receptor);
        Select(view.SourceSelector(), 0);
        Select(view.TimeSelector(), 1);
        ResultLocation location;
        location.kind = Kind::receptorConcentration;
        const ResultVector* vector = FindResultVector(*level3_, location, 1);
        QVERIFY(vector);
        auto text = [](double value) {
            return QString::fromStdString(StatisticsTable::FormatValue(value));
        };
        QCOMPARE(view.ValueOf("Minimum"), text(vector->Minimum()));
        QCOMPARE(view.ValueOf("Maximum"), text(vector->Maximum()));
        QCOMPARE(view.ValueOf("Mean"), text(vector->Mean()));
        QCOMPARE(view.ValueOf("SD"), text(vector->StandardDeviation()));
        QCOMPARE(view.ValueOf("Variance"), text(vector->Variance()));
        QCOMPARE(view.ValueOf("50% of values less than"), text(vector->PercentileValue(3)));
        QCOMPARE(view.ValueOf("95% of values less than"), text(vector->PercentileValue(6)));
        const double standard = level3_->contaminants.front().standard;
        QCOMPARE(view.ValueOf(
                     QStringLiteral("Probability of exceeding the WQS of %1 [mg/l]").arg(standard)),
                 text(varnex::ExceedanceProbability(vector->Values(), standard)));
        std::vector<double> sorted = vector->Values();
        varnex::SortValues(sorted);
        const auto interval = varnex::PercentileConfidenceInterval95(sorted, 50);
        QCOMPARE(view.ValueOf("95% confidence interval of the 50% value"),
                 text(interval.first) + " - " + text(interval.second));
        QVERIFY(view.windowTitle().startsWith(QStringLiteral("Statistics: ")));

        // Ctrl+C copies the caption and the table as tab-separated text: all
        // of it, or the rows the user selected.
        QStringList copied = CopiedByKeyboard(view, view.Table());
        QCOMPARE(copied.size(), view.Table()->rowCount() + 1);
        QCOMPARE(copied[0], view.windowTitle());
        QCOMPARE(copied[1], QStringLiteral("Minimum\t") + text(vector->Minimum()));
        QVERIFY(copied.contains(QStringLiteral("Mean\t") + text(vector->Mean())));
        view.Table()->setRangeSelected(QTableWidgetSelectionRange(2, 0, 3, 1), true);
        view.CopyToClipboard();
        copied = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
        QCOMPARE(copied,
                 QStringList({view.windowTitle(), QStringLiteral("Mean\t") + text(vector->Mean()),
                              QStringLiteral("SD\t") + text(vector->StandardDeviation())}));
        QCOMPARE(StatisticsTable::FormatValue(1.5e-7), std::string("1.5E-07"));
    }

    void sensitivityDialogListsWhatTheCommandLineLists() {
        QTemporaryDir dir;
        const std::string path = dir.filePath(QStringLiteral("petrol.vnx")).toStdString();
        std::string error;
        QVERIFY2(varnex::SaveProject(*level3_, path, true, error), error.c_str());

        SensitivityDialog dialog(*level3_);
        QVERIFY(dialog.ExcludeZero()->isChecked());
        QVERIFY(!dialog.ContaminantSelector()->isEnabled());
        dialog.IndividualContaminant()->setChecked(true);
        QVERIFY(dialog.ContaminantSelector()->isEnabled());
        dialog.IndividualContaminant()->setChecked(false);

        // Concentration at the receptor at the first time slice, all
        // sources and receptors.
        const int chooser =
            dialog.ResultChooser()->findText(QStringLiteral("Concentration at Receptor - %1 years")
                                                 .arg(level3_->timeSlices[0], 0, 'f', 0));
        QVERIFY(chooser >= 0);
        dialog.ResultChooser()->setCurrentIndex(chooser);
        QVERIFY(dialog.ReceptorSelector()->isEnabled());
        dialog.SourceSelector()->setCurrentIndex(0);
        QCOMPARE(dialog.SourceSelector()->currentText(), QStringLiteral("<All>"));
        QVERIFY(!dialog.PathwaySelector()->isEnabled());
        QVERIFY(dialog.List()->topLevelItemCount() > 0);

        for (bool rank : {false, true}) {
            dialog.RankCorrelation()->setChecked(rank);
            QStringList arguments = {
                QStringLiteral("sensitivity"), QString::fromStdString(path),
                QStringLiteral("--result"),    QStringLiteral("4"),
                QStringLiteral("--time"),      QString::number(level3_->timeSlices[0])};
            if (rank) arguments << QStringLiteral("--rank");
            QProcess cli;
            cli.start(QStringLiteral(VARNEX_BIN_DIR "/varnex-cli"), arguments);
            QVERIFY(cli.waitForFinished(120000));
            QCOMPARE(cli.exitCode(), 0);
            QStringList expected =
                QString::fromUtf8(cli.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
            QCOMPARE(expected.takeFirst(), QStringLiteral("Input\tSensitivity"));
            QStringList shown;
            for (int i = 0; i < dialog.List()->topLevelItemCount(); ++i)
                shown << dialog.List()
                                 ->topLevelItem(i)
                                 ->data(0, SensitivityDialog::fullLabelRole)
                                 .toString() +
                             '\t' + dialog.List()->topLevelItem(i)->text(1);
            QCOMPARE(shown, expected);
            // Copied, the list is the command's output under a line naming
            // the result it ranks.
            QStringList copied = CopiedByKeyboard(dialog, dialog.List());
            QCOMPARE(copied.size(), expected.size() + 2);
            QVERIFY(copied.takeFirst().startsWith(dialog.ResultChooser()->currentText() +
                                                  QStringLiteral(" - <All>")));
            QCOMPARE(copied.takeFirst(), QStringLiteral("Input\tSensitivity"));
            QCOMPARE(copied, expected);
        }

        // The first ten only, strongest first.
        dialog.FirstTenOnly()->setChecked(true);
        QVERIFY(dialog.List()->topLevelItemCount() <= 10);
        const std::vector<varnex::SensitivityRow>& rows = dialog.Rows();
        for (std::size_t i = 1; i < rows.size(); ++i)
            if (!rows[i].isSingleValue && !rows[i - 1].isSingleValue)
                QVERIFY(std::fabs(rows[i - 1].coefficient) >= std::fabs(rows[i].coefficient));

        // Source concentrations have no pathway; receptor selector only
        // for receptor results.
        dialog.ResultChooser()->setCurrentIndex(
            dialog.ResultChooser()->findText(QStringLiteral("Concentration at source - %1 years")
                                                 .arg(level3_->timeSlices[0], 0, 'f', 0)));
        QVERIFY(!dialog.ReceptorSelector()->isEnabled());
        dialog.SourceSelector()->setCurrentIndex(1);
        QVERIFY(!dialog.PathwaySelector()->isEnabled());
    }

    void headlessRendering() {
        GraphSelection selection;
        selection.location.kind = Kind::receptorConcentration;
        selection.graphType = GraphType::timeHistory;
        const GraphContent content = GraphBuilder::Build(*level3_, selection);
        QImage image(800, 500, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        CTChart::Render(content, CTChart::FittingSettings(content, false, true, true), painter,
                        QRectF(0, 0, 800, 500));
        painter.end();
        // Something other than white was drawn.
        bool drawn = false;
        for (int y = 0; y < image.height() && !drawn; y += 3)
            for (int x = 0; x < image.width() && !drawn; x += 3)
                drawn = image.pixel(x, y) != qRgb(255, 255, 255);
        QVERIFY(drawn);
        QDir().mkpath(QStringLiteral(VARNEX_SCREENSHOT_DIR));
        QVERIFY(image.save(QStringLiteral(VARNEX_SCREENSHOT_DIR "/graph-rendered-offscreen.png")));
    }

    void screenshotsOfEveryExample() {
        for (const char* example : examples) {
            const std::unique_ptr<Project> project = RunExample(example);
            const QString base = QFileInfo(QString::fromLatin1(example)).completeBaseName();
            GraphWindow window(*project);
            // The concentration where the level's results end.
            const int last = project->simulationLevel >= 3 ? Kind::receptorConcentration
                                                           : Kind::sourceConcentration;
            Select(window.ResultSelector(), last);
            if (window.SourceSelector()->findData(0) >= 0) Select(window.SourceSelector(), 0);
            const struct {
                int type;
                const char* name;
            } types[] = {{GraphType::cumulativeFrequency, "cumulative"},
                         {GraphType::reverseCumulativeFrequency, "reverse"},
                         {GraphType::timeHistory, "history"}};
            for (const auto& type : types) {
                window.SetGraphType(type.type);
                SaveScreenshot(window, QStringLiteral("graph-%1-%2.png").arg(base, type.name));
            }
            // The same time history on a log value axis.
            ChartSettings log =
                CTChart::FittingSettings(window.Chart()->Content(), false, true, true);
            window.ApplyScale(log);
            SaveScreenshot(window, QStringLiteral("graph-%1-history-log.png").arg(base));
            // A travel time where the level has one.
            const std::vector<int> offered = Kind::OfferedAtLevel(project->simulationLevel);
            for (int kind : {Kind::receptorRetardedTravelTime, Kind::uzRetardedTravelTime})
                if (std::find(offered.begin(), offered.end(), kind) != offered.end()) {
                    Select(window.ResultSelector(), kind);
                    window.SetGraphType(GraphType::cumulativeFrequency);
                    SaveScreenshot(window, QStringLiteral("graph-%1-travel-time.png").arg(base));
                    break;
                }
            window.close();

            StatisticsView view(*project);
            if (project->simulationLevel < 3) Select(view.MeasuredAtSelector(), MeasuredAt::source);
            if (view.SourceSelector()->findData(0) >= 0) Select(view.SourceSelector(), 0);
            SaveScreenshot(view, QStringLiteral("statistics-%1.png").arg(base));
            view.close();

            SensitivityDialog dialog(*project);
            dialog.ResultChooser()->setCurrentIndex(dialog.ResultChooser()->count() - 1);
            SaveScreenshot(dialog, QStringLiteral("sensitivity-%1.png").arg(base));
            dialog.close();
        }
    }

private:
    QTemporaryDir preferences_;
    std::unique_ptr<Project> level3_;
};

QTEST_MAIN(ResultWindowsTest)
#include "ResultWindowsTest.moc"
