// The choice of advection-dispersion kernel in the desktop program: offered
// in "Program Options", kept in the preferences, given to every run, and
// named, as the kernel that made them, beside the results in the report.

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <string>
#include <vector>

#include "ExampleProjects.h"
#include "MainWindowTest.h"
#include "UiTestSupport.h"
#include "model/Project.h"
#include "settings/LanguageList.h"
#include "settings/Preferences.h"
#include "settings/SolverSettings.h"
#include "settings/Translate.h"
#include "stochastic/IterationCount.h"
#include "stochastic/RandomStream.h"
#include "ui/graphs/GraphResultKind.h"
#include "ui/reports/ReportModel.h"
#include "ui/shell/CMainFrame.h"
#include "ui/shell/ProgramOptionsDialog.h"
#include "ui/siteplan/PlumeDialog.h"

using varnex::SolverKernel;
using varnex::SolverSettings;
using varnex::ui::CMainFrame;
using varnex::ui::ProgramOptionsDialog;
using varnex::ui::ReportBlock;
using varnex::ui::ReportBuilder;
using varnex::ui::test::WhenModalOpens;

namespace {

QString ExamplePath(const char* name) {
    return QStringLiteral(VARNEX_SOURCE_DIR "/examples/") + QString::fromLatin1(name);
}

// The value beside `label` in the results report's run summary (the first
// property table), or a null string when there is none.
QString RunSummaryValue(const varnex::ui::ReportModel& report, const QString& label) {
    for (const ReportBlock& block : report.blocks) {
        if (block.kind != ReportBlock::Kind::table) continue;
        for (const QStringList& row : block.rows)
            if (row.size() == 2 && row[0] == label) return row[1];
        return QString();
    }
    return QString();
}

// The receptor concentrations of the first contaminant summed over every
// source at the last time slice, one per iteration.
std::vector<double> ReceptorConcentrations(const varnex::Project& project) {
    varnex::ui::ResultLocation location;
    location.kind = varnex::ui::GraphResultKind::receptorConcentration;
    location.source = varnex::ui::ResultLocation::total;
    const int last = static_cast<int>(project.timeSlices.size()) - 1;
    const varnex::ResultVector* vector = varnex::ui::FindResultVector(project, location, last);
    return vector ? vector->Values() : std::vector<double>();
}

} // namespace

class SolverChoiceTest : public varnex::ui::test::MainWindowTest {
    Q_OBJECT

private slots:
    void initTestCase() { StartPreferences(); }
    void cleanupTestCase() { EndPreferences(); }
    void init() {
        // Every test starts from a program that never chose a kernel.
        QFile::remove(varnex::ui::ToQString(varnex::UserPreferences().FilePath()));
        OpenMainWindow(1000, 700);
    }
    void cleanup() { CloseMainWindow(); }

