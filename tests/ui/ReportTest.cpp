// The printed reports: what the report models of the examples hold, the
// PDFs they make (pages, header rows repeated, nothing split), and the
// desktop program's headless options as a script calls them.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ExampleProjects.h"
#include "base/NumberText.h"
#include "model/Project.h"
#include "model/SimulationLevel.h"
#include "persist/ProjectFile.h"
#include "persist/ProjectJson.h"
#include "results/Convergence.h"
#include "results/ResultVector.h"
#include "run/RunDriver.h"
#include "run/RunObserver.h"
#include "settings/Preferences.h"
#include "stochastic/IterationCount.h"
#include "ui/graphs/GraphBuilder.h"
#include "ui/graphs/GraphResultKind.h"
#include "ui/reports/ReportModel.h"
#include "ui/reports/ReportPrinter.h"

using varnex::Project;
using namespace varnex::ui;
using Kind = ReportBlock::Kind;

namespace {

constexpr int iterations = 41;

using varnex::ui::test::LoadExample;
const auto& examples = varnex::ui::test::runnableExamples;

std::unique_ptr<Project> RunExample(const std::string& name) {
    return varnex::ui::test::RunExample(name, iterations);
}

// Page objects of a PDF ("/Type /Pages" is the page tree, not a page).
int PdfPageCount(const QByteArray& pdf) {
    int count = 0;
    for (qsizetype at = pdf.indexOf("/Type /Page"); at >= 0;
         at = pdf.indexOf("/Type /Page", at + 1))
        if (pdf.mid(at + 11, 1) != "s") ++count;
    return count;
}

int RunVarnex(const QStringList& arguments, QString* errors = nullptr) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Headless means no display is needed at all.
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(VARNEX_BIN_DIR "/varnex"), arguments);
    if (!process.waitForFinished(120000)) return -1;
    if (errors) *errors = QString::fromUtf8(process.readAllStandardError());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

const ReportBlock* FindHeading(const ReportModel& model, const QString& text, std::size_t& index) {
    for (index = 0; index < model.blocks.size(); ++index)
        if (model.blocks[index].kind == Kind::heading && model.blocks[index].text == text)
            return &model.blocks[index];
    return nullptr;
}

} // namespace

class ReportTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(preferences_.isValid());
        QVERIFY(scratch_.isValid());
        varnex::UseUserPreferencesFile(
            preferences_.filePath(QStringLiteral("preferences.ini")).toStdString());
        for (const char* example : examples) runs_.push_back(RunExample(example));
    }
    void cleanupTestCase() { varnex::ResetUserPreferencesFile(); }

    void modelReportListsEveryEntityAndInput() {
        for (const auto& project : runs_) {
            const ReportModel model = ReportBuilder::ModelReport(*project);
            QCOMPARE(model.Count(Kind::titleBlock), 1);
            QCOMPARE(model.blocks[1].rows.at(0).at(1),
                     QString::fromStdString(project->details.title));
            std::size_t at = 0;
            for (const varnex::Source& source : project->sources)
                QVERIFY(FindHeading(
                    model, QStringLiteral("Source: ") + QString::fromStdString(source.name), at));
            for (const varnex::Contaminant& contaminant : project->contaminants) {
                QVERIFY(FindHeading(model,
                                    QStringLiteral("Contaminant: ") +
                                        QString::fromStdString(contaminant.name),
                                    at));
                // The contaminant's own inputs follow its heading, each with its distribution text.
                const ReportBlock& table = model.blocks.at(at + 1);
                QCOMPARE(table.kind, Kind::table);
                QVERIFY(table.rows.size() >= 2);
            }
            // Every row has a cell for every column.
            for (const ReportBlock& block : model.blocks)
                if (block.kind == Kind::table)
                    for (const QStringList& row : block.rows)
                        QCOMPARE(row.size(), block.header.size());
        }
    }

    // The correlations change samples as much as the distributions do: the
    // model report lists each with its inputs named as the dialog names them.
    void modelReportListsTheCorrelations() {
        Project& project = *runs_.at(2);
        std::size_t at = 0;
        QVERIFY(!FindHeading(ReportBuilder::ModelReport(project),
                             QStringLiteral("Input Correlations"), at));
        const varnex::CorrelationList before = project.correlations;
        const varnex::Source& source = project.sources.at(0);
        varnex::Correlation record;
        record.name = "Thickness with infiltration";
        record.referenceParameter = source.thickness.id;
        record.correlatedParameter = source.infiltration.id;
        record.value = 0.75;
        QVERIFY(project.correlations.Add(record));
        varnex::Correlation orphan;
        orphan.name = "Removed input";
        orphan.referenceParameter = 999999;
        orphan.correlatedParameter = source.thickness.id;
        orphan.value = -0.5;
        QVERIFY(project.correlations.Add(orphan));
        const ReportModel model = ReportBuilder::ModelReport(project);
        project.correlations = before;
        QVERIFY(FindHeading(model, QStringLiteral("Input Correlations"), at));
        const ReportBlock& table = model.blocks.at(at + 1);
        QCOMPARE(
            table.header,
            (QStringList{QStringLiteral("Correlation name"), QStringLiteral("Correlated Parameter"),
                         QStringLiteral("Parameter Correlated To"), QStringLiteral("Value")}));
        QCOMPARE(table.rows.size(), std::size_t{2});
        // Records follow the reference input's identity.
        const QString sourceName = QString::fromStdString(source.name);
        QCOMPARE(table.rows[0].at(0), QStringLiteral("Thickness with infiltration"));
        QVERIFY(table.rows[0].at(1).startsWith(sourceName + QStringLiteral(" - ")));
        QVERIFY(table.rows[0].at(2).startsWith(sourceName + QStringLiteral(" - ")));
        QCOMPARE(table.rows[0].at(3), QStringLiteral("0.75"));
        QCOMPARE(table.rows[1].at(2), QStringLiteral("(input 999999 no longer in the project)"));
        QCOMPARE(table.rows[1].at(3), QStringLiteral("-0.5"));
    }

    void resultsReportFollowsTheLevel() {
        for (const auto& project : runs_) {
            const ReportModel model = ReportBuilder::ResultsReport(*project);
            const bool receptors = project->simulationLevel >= varnex::SimulationLevel::level3;
            int places = 0;
            for (std::size_t c = 0; c < project->contaminants.size(); ++c) {
                const QString contaminant = QString::fromStdString(project->contaminants[c].name);
                const std::size_t count =
                    receptors ? project->receptors.size() : project->sources.size();
                for (std::size_t i = 0; i < count; ++i) {
                    const QString place = QString::fromStdString(
                        receptors ? project->receptors[i].name : project->sources[i].name);
                    std::size_t at = 0;
                    if (!FindHeading(model, contaminant + QStringLiteral(" - ") + place, at))
                        continue;
                    ++places;
                    // The concentrations over the run's time slices, in order.
                    const ReportBlock& table = model.blocks.at(at + 1);
                    QCOMPARE(table.kind, Kind::table);
                    QCOMPARE(table.header.size(),
                             static_cast<qsizetype>(project->timeSlices.size()) + 1);
                    QCOMPARE(table.header.last(),
                             QString::fromStdString(
                                 GraphBuilder::TimeSliceText(project->timeSlices.back())));
                    QCOMPARE(table.rows.front().front(), QStringLiteral("Minimum"));
                    for (const QStringList& row : table.rows)
                        for (qsizetype cell = 1; cell < row.size(); ++cell)
                            QVERIFY(row[cell] != QStringLiteral("---"));
                    // Then whether the run had iterations enough: the 95th
                    // percentile of the last time slice, its interval and
                    // the iterations for a half-width of 10 %, as the
                    // statistics compute them.
                    const ReportBlock& convergence = model.blocks.at(at + 2);
                    QCOMPARE(convergence.text,
                             QStringLiteral("Convergence of the 95th percentile"));
                    QCOMPARE(convergence.header.size(), table.header.size());
                    QCOMPARE(convergence.rows.size(), 4);
                    ResultLocation location;
                    location.kind = receptors ? GraphResultKind::receptorConcentration
                                              : GraphResultKind::sourceConcentration;
                    location.contaminant = static_cast<int>(c);
                    location.source = receptors ? ResultLocation::total : static_cast<int>(i);
                    location.receptor = receptors ? static_cast<int>(i) : 0;
                    const int last = static_cast<int>(project->timeSlices.size()) - 1;
                    const varnex::ResultVector* vector =
                        varnex::ui::FindResultVector(*project, location, last);
                    QVERIFY(vector);
                    QCOMPARE(convergence.rows[0].last(),
                             QString::fromStdString(varnex::FormatG(vector->PercentileValue(6))));
                    const std::optional<long long> needed =
                        varnex::IterationsForPercentileWidth(vector->Values(), 0.1);
                    QCOMPARE(convergence.rows[3].last(),
                             needed ? QString::number(*needed) : QStringLiteral("-"));
                }
            }
            QVERIFY2(places > 0, qPrintable(model.title));
            // Two graphs (frequency at the last time, time history) per receptor; none at the source.
            QCOMPARE(model.Count(Kind::graph), receptors ? 2 * places : 0);
            for (const ReportBlock& block : model.blocks)
                if (block.kind == Kind::graph) QVERIFY(!block.graph.curves.empty());
        }
        // Without results: the title block and nothing to report.
        const std::unique_ptr<Project> unrun = LoadExample(examples[3]);
        const ReportModel empty = ReportBuilder::ResultsReport(*unrun);
        QCOMPARE(empty.Count(Kind::table) + empty.Count(Kind::graph), 0);
    }

    void pdfReportsOfEveryExample() {
        const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
        QDir().mkpath(QStringLiteral(VARNEX_SCREENSHOT_DIR));
        for (std::size_t e = 0; e < runs_.size(); ++e) {
            const QString base = QFileInfo(QString::fromLatin1(examples[e])).completeBaseName();
            for (const bool results : {false, true}) {
                const ReportModel model = results ? ReportBuilder::ResultsReport(*runs_[e])
                                                  : ReportBuilder::ModelReport(*runs_[e]);
                const QString path =
                    scratch_.filePath(base + (results ? "-results.pdf" : "-model.pdf"));
                QString error;
                QVERIFY2(ReportPrinter::WritePdf(model, path, error), qPrintable(error));
                QFile file(path);
                QVERIFY(file.open(QIODevice::ReadOnly));
                const QByteArray pdf = file.readAll();
                QVERIFY(pdf.startsWith("%PDF"));
                QPdfWriter counter(scratch_.filePath(QStringLiteral("count.pdf")));
                counter.setResolution(600);
                counter.setPageSize(QPageSize(QPageSize::A4));
                const int expected = ReportPrinter::CountPages(model, counter);
                QCOMPARE(PdfPageCount(pdf), expected);
                QVERIFY2(expected >= 1 && expected <= 40,
                         qPrintable(QStringLiteral("%1 pages").arg(expected)));
                if (!pdftoppm.isEmpty()) {
                    const QString prefix =
                        QStringLiteral(VARNEX_SCREENSHOT_DIR "/report-") + base +
                        (results ? QStringLiteral("-results") : QStringLiteral("-model"));
                    QCOMPARE(
                        QProcess::execute(pdftoppm, {QStringLiteral("-png"), QStringLiteral("-r"),
                                                     QStringLiteral("60"), QStringLiteral("-l"),
                                                     QStringLiteral("4"), path, prefix}),
                        0);
                }
            }
        }
    }

    // A table longer than a page continues under its header row and never
    // splits a row; a heading is never the last thing on a page.
    void longTablesBreakBetweenRows() {
        ReportModel model;
        model.title = QStringLiteral("Breaks");
        for (int t = 0; t < 3; ++t) {
            ReportBlock heading;
            heading.kind = Kind::heading;
            heading.text = QStringLiteral("Table %1").arg(t);
            model.blocks.push_back(heading);
            ReportBlock table;
            table.kind = Kind::table;
            table.header = {QStringLiteral("Row"), QStringLiteral("Value")};
            for (int r = 0; r < 70; ++r)
                table.rows.push_back(
                    {QStringLiteral("Row %1").arg(r),
                     r % 7 == 0
                         ? QStringLiteral("a value long enough to wrap onto a second line of "
                                          "its cell in the narrow column of this table")
                         : QString::number(r)});
            model.blocks.push_back(table);
        }
        const QString path = scratch_.filePath(QStringLiteral("breaks.pdf"));
        QString error;
        QVERIFY(ReportPrinter::WritePdf(model, path, error));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const int pages = PdfPageCount(file.readAll());
        QVERIFY2(pages >= 5, qPrintable(QString::number(pages)));
        const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
        if (!pdftoppm.isEmpty())
            QCOMPARE(QProcess::execute(pdftoppm,
                                       {QStringLiteral("-png"), QStringLiteral("-r"),
                                        QStringLiteral("60"), path,
                                        QStringLiteral(VARNEX_SCREENSHOT_DIR "/report-breaks")}),
                     0);
    }

    // A PDF that cannot be written says where and, on a second line, why:
    // a folder that is a regular file stops even a user who may write
    // anywhere.
    void unwritablePdfSaysWhy() {
        ReportModel model;
        model.title = QStringLiteral("Nowhere");
        ReportBlock heading;
        heading.kind = Kind::heading;
        heading.text = QStringLiteral("A heading");
        model.blocks.push_back(heading);
        QFile blocker(scratch_.filePath(QStringLiteral("not-a-folder")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString path = blocker.fileName() + QStringLiteral("/report.pdf");
        QString error;
        QVERIFY(!ReportPrinter::WritePdf(model, path, error));
        const QStringList lines = error.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], QStringLiteral("Failed to write to file ") + path);
        QVERIFY2(!lines[1].trimmed().isEmpty(), qPrintable(error));
    }

    // The graph window's Print: the graph alone on one landscape page; the
    // shared page setup is as it was afterwards.
    void graphPrintsOnOnePage() {
        GraphSelection selection;
        selection.location.kind = varnex::ui::GraphResultKind::receptorConcentration;
        selection.location.source = ResultLocation::total;
        selection.graphType = GraphType::timeHistory;
        const GraphContent content = GraphBuilder::Build(*runs_[3], selection);
        QVERIFY(!content.Empty());
        const QString path = scratch_.filePath(QStringLiteral("graph.pdf"));
        {
            QPdfWriter writer(path);
            writer.setPageSize(QPageSize(QPageSize::A4));
            QVERIFY(ReportPrinter::PrintGraph(QStringLiteral("Graph"), content,
                                              CTChart::FittingSettings(content, false, false, true),
                                              writer));
            QCOMPARE(writer.pageLayout().orientation(), QPageLayout::Portrait);
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(PdfPageCount(file.readAll()), 1);
    }

    // A plume picture is a map to print: the site plan's DXF background
    // under the plume (a relative path read beside the project) and a scale
    // bar to measure it by; a map that cannot be read is told and left out.
    void headlessPlumeDrawsTheMapAndAScaleBar() {
        QFile original(QStringLiteral(VARNEX_SOURCE_DIR "/examples/level3-gasworks-chalk.json"));
        QVERIFY(original.open(QIODevice::ReadOnly));
        QJsonObject root = QJsonDocument::fromJson(original.readAll()).object();
        auto withMap = [&](const QString& map) {
            QJsonObject plan = root.value(QStringLiteral("sitePlan")).toObject();
            plan.insert(QStringLiteral("backgroundMapFile"), map);
            plan.insert(QStringLiteral("showBackgroundMap"), true);
            QJsonObject changed = root;
            changed.insert(QStringLiteral("sitePlan"), plan);
            const QString path = scratch_.filePath(
                map.isEmpty() ? QStringLiteral("nomap.json")
                              : QFileInfo(map).completeBaseName() + QStringLiteral(".json"));
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly)) return QString();
            file.write(QJsonDocument(changed).toJson());
            return path;
        };
        QVERIFY(
            QFile::copy(QStringLiteral(VARNEX_SOURCE_DIR "/examples/canal-street-survey-2023.dxf"),
                        scratch_.filePath(QStringLiteral("canal-street-survey-2023.dxf"))));
        const QString mapped = withMap(QStringLiteral("canal-street-survey-2023.dxf"));
        const QString plain = withMap(QString());
        const QString missing = withMap(QStringLiteral("gone.dxf"));
        QVERIFY(!mapped.isEmpty() && !plain.isEmpty() && !missing.isEmpty());

        auto render = [&](const QString& project, const QString& out, QString* errors) {
            return RunVarnex({QStringLiteral("--render-plume"), project,
                              QStringLiteral("--contaminant"), QStringLiteral("Benzene"),
                              QStringLiteral("--time"), QStringLiteral("50"),
                              QStringLiteral("--spacing"), QStringLiteral("5"),
                              QStringLiteral("--area"), QStringLiteral("0,200,240,240"),
                              QStringLiteral("--size"), QStringLiteral("900x700"), out},
                             errors);
        };
        QString errors;
        const QString withMapPng = scratch_.filePath(QStringLiteral("mapped.png"));
        const QString plainPng = scratch_.filePath(QStringLiteral("plain.png"));
        const QString missingPng = scratch_.filePath(QStringLiteral("missing.png"));
        QCOMPARE(render(mapped, withMapPng, &errors), 0);
        QVERIFY2(!errors.contains(QStringLiteral("background map")), qPrintable(errors));
        QCOMPARE(render(plain, plainPng, &errors), 0);
        QCOMPARE(render(missing, missingPng, &errors), 0);
        QVERIFY2(errors.contains(QStringLiteral("background map left out")), qPrintable(errors));
        QVERIFY2(errors.contains(QStringLiteral("gone.dxf")), qPrintable(errors));

        const QImage a(withMapPng), b(plainPng), c(missingPng);
        QVERIFY(!a.isNull() && a.size() == b.size());
        // Without a readable map the pictures are the same; with it the
        // survey's lines change many pixels of the plan.
        QCOMPARE(b, c);
        int differing = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x) differing += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
        QVERIFY2(differing > 500, qPrintable(QString::number(differing)));
        // The bar's black half in the bottom-left corner of the map.
        int ink = 0;
        for (int y = a.height() - 40; y < a.height() - 10; ++y)
            for (int x = 10; x < 150; ++x) ink += qGray(b.pixel(x, y)) < 60 ? 1 : 0;
        QVERIFY2(ink > 100, qPrintable(QString::number(ink)));
    }

    void headlessOptions() {
        // A project file with the results of its run, as the desktop program saves it.
        const std::unique_ptr<Project> project = RunExample(examples[3]);
        const QString vnx = scratch_.filePath(QStringLiteral("petrol.vnx"));
        std::string error;
        QVERIFY2(varnex::SaveProject(*project, vnx.toStdString(), true, error), error.c_str());
        const QString json =
            QStringLiteral(VARNEX_SOURCE_DIR "/examples/") + QString::fromLatin1(examples[3]);
        const QString contaminant = QString::fromStdString(project->contaminants.front().name);

        const QString pdf = scratch_.filePath(QStringLiteral("headless.pdf"));
        QCOMPARE(RunVarnex({QStringLiteral("--report"), vnx, pdf}), 0);
        QFile report(pdf);
        QVERIFY(report.open(QIODevice::ReadOnly));
        QVERIFY(report.readAll().startsWith("%PDF"));

        const QString png = scratch_.filePath(QStringLiteral("history.png"));
        QCOMPARE(RunVarnex({QStringLiteral("--render-graph"), vnx, QStringLiteral("--kind"),
                            QStringLiteral("2"), QStringLiteral("--type"), QStringLiteral("3"),
                            QStringLiteral("--log"), png}),
                 0);
        QImage image(png);
        QCOMPARE(image.size(), QSize(1000, 650));
        const QString svg = scratch_.filePath(QStringLiteral("cumulative.svg"));
        QCOMPARE(
            RunVarnex({QStringLiteral("--render-graph"), vnx, QStringLiteral("--kind"),
                       QStringLiteral("2"), QStringLiteral("--type"), QStringLiteral("0"),
                       QStringLiteral("--contaminant"), contaminant, QStringLiteral("--source"),
                       QStringLiteral("<Total>"), QStringLiteral("--time"),
                       QString::number(project->timeSlices.back()), svg}),
            0);
        QFile svgFile(svg);
        QVERIFY(svgFile.open(QIODevice::ReadOnly));
        QVERIFY(svgFile.readAll().contains("<svg"));

        const QString plume = QStringLiteral(VARNEX_SCREENSHOT_DIR "/headless-plume.png");
        QCOMPARE(RunVarnex({QStringLiteral("--render-plume"), json, QStringLiteral("--contaminant"),
                            contaminant, QStringLiteral("--time"), QStringLiteral("50"),
                            QStringLiteral("--spacing"), QStringLiteral("10"), plume}),
                 0);
        QVERIFY(!QImage(plume).isNull());
        QVERIFY(QFile::copy(png, QStringLiteral(VARNEX_SCREENSHOT_DIR "/headless-history.png")) ||
                QFile::exists(QStringLiteral(VARNEX_SCREENSHOT_DIR "/headless-history.png")));

        // A project without results: said so, exit 1, nothing written.
        QString errors;
        const QString none = scratch_.filePath(QStringLiteral("none.pdf"));
        QCOMPARE(RunVarnex({QStringLiteral("--report"), json, none}, &errors), 1);
        QVERIFY(errors.contains(QStringLiteral("no results")));
        QVERIFY(!QFile::exists(none));
        QCOMPARE(
            RunVarnex({QStringLiteral("--render-graph"), json, QStringLiteral("--kind"),
                       QStringLiteral("2"), QStringLiteral("--type"), QStringLiteral("0"), png},
                      &errors),
            1);
        // Wrong command lines name the option and exit 2.
        const struct {
            QStringList arguments;
            const char* named;
        } wrong[] = {
            {{QStringLiteral("--render-graph"), vnx, QStringLiteral("--kind"), QStringLiteral("12"),
              QStringLiteral("--type"), QStringLiteral("0"), png},
             "--kind"},
            {{QStringLiteral("--render-graph"), vnx, QStringLiteral("--kind"), QStringLiteral("2"),
              QStringLiteral("--type"), QStringLiteral("2"), png},
             "--type"},
            {{QStringLiteral("--render-graph"), vnx, QStringLiteral("--kind"), QStringLiteral("2"),
              QStringLiteral("--type"), QStringLiteral("0"), QStringLiteral("--receptor"),
              QStringLiteral("Nowhere"), png},
             "--receptor"},
            {{QStringLiteral("--render-plume"), json, QStringLiteral("--contaminant"), contaminant,
              QStringLiteral("--time"), QStringLiteral("soon"), QStringLiteral("--spacing"),
              QStringLiteral("10"), png},
             "--time"},
            {{QStringLiteral("--render-plume"), json, QStringLiteral("--contaminant"), contaminant,
              QStringLiteral("--time"), QStringLiteral("5"), QStringLiteral("--spacing"),
              QStringLiteral("10"), QStringLiteral("--area"), QStringLiteral("0,0,-5,5"), png},
             "--area"},
            {{QStringLiteral("--report"), vnx, QStringLiteral("--pages"), pdf}, "--pages"},
            {{QStringLiteral("--report"), vnx, scratch_.filePath(QStringLiteral("report.txt"))},
             ".pdf"},
        };
        for (const auto& call : wrong) {
            QCOMPARE(RunVarnex(call.arguments, &errors), 2);
            QVERIFY2(errors.contains(QLatin1String(call.named)), qPrintable(errors));
        }
        // An unreadable project is a wrong command line too.
        QCOMPARE(RunVarnex({QStringLiteral("--report"),
                            scratch_.filePath(QStringLiteral("missing.vnx")), pdf},
                           &errors),
                 2);
        QVERIFY(errors.contains(QStringLiteral("cannot read")));
    }

private:
    QTemporaryDir preferences_;
    QTemporaryDir scratch_;
    std::vector<std::unique_ptr<Project>> runs_;
};

QTEST_MAIN(ReportTest)
#include "ReportTest.moc"