    // The dialog lists the three kernels under "Solver", shows the current
    // one and returns the one picked; without a kernel given it shows fast.
    void optionsDialogOffersTheThreeKernels() {
        const std::vector<std::string> languages = varnex::ListLanguages();
        QVERIFY(!languages.empty());
        ProgramOptionsDialog plain(languages, languages[0], true);
        QCOMPARE(plain.ChosenKernel(), SolverKernel::fast);

        ProgramOptionsDialog options(languages, languages[0], true, SolverKernel::reference);
        auto* box = options.findChild<QComboBox*>(QStringLiteral("solverKernel"));
        QVERIFY(box);
        QCOMPARE(box->count(), 3);
        QCOMPARE(options.ChosenKernel(), SolverKernel::reference);
        bool labelled = false;
        for (const QLabel* label : options.findChildren<QLabel*>())
            labelled =
                labelled || (label->text() == QLatin1String("Solver") && label->buddy() == box);
        QVERIFY2(labelled, "no \"Solver\" label beside the list");
        const struct {
            const char* text;
            SolverKernel kernel;
        } entries[] = {{SolverSettings::fastKernelLabel, SolverKernel::fast},
                       {SolverSettings::referenceKernelLabel, SolverKernel::reference},
                       {SolverSettings::exactKernelLabel, SolverKernel::exact}};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(box->itemText(i), QString::fromLatin1(entries[i].text));
            box->setCurrentIndex(i);
            QCOMPARE(options.ChosenKernel(), entries[i].kernel);
        }
        // The language list is still the first list (the guide's figure and
        // the shell test find it so).
        QCOMPARE(options.findChild<QComboBox*>()->objectName(), QStringLiteral("language"));
    }

    // OK of "Program Options" makes the choice the program's, in the
    // preferences, so that the next start has it; Cancel leaves it. A
    // preference that cannot be written costs the next start the choice,
    // not this session.
    void choiceSurvivesARestart() {
        QCOMPARE(frame_->ChosenSolverKernel(), SolverKernel::fast);
        const auto choose = [this](SolverKernel kernel, bool accept) {
            WhenModalOpens<ProgramOptionsDialog>([kernel, accept](ProgramOptionsDialog& dialog) {
                auto* box = dialog.findChild<QComboBox*>(QStringLiteral("solverKernel"));
                box->setCurrentIndex(box->findData(static_cast<int>(kernel)));
                accept ? dialog.accept() : dialog.reject();
            });
            frame_->CommandAction(CMainFrame::Command::setupOptions)->trigger();
        };
        choose(SolverKernel::exact, true);
        QCOMPARE(frame_->ChosenSolverKernel(), SolverKernel::exact);
        choose(SolverKernel::reference, false);
        QCOMPARE(frame_->ChosenSolverKernel(), SolverKernel::exact);
        QVERIFY2(prompts_.errors.isEmpty(), qPrintable(prompts_.errors.join("\n")));

        CloseMainWindow();
        OpenMainWindow(1000, 700);
        QCOMPARE(frame_->ChosenSolverKernel(), SolverKernel::exact);
        choose(SolverKernel::reference, true);
        CloseMainWindow();
        OpenMainWindow(1000, 700);
        QCOMPARE(frame_->ChosenSolverKernel(), SolverKernel::reference);

        // Preferences under a path whose folder is a file cannot be written.
        const std::string kept = varnex::UserPreferences().FilePath();
        QTemporaryDir folder;
        QFile blocker(folder.filePath(QStringLiteral("file")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        varnex::UseUserPreferencesFile(
            varnex::ui::ToStdString(folder.filePath(QStringLiteral("file/preferences.ini"))));
        QVERIFY(!frame_->ApplySolverKernel(SolverKernel::exact));
        QCOMPARE(frame_->ChosenSolverKernel(), SolverKernel::exact);
        CloseMainWindow();
        OpenMainWindow(1000, 700);
        QCOMPARE(frame_->ChosenSolverKernel(), SolverKernel::fast);
        varnex::UseUserPreferencesFile(kept);
    }

    // A run from the main window computes with the kernel chosen at that
    // moment and records it with the results; choosing another kernel later
    // leaves those results and their record alone, and the saved file keeps
    // it. The exact and the fast kernel solve the same model, so the same
    // samples give nearly, but not bit for bit, the same concentrations.
    void desktopRunRecordsTheChosenKernel() {
        QTemporaryDir folder;
        QVERIFY(frame_->ImportJsonFile(ExamplePath("level3-petrol-station.json")));
        varnex::SetIterationCount(40);
        prompts_.saveFiles << folder.filePath(QStringLiteral("petrol.vnx"));
        const varnex::Project& project = frame_->Document().GetProject();

        // The desktop program's random stream runs on from run to run; the
        // comparison wants both runs to draw the same samples.
        varnex::SetRandomSeed(varnex::RandomStream::initialState);
        QVERIFY2(frame_->RunAndSave(), qPrintable(prompts_.errors.join("\n")));
        QCOMPARE(project.resultsKernel, std::optional<SolverKernel>(SolverKernel::fast));
        const std::vector<double> fast = ReceptorConcentrations(project);
        QVERIFY(!fast.empty());

        QVERIFY(frame_->ApplySolverKernel(SolverKernel::exact));
        QCOMPARE(project.resultsKernel, std::optional<SolverKernel>(SolverKernel::fast));
        varnex::SetRandomSeed(varnex::RandomStream::initialState);
        QVERIFY2(frame_->RunAndSave(), qPrintable(prompts_.errors.join("\n")));
        QCOMPARE(project.resultsKernel, std::optional<SolverKernel>(SolverKernel::exact));
        const std::vector<double> exact = ReceptorConcentrations(project);
        QCOMPARE(exact.size(), fast.size());
        QVERIFY2(exact != fast, "the exact kernel did not reach the run");
        // Same samples, same model: the two differ by the inversion's error,
        // about 1e-4 relative on fronts of Peclet number 500 and far less on
        // gentler ones, so 1e-4 of the largest value bounds it.
        double largest = 0.0;
        for (double value : fast) largest = std::max(largest, std::abs(value));
        QVERIFY(largest > 0.0);
        for (std::size_t i = 0; i < fast.size(); ++i)
            QVERIFY2(std::abs(exact[i] - fast[i]) <= 1e-4 * largest,
                     qPrintable(QString::number(i)));

        QVERIFY(frame_->ApplySolverKernel(SolverKernel::fast));
        QCOMPARE(project.resultsKernel, std::optional<SolverKernel>(SolverKernel::exact));
        QVERIFY(frame_->OpenDocumentFile(folder.filePath(QStringLiteral("petrol.vnx"))));
        const varnex::Project& reopened = frame_->Document().GetProject();
        QVERIFY(reopened.resultsValid);
        QCOMPARE(reopened.resultsKernel, std::optional<SolverKernel>(SolverKernel::exact));
    }

    // The plume is a calculation of its own: it too computes with the
    // kernel chosen when it starts. The two kernels give nearly the same
    // grid, but not bit for bit the same.
    void plumeUsesTheChosenKernel() {
        QVERIFY(frame_->ImportJsonFile(ExamplePath("level3-petrol-station.json")));
        const varnex::Project& project = frame_->Document().GetProject();
        const auto plume = [this, &project] {
            WhenModalOpens<varnex::ui::PlumeDialog>([](varnex::ui::PlumeDialog& dialog) {
                dialog.ContaminantBox()->setCurrentIndex(0);
                dialog.TimeEntry()->setText(QStringLiteral("100"));
                dialog.SpacingEntry()->setText(QStringLiteral("20"));
                dialog.accept();
            });
            frame_->OnModelContaminantPlume();
            return project.plume.columns;
        };
        const std::vector<std::vector<double>> fast = plume();
        QVERIFY2(prompts_.errors.isEmpty(), qPrintable(prompts_.errors.join("\n")));
        QVERIFY(!fast.empty());
        QVERIFY(frame_->ApplySolverKernel(SolverKernel::exact));
        const std::vector<std::vector<double>> exact = plume();
        QVERIFY2(prompts_.errors.isEmpty(), qPrintable(prompts_.errors.join("\n")));
        QCOMPARE(exact.size(), fast.size());
        QVERIFY2(exact != fast, "the exact kernel did not reach the plume");
        double largest = 0.0;
        for (const std::vector<double>& column : fast)
            for (double value : column) largest = std::max(largest, value);
        QVERIFY(largest > 0.0);
        for (std::size_t i = 0; i < fast.size(); ++i)
            for (std::size_t j = 0; j < fast[i].size(); ++j)
                QVERIFY(std::abs(exact[i][j] - fast[i][j]) <= 1e-4 * largest);
        // The chosen kernel is the program's, not the project's.
        QCOMPARE(project.resultsKernel, std::optional<SolverKernel>());
    }

    // The results report's run summary names the kernel that computed the
    // results, in the language in force, and says when a file did not
    // record it. The model report has no results and names none.
    void reportNamesTheKernelOfTheResults() {
        std::unique_ptr<varnex::Project> project =
            varnex::ui::test::RunExample("hand-check-level1.json", 5);
        const QString solver = QStringLiteral("Solver");
        QCOMPARE(RunSummaryValue(ReportBuilder::ResultsReport(*project), solver),
                 QStringLiteral("fast (numerical inversion)"));
        const struct {
            std::optional<SolverKernel> kernel;
            const char* english;
            const char* german;
        } cases[] = {
            {SolverKernel::fast, "fast (numerical inversion)", "schnell (numerische Inversion)"},
            {SolverKernel::reference, "reference (numerical inversion, plain algorithm)",
             "Referenz (numerische Inversion, einfacher Algorithmus)"},
            {SolverKernel::exact, "exact (closed-form solution)", "exakt (geschlossene Lösung)"},
            // What the project file reader gives for results saved before
            // the kernel was kept beside them.
            {std::nullopt, "not recorded", "nicht aufgezeichnet"}};
        for (const auto& entry : cases) {
            project->resultsKernel = entry.kernel;
            QCOMPARE(RunSummaryValue(ReportBuilder::ResultsReport(*project), solver),
                     QString::fromLatin1(entry.english));
        }
        QVERIFY(frame_->ApplyOptions("Deutsch", true));
        for (const auto& entry : cases) {
            project->resultsKernel = entry.kernel;
            QCOMPARE(
                RunSummaryValue(ReportBuilder::ResultsReport(*project), QString::fromUtf8("Löser")),
                QString::fromUtf8(entry.german));
        }
        QVERIFY(frame_->ApplyOptions("English", true));

        project->resultsValid = false;
        QVERIFY(RunSummaryValue(ReportBuilder::ResultsReport(*project), solver).isNull());
        QVERIFY(RunSummaryValue(ReportBuilder::ModelReport(*project), solver).isNull());
    }
};

QTEST_MAIN(SolverChoiceTest)
#include "SolverChoiceTest.moc"
